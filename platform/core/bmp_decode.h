// Decoder for Windows/OS2 .bmp files, used by the platform layer to load
// bitmaps from disk (LoadImage, CreateDIBSection from files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vlmr::bmp {

// Compression codes as stored in the info header.
inline constexpr uint32_t kRgb = 0;
inline constexpr uint32_t kRle8 = 1;
inline constexpr uint32_t kRle4 = 2;
inline constexpr uint32_t kBitfields = 3;
inline constexpr uint32_t kAlphaBitfields = 6;

struct Image {
  int32_t width = 0;             // pixels, > 0
  int32_t height = 0;            // pixels, > 0 (absolute value)
  bool top_down = false;         // file stored its top row first (negative height)
  uint16_t bits_per_pixel = 0;   // as the file says: 1, 4, 8, 16, 24, 32
  int32_t stride = 0;            // bytes per row in `bits`, ((width*bpp+31)/32)*4
  // Pixel rows in the file's row order and layout: padded rows, B,G,R for
  // 24-bit, little-endian words for 16/32-bit. RLE files are expanded to
  // 4 or 8 bits per pixel, bottom-up.
  std::vector<uint8_t> bits;
  // Colour table as 0x00RRGGBB, as many entries as the file defines (at
  // most 2^bpp); empty above 8 bits per pixel.
  std::vector<uint32_t> palette;
  // Channel masks for 16/32 bpp (defaults 5-5-5 and 8-8-8; alpha only when
  // the file gives one).
  uint32_t red_mask = 0, green_mask = 0, blue_mask = 0, alpha_mask = 0;
  uint32_t compression = 0;      // as read: kRgb, kRle8, kRle4, kBitfields, kAlphaBitfields
};

// Decodes a whole .bmp file held in memory. Returns nullopt for anything it
// cannot decode faithfully (bad magic, unknown header, unsupported format,
// truncated data, absurd sizes). Never reads outside [data, data+size).
std::optional<Image> decode(const uint8_t* data, size_t size);

// Reads the whole file, then decode().
std::optional<Image> decode_file(const char* path);

// The picture as 0xAARRGGBB, top row first, width*height entries. Alpha is
// 255 unless the image has an alpha mask. Palette indices past the end of
// the colour table use entry 0.
std::vector<uint32_t> to_argb32(const Image& img);

}  // namespace vlmr::bmp
