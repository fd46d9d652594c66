// Bitmap files as window shapes: LOADBMPFROMFILE loads a BMP file as a DIB
// section with a palette fit to show it, BITMAPTOREGION turns a BMP file into
// the region of its pixels that are not of a transparent colour.
#include "Velmora.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace Velmora {

namespace {

constexpr int kPaletteSize = 256;
constexpr DWORD kBatchRects = 2000;  // rectangles turned into a region at once

// The 256-entry palette of a bitmap of at most 8 bits per pixel: its colour
// table first, black for every entry the table does not fill.
HPALETTE palette_from_colour_table(HBITMAP bitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  RGBQUAD colours[kPaletteSize] = {};
  UINT n = GetDIBColorTable(dc, 0, kPaletteSize, colours);

  std::vector<unsigned char> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * (kPaletteSize - 1),
                                   0);
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = kPaletteSize;
  for (UINT i = 0; i < n && i < static_cast<UINT>(kPaletteSize); ++i) {
    logical->palPalEntry[i].peRed = colours[i].rgbRed;
    logical->palPalEntry[i].peGreen = colours[i].rgbGreen;
    logical->palPalEntry[i].peBlue = colours[i].rgbBlue;
    logical->palPalEntry[i].peFlags = 0;
  }
  HPALETTE palette = CreatePalette(logical);

  SelectObject(dc, old_bitmap);
  DeleteDC(dc);
  return palette;
}

// The growing RGNDATA block of opaque runs, in movable global memory, and the
// region the flushed batches have made so far.
class RunBuffer {
 public:
  RunBuffer() {
    memory_ = GlobalAlloc(GMEM_MOVEABLE, bytes());
    data_ = static_cast<RGNDATA*>(GlobalLock(memory_));
    data_->rdh.dwSize = sizeof(RGNDATAHEADER);
    data_->rdh.iType = RDH_RECTANGLES;
    data_->rdh.nRgnSize = 0;
    empty();
  }
  ~RunBuffer() {
    GlobalUnlock(memory_);
    GlobalFree(memory_);
  }
  RunBuffer(const RunBuffer&) = delete;
  RunBuffer& operator=(const RunBuffer&) = delete;

  // One opaque run [x0, x1) of row y.
  void add(LONG x0, LONG x1, LONG y) {
    if (data_->rdh.nCount >= capacity_) grow();
    RECT* rects = reinterpret_cast<RECT*>(data_->Buffer);
    rects[data_->rdh.nCount++] = RECT{x0, y, x1, y + 1};
    RECT& bound = data_->rdh.rcBound;
    bound.left = std::min(bound.left, x0);
    bound.top = std::min(bound.top, y);
    bound.right = std::max(bound.right, x1);
    bound.bottom = std::max(bound.bottom, y + 1);
    if (data_->rdh.nCount == kBatchRects) flush();
  }

  // Turns the stored rectangles into a region, merges it into the result and
  // empties the buffer. Runs even when the buffer holds nothing.
  void flush() {
    HRGN batch = ExtCreateRegion(nullptr, static_cast<DWORD>(bytes()), data_);
    if (result_) {
      CombineRgn(result_, result_, batch, RGN_OR);
      DeleteObject(batch);
    } else {
      result_ = batch;
    }
    empty();
  }

  HRGN result() const { return result_; }

 private:
  size_t bytes() const { return sizeof(RGNDATAHEADER) + sizeof(RECT) * capacity_; }

  void empty() {
    data_->rdh.nCount = 0;
    data_->rdh.rcBound = RECT{INT_MAX, INT_MAX, 0, 0};
  }

  // One more ALLOC_UNIT of rectangles; the block may move.
  void grow() {
    GlobalUnlock(memory_);
    capacity_ += ALLOC_UNIT;
    memory_ = GlobalReAlloc(memory_, bytes(), GMEM_MOVEABLE);
    data_ = static_cast<RGNDATA*>(GlobalLock(memory_));
  }

  DWORD capacity_ = ALLOC_UNIT;
  HGLOBAL memory_ = nullptr;
  RGNDATA* data_ = nullptr;
  HRGN result_ = nullptr;
};

}  // namespace

HBITMAP LOADBMPFROMFILE(const char* FILENAME, HPALETTE& PAL) {
  auto bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), FILENAME, IMAGE_BITMAP,
                                                0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return nullptr;

  BITMAP description{};
  GetObjectA(bitmap, sizeof description, &description);
  if (description.bmBitsPixel * description.bmPlanes <= 8) {
    PAL = palette_from_colour_table(bitmap);
  } else {
    HDC screen = GetDC(nullptr);
    PAL = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
  }
  return bitmap;
}

HRGN BITMAPTOREGION(const char* BMPNAME, COLORREF TRANSCOLOR, uint8_t TOLERANCE) {
  HPALETTE palette = nullptr;
  HBITMAP bitmap = LOADBMPFROMFILE(BMPNAME, palette);
  if (!bitmap) return nullptr;
  auto release_loaded = [&] {
    DeleteObject(palette);
    DeleteObject(bitmap);
  };

  // A 32-bit bottom-up copy of the picture, so every depth is read alike.
  HDC copy_dc = CreateCompatibleDC(nullptr);
  if (!copy_dc) {
    release_loaded();
    return nullptr;
  }
  BITMAP description{};
  GetObjectA(bitmap, sizeof description, &description);
  const LONG width = description.bmWidth;
  const LONG height = description.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(copy_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!copy) {
    DeleteDC(copy_dc);
    release_loaded();
    return nullptr;
  }
  HGDIOBJ old_copy_bitmap = SelectObject(copy_dc, copy);

  HDC source_dc = CreateCompatibleDC(nullptr);
  if (!source_dc) {
    SelectObject(copy_dc, old_copy_bitmap);
    DeleteObject(copy);
    DeleteDC(copy_dc);
    release_loaded();
    return nullptr;
  }
  HGDIOBJ old_source_bitmap = SelectObject(source_dc, bitmap);
  HPALETTE old_palette = SelectPalette(source_dc, palette, TRUE);
  RealizePalette(source_dc);
  BitBlt(copy_dc, 0, 0, width, height, source_dc, 0, 0, SRCCOPY);
  SelectPalette(source_dc, old_palette, FALSE);
  SelectObject(source_dc, old_source_bitmap);
  DeleteDC(source_dc);

  BITMAP copy_description{};
  GetObjectA(copy, sizeof copy_description, &copy_description);
  LONG stride = copy_description.bmWidthBytes;
  if (stride % 4 != 0) stride += 4 - stride % 4;

  // The transparent range reaches from the colour upwards by the tolerance.
  const unsigned low_r = GetRValue(TRANSCOLOR), low_g = GetGValue(TRANSCOLOR),
                 low_b = GetBValue(TRANSCOLOR);
  const unsigned high_r = std::min(low_r + TOLERANCE, 255u);
  const unsigned high_g = std::min(low_g + TOLERANCE, 255u);
  const unsigned high_b = std::min(low_b + TOLERANCE, 255u);
  auto transparent = [&](uint32_t pixel) {
    const unsigned r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r >= low_r && r <= high_r && g >= low_g && g <= high_g && b >= low_b && b <= high_b;
  };

  HRGN region;
  {
    RunBuffer runs;
    const auto* base = static_cast<const unsigned char*>(bits);
    // Picture row y is memory row height - 1 - y of the bottom-up copy.
    for (LONG y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(
          base + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(stride));
      for (LONG x = 0; x < width; ++x) {
        const LONG x0 = x;
        while (x < width && !transparent(row[x])) ++x;
        if (x > x0) runs.add(x0, x, y);
      }
    }
    runs.flush();
    region = runs.result();
  }

  SelectObject(copy_dc, old_copy_bitmap);
  DeleteObject(copy);
  DeleteDC(copy_dc);
  release_loaded();
  return region;
}

}  // namespace Velmora
