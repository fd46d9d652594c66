// Logical palettes: made from entries, the halftone palette, selection into a
// DC and realisation. Colours on this platform are always true colour, so a
// palette only records its entries.
#include "core.h"

using namespace vlmr;

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0) return nullptr;
  auto p = std::make_unique<Palette>();
  p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return to_handle<HPALETTE>(add_object(std::move(p)));
}

HPALETTE CreateHalftonePalette(HDC dc) {
  if (dc && !find<Dc>(dc)) return nullptr;
  // 256 entries: the 6x6x6 colour cube, then a grey ramp.
  auto p = std::make_unique<Palette>();
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p->entries.push_back(PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51),
                                          static_cast<BYTE>(b * 51), 0});
  for (int i = 0; p->entries.size() < 256; ++i) {
    BYTE v = static_cast<BYTE>(8 + i * 6);
    p->entries.push_back(PALETTEENTRY{v, v, v, 0});
  }
  return to_handle<HPALETTE>(add_object(std::move(p)));
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
  Dc* d = find<Dc>(dc);
  if (!d || !find<Palette>(palette)) return nullptr;
  HPALETTE old = d->palette;
  d->palette = palette;
  // Win32 answers the default palette for the first selection; a stock
  // halftone palette stands in for it.
  if (!old) {
    static HPALETTE stock = [] {
      HPALETTE h = CreateHalftonePalette(nullptr);
      find<Palette>(h)->stock = true;
      return h;
    }();
    old = stock;
  }
  return old;
}

UINT RealizePalette(HDC dc) {
  Dc* d = find<Dc>(dc);
  if (!d) return static_cast<UINT>(-1);
  Palette* p = find<Palette>(d->palette);
  return p ? static_cast<UINT>(p->entries.size()) : 0;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  Palette* p = find<Palette>(palette);
  if (!p) return 0;
  if (!entries) return static_cast<UINT>(p->entries.size());
  UINT n = 0;
  for (UINT i = start; i < p->entries.size() && n < count; ++i) entries[n++] = p->entries[i];
  return n;
}
