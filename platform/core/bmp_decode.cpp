#include "bmp_decode.h"

#include <cstdio>

#include <bit>

namespace vlmr::bmp {
namespace {

constexpr size_t kFileHeaderSize = 14;
// No picture we load legitimately comes near this; it keeps a lying header
// from making us allocate gigabytes.
constexpr int64_t kMaxPixels = int64_t{1} << 28;
// RLE8 packs at most 255 pixels in two bytes; leave room for deltas that
// skip over blank areas, but no more.
constexpr int64_t kMaxRleExpansion = 256;

// Header sizes we understand: OS/2 1.x core, Windows info (v1), the v2/v3
// variants with RGB(A) masks, OS/2 2.x, and the v4/v5 headers.
constexpr uint32_t kCoreHeader = 12;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kInfoV2Header = 52;
constexpr uint32_t kInfoV3Header = 56;
constexpr uint32_t kOs2V2Header = 64;
constexpr uint32_t kV4Header = 108;
constexpr uint32_t kV5Header = 124;

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
         (uint32_t(p[3]) << 24);
}

bool known_header_size(uint32_t hs) {
  switch (hs) {
    case kCoreHeader: case kInfoHeader: case kInfoV2Header: case kInfoV3Header:
    case kOs2V2Header: case kV4Header: case kV5Header:
      return true;
    default:
      return false;
  }
}

bool format_supported(uint32_t compression, uint16_t bpp) {
  switch (compression) {
    case kRgb:
      return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case kRle8:
      return bpp == 8;
    case kRle4:
      return bpp == 4;
    case kBitfields:
    case kAlphaBitfields:
      return bpp == 16 || bpp == 32;
    default:  // JPEG, PNG and anything else embedded
      return false;
  }
}

// Each mask must be one run of bits inside the pixel, and no two may share a bit.
bool masks_valid(const Image& img) {
  const uint64_t limit = img.bits_per_pixel == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  uint32_t used = 0;
  for (uint32_t m : {img.red_mask, img.green_mask, img.blue_mask, img.alpha_mask}) {
    if (m > limit || (m & used) != 0) return false;
    const uint64_t past_top = uint64_t(m) + (m & (~m + 1));  // carries out of the run
    if (m != 0 && (past_top & (past_top - 1)) != 0) return false;
    used |= m;
  }
  return true;
}

// Expands RLE8/RLE4 data into img.bits (already zeroed: pixels the stream
// never sets stay index 0). Pixels past the right edge are dropped; the
// stream may stop early without an end-of-bitmap marker.
void expand_rle(const uint8_t* src, size_t n, Image& img) {
  const bool four = img.compression == kRle4;
  const int64_t w = img.width, h = img.height;
  auto put = [&](int64_t x, int64_t y, uint8_t v) {
    if (x >= w || y >= h) return;
    uint8_t* row = img.bits.data() + y * img.stride;
    if (!four) {
      row[x] = v;
    } else if (x & 1) {
      row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (v & 0x0F));
    } else {
      row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | (v << 4));
    }
  };

  int64_t x = 0, y = 0;
  size_t i = 0;
  while (y < h && i + 2 <= n) {
    const uint8_t count = src[i], value = src[i + 1];
    i += 2;
    if (count != 0) {  // a run of one colour (two alternating nibbles for RLE4)
      for (int k = 0; k < count; ++k) {
        put(x + k, y, four ? uint8_t((k & 1) ? value & 0x0F : value >> 4) : value);
      }
      x += count;
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // move right and up
      if (i + 2 > n) return;
      x += src[i];
      y += src[i + 1];
      i += 2;
    } else {  // `value` literal pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1u) / 2u : value;
      for (int k = 0; k < value; ++k) {
        const size_t at = i + (four ? size_t(k) / 2 : size_t(k));
        if (at >= n) return;
        put(x + k, y, four ? uint8_t((k & 1) ? src[at] & 0x0F : src[at] >> 4) : src[at]);
      }
      x += value;
      i += (bytes + 1) & ~size_t{1};
    }
  }
}

struct Channel {
  uint32_t mask;
  int shift;
  uint64_t max;
  explicit Channel(uint32_t m)
      : mask(m), shift(m ? std::countr_zero(m) : 0), max(m ? uint64_t(m) >> shift : 0) {}
  // Scales the field to 0..255, rounding to nearest.
  uint32_t operator()(uint32_t px) const {
    if (max == 0) return 0;
    return uint32_t(((uint64_t(px & mask) >> shift) * 255 + max / 2) / max);
  }
};

}  // namespace

std::optional<Image> decode(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kFileHeaderSize + 4) return std::nullopt;
  if (data[0] != 'B' || data[1] != 'M') return std::nullopt;
  const uint64_t off_bits = le32(data + 10);
  const uint32_t hs = le32(data + 14);
  if (!known_header_size(hs) || kFileHeaderSize + hs > size) return std::nullopt;
  const uint8_t* h = data + kFileHeaderSize;

  Image img;
  int64_t width = 0, height = 0;
  uint16_t planes = 0;
  uint32_t colours_used = 0;
  size_t entry_size = 4;
  if (hs == kCoreHeader) {
    width = le16(h + 4);
    height = le16(h + 6);
    planes = le16(h + 8);
    img.bits_per_pixel = le16(h + 10);
    entry_size = 3;
  } else {
    width = int32_t(le32(h + 4));
    height = int32_t(le32(h + 8));
    planes = le16(h + 12);
    img.bits_per_pixel = le16(h + 14);
    img.compression = le32(h + 16);
    colours_used = le32(h + 32);
  }
  const uint16_t bpp = img.bits_per_pixel;
  // OS/2 2.x reuses codes 3 and 4 for Huffman 1D and RLE24.
  if (hs == kOs2V2Header && img.compression != kRgb && img.compression != kRle8 &&
      img.compression != kRle4) {
    return std::nullopt;
  }
  if (planes != 1 || !format_supported(img.compression, bpp)) return std::nullopt;

  img.top_down = height < 0;
  if (img.top_down) height = -height;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) return std::nullopt;
  const bool rle = img.compression == kRle8 || img.compression == kRle4;
  if (rle && img.top_down) return std::nullopt;  // compressed files are bottom-up only
  img.width = int32_t(width);
  img.height = int32_t(height);
  const int64_t stride = (width * bpp + 31) / 32 * 4;
  img.stride = int32_t(stride);

  // Masks: in the header from v2 on, else right after a v1 header.
  size_t table_at = kFileHeaderSize + hs;
  if (bpp == 16 || bpp == 32) {
    const bool fields = img.compression == kBitfields || img.compression == kAlphaBitfields;
    if (fields) {
      const size_t count = img.compression == kAlphaBitfields ? 4 : 3;
      const uint8_t* m = h + 40;
      if (hs == kInfoHeader) {
        if (table_at + 4 * count > size) return std::nullopt;
        table_at += 4 * count;
      } else if (hs < kInfoV3Header && count == 4) {
        return std::nullopt;  // no room in the header for the alpha mask
      }
      img.red_mask = le32(m);
      img.green_mask = le32(m + 4);
      img.blue_mask = le32(m + 8);
      if (count == 4 || hs >= kInfoV3Header) img.alpha_mask = le32(m + 12);
      if (!masks_valid(img)) return std::nullopt;
    } else {
      img.red_mask = bpp == 16 ? 0x7C00 : 0xFF0000;
      img.green_mask = bpp == 16 ? 0x03E0 : 0xFF00;
      img.blue_mask = bpp == 16 ? 0x001F : 0xFF;
      // A v3+ header may still name an alpha channel; ignore it if it
      // collides with the fixed colour layout.
      if (hs >= kInfoV3Header && hs != kOs2V2Header) {
        img.alpha_mask = le32(h + 52);
        if (!masks_valid(img)) img.alpha_mask = 0;
      }
    }
  }

  if (off_bits < table_at || off_bits > size) return std::nullopt;

  if (bpp <= 8) {
    // The table holds 2^bpp entries unless the header says fewer (or more:
    // extra entries are never indexed), and cannot run into the pixels.
    uint64_t count = uint64_t{1} << bpp;
    if (colours_used != 0 && colours_used < count) count = colours_used;
    const uint64_t room = (off_bits - table_at) / entry_size;
    if (room < count) count = room;
    if (count == 0) return std::nullopt;
    img.palette.resize(count);
    for (size_t k = 0; k < count; ++k) {
      const uint8_t* e = data + table_at + k * entry_size;
      img.palette[k] = (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0];
    }
  }

  const uint8_t* pixels = data + off_bits;
  const uint64_t available = size - off_bits;
  const uint64_t needed = uint64_t(stride) * uint64_t(height);
  if (rle) {
    if (needed > kMaxRleExpansion * available) return std::nullopt;
    img.bits.assign(needed, 0);
    expand_rle(pixels, available, img);
  } else {
    if (needed > available) return std::nullopt;
    img.bits.assign(pixels, pixels + needed);
  }
  return img;
}

std::optional<Image> decode_file(const char* path) {
  // One read of the whole file into a buffer of its size.
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return std::nullopt;
  std::vector<uint8_t> bytes;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long size = std::ftell(f);
    if (size > 0 && std::fseek(f, 0, SEEK_SET) == 0) {
      bytes.resize(static_cast<size_t>(size));
      bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    }
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return decode(bytes.data(), bytes.size());
}

std::vector<uint32_t> to_argb32(const Image& img) {
  const size_t w = img.width > 0 ? size_t(img.width) : 0;
  const size_t h = img.height > 0 ? size_t(img.height) : 0;
  const size_t stride = img.stride > 0 ? size_t(img.stride) : 0;
  const uint32_t bpp = img.bits_per_pixel;
  if (w == 0 || h == 0 || stride * 8 < w * bpp || img.bits.size() < stride * h) return {};
  if (bpp <= 8 && img.palette.empty()) return {};

  const Channel red(img.red_mask), green(img.green_mask), blue(img.blue_mask),
      alpha(img.alpha_mask);
  // An index past the end of the colour table shows entry 0 (the table is
  // never empty here), rather than whatever the last entry happens to be.
  auto indexed = [&](uint32_t index) {
    return 0xFF000000u | img.palette[index < img.palette.size() ? index : 0];
  };
  auto masked = [&](uint32_t px) {
    const uint32_t a = img.alpha_mask ? alpha(px) : 255;
    return (a << 24) | (red(px) << 16) | (green(px) << 8) | blue(px);
  };

  std::vector<uint32_t> out(w * h);
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* row = img.bits.data() + (img.top_down ? y : h - 1 - y) * stride;
    uint32_t* dst = out.data() + y * w;
    switch (bpp) {
      case 1:
        for (size_t x = 0; x < w; ++x) dst[x] = indexed((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
      case 4:
        for (size_t x = 0; x < w; ++x) dst[x] = indexed((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
        break;
      case 8:
        for (size_t x = 0; x < w; ++x) dst[x] = indexed(row[x]);
        break;
      case 16:
        for (size_t x = 0; x < w; ++x) dst[x] = masked(le16(row + 2 * x));
        break;
      case 24:
        for (size_t x = 0; x < w; ++x, row += 3) {
          dst[x] = 0xFF000000u | (uint32_t(row[2]) << 16) | (uint32_t(row[1]) << 8) | row[0];
        }
        break;
      case 32:
        for (size_t x = 0; x < w; ++x) dst[x] = masked(le32(row + 4 * x));
        break;
      default:
        return {};
    }
  }
  return out;
}

}  // namespace vlmr::bmp
