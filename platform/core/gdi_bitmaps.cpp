// Bitmaps: DIB sections made by code or decoded from BMP files, their pixels,
// and the description GetObjectA gives of them.
#include "bmp_decode.h"
#include "core.h"
#include "window_internal.h"

#include <algorithm>
#include <cstdio>

namespace vlmr {
namespace {

int mask_shift(uint32_t m) { return m ? __builtin_ctz(m) : 0; }
int mask_bits(uint32_t m) { return m ? __builtin_popcount(m) : 0; }

uint32_t expand(uint32_t value, uint32_t mask) {
  if (!mask) return 0;
  uint32_t v = (value & mask) >> mask_shift(mask);
  int bits = mask_bits(mask);
  if (bits >= 8) return v >> (bits - 8);
  // Scale to 0..255 so that the channel's maximum maps to 255.
  return (v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1);
}

}  // namespace

uint32_t Bitmap::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  int row = top_down ? y : height - 1 - y;
  const uint8_t* p = bits.data() + static_cast<size_t>(row) * static_cast<size_t>(stride);
  auto from_table = [&](unsigned index) -> uint32_t {
    if (index >= colors.size()) return 0;
    const RGBQUAD& q = colors[index];
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
  };
  switch (bits_per_pixel) {
    case 1:
      return from_table((p[x >> 3] >> (7 - (x & 7))) & 1);
    case 4:
      return from_table((p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case 8:
      return from_table(p[x]);
    case 16: {
      uint32_t v = uint32_t(p[2 * x]) | (uint32_t(p[2 * x + 1]) << 8);
      return (expand(v, masks[0]) << 16) | (expand(v, masks[1]) << 8) | expand(v, masks[2]);
    }
    case 24:
      return (uint32_t(p[3 * x + 2]) << 16) | (uint32_t(p[3 * x + 1]) << 8) | p[3 * x];
    case 32: {
      uint32_t v = uint32_t(p[4 * x]) | (uint32_t(p[4 * x + 1]) << 8) |
                   (uint32_t(p[4 * x + 2]) << 16) | (uint32_t(p[4 * x + 3]) << 24);
      return (expand(v, masks[0]) << 16) | (expand(v, masks[1]) << 8) | expand(v, masks[2]);
    }
    default:
      return 0;
  }
}

void Bitmap::set_pixel(int x, int y, uint32_t rgb) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  int row = top_down ? y : height - 1 - y;
  uint8_t* p = bits.data() + static_cast<size_t>(row) * static_cast<size_t>(stride);
  uint8_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  auto nearest = [&]() -> unsigned {
    unsigned best = 0;
    int best_d = 1 << 30;
    for (unsigned i = 0; i < colors.size(); ++i) {
      int dr = colors[i].rgbRed - r, dg = colors[i].rgbGreen - g, db = colors[i].rgbBlue - b;
      int d = dr * dr + dg * dg + db * db;
      if (d < best_d) best_d = d, best = i;
    }
    return best;
  };
  switch (bits_per_pixel) {
    case 1: {
      unsigned i = nearest() & 1;
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      p[x >> 3] = static_cast<uint8_t>(i ? (p[x >> 3] | bit) : (p[x >> 3] & ~bit));
      break;
    }
    case 4: {
      unsigned i = nearest() & 0xF;
      uint8_t& byte = p[x >> 1];
      byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0) | i)
                     : static_cast<uint8_t>((byte & 0x0F) | (i << 4));
      break;
    }
    case 8:
      p[x] = static_cast<uint8_t>(nearest());
      break;
    case 16: {
      uint32_t v = ((uint32_t(r) >> 3) << 10) | ((uint32_t(g) >> 3) << 5) | (uint32_t(b) >> 3);
      if (masks[1] == 0x07E0) v = ((uint32_t(r) >> 3) << 11) | ((uint32_t(g) >> 2) << 5) | (b >> 3);
      p[2 * x] = v & 0xFF;
      p[2 * x + 1] = (v >> 8) & 0xFF;
      break;
    }
    case 24:
      p[3 * x] = b;
      p[3 * x + 1] = g;
      p[3 * x + 2] = r;
      break;
    case 32:
      p[4 * x] = b;
      p[4 * x + 1] = g;
      p[4 * x + 2] = r;
      p[4 * x + 3] = 0;
      break;
    default:
      break;
  }
}

HBITMAP new_bitmap(int width, int height, int bpp, bool top_down) {
  auto bm = std::make_unique<Bitmap>();
  bm->width = width;
  bm->height = height;
  bm->top_down = top_down;
  bm->bits_per_pixel = bpp;
  bm->stride = ((width * bpp + 31) / 32) * 4;
  bm->bits.assign(static_cast<size_t>(bm->stride) * static_cast<size_t>(height), 0);
  if (bpp == 16) {
    bm->masks[0] = 0x7C00, bm->masks[1] = 0x03E0, bm->masks[2] = 0x001F;
  } else if (bpp == 32) {
    bm->masks[0] = 0xFF0000, bm->masks[1] = 0xFF00, bm->masks[2] = 0xFF;
  }
  return to_handle<HBITMAP>(add_object(std::move(bm)));
}

}  // namespace vlmr

using namespace vlmr;

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int, int, UINT load) {
  // Only bitmap files are loaded; this platform has no resources to load from.
  if (type != IMAGE_BITMAP || !(load & LR_LOADFROMFILE) || !name) return nullptr;
  std::optional<bmp::Image> img = bmp::decode_file(name);
  if (!img) return nullptr;
  auto bm = std::make_unique<Bitmap>();
  bm->width = img->width;
  bm->height = img->height;
  bm->top_down = img->top_down;
  bm->bits_per_pixel = img->bits_per_pixel;
  bm->stride = img->stride;
  bm->bits = std::move(img->bits);
  for (uint32_t c : img->palette)
    bm->colors.push_back(RGBQUAD{static_cast<BYTE>(c & 0xFF), static_cast<BYTE>((c >> 8) & 0xFF),
                                 static_cast<BYTE>((c >> 16) & 0xFF), 0});
  bm->masks[0] = img->red_mask;
  bm->masks[1] = img->green_mask;
  bm->masks[2] = img->blue_mask;
  return reinterpret_cast<HANDLE>(add_object(std::move(bm)));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  if (!info) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0)
    return nullptr;
  int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return nullptr;
  int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
  int64_t stride = ((int64_t(h.biWidth) * bpp + 31) / 32) * 4;
  if (stride * height > (int64_t(1) << 30)) return nullptr;
  HBITMAP hb = new_bitmap(h.biWidth, static_cast<int>(height), bpp, h.biHeight < 0);
  Bitmap* bm = find<Bitmap>(hb);
  if (bpp <= 8 && usage == DIB_RGB_COLORS) {
    unsigned n = h.biClrUsed ? std::min<unsigned>(h.biClrUsed, 1u << bpp) : (1u << bpp);
    bm->colors.assign(info->bmiColors, info->bmiColors + n);
  }
  if (h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)) {
    const DWORD* m = reinterpret_cast<const DWORD*>(info->bmiColors);
    bm->masks[0] = m[0], bm->masks[1] = m[1], bm->masks[2] = m[2];
  }
  if (bits) *bits = bm->bits.data();
  return hb;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID out) {
  Object* o = find_object(object);
  if (!o) return 0;
  if (o->kind == Kind::Bitmap) {
    auto* bm = static_cast<Bitmap*>(o);
    if (!out) return sizeof(::BITMAP);
    if (size < static_cast<int>(sizeof(::BITMAP))) return 0;
    ::BITMAP b{};
    b.bmType = 0;
    b.bmWidth = bm->width;
    b.bmHeight = bm->height;
    b.bmWidthBytes = bm->stride;
    b.bmPlanes = 1;
    b.bmBitsPixel = static_cast<WORD>(bm->bits_per_pixel);
    b.bmBits = bm->bits.data();
    std::memcpy(out, &b, sizeof b);
    return sizeof b;
  }
  if (o->kind == Kind::Palette) {
    auto* pal = static_cast<Palette*>(o);
    if (out && size >= 2) {
      WORD n = static_cast<WORD>(pal->entries.size());
      std::memcpy(out, &n, 2);
    }
    return 2;
  }
  return 0;
}

DWORD GetObjectType(HGDIOBJ object) {
  Object* o = find_object(object);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Palette: return OBJ_PAL;
    case Kind::Region: return OBJ_REGION;
    case Kind::Font: return OBJ_FONT;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Dc: return static_cast<Dc*>(o)->memory ? OBJ_MEMDC : OBJ_DC;
    default: return 0;
  }
}
