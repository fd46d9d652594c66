#include "xwd_image.h"

#include <bit>
#include <fstream>
#include <iterator>

namespace vlmr_x11_test {
namespace {

// The header: 25 big-endian 32-bit fields, then the window name.
enum Field {
  kHeaderSize, kVersion, kFormat, kDepth, kWidth, kHeight, kXOffset, kByteOrder, kBitmapUnit,
  kBitOrder, kBitmapPad, kBitsPerPixel, kBytesPerLine, kVisualClass, kRedMask, kGreenMask,
  kBlueMask, kBitsPerRgb, kColormapEntries, kColors, kFieldCount = 25
};
constexpr uint32_t kZPixmap = 2;
constexpr uint32_t kTrueColor = 4;
constexpr uint32_t kDirectColor = 5;
constexpr size_t kColorSize = 12;  // one colormap entry

uint32_t big_endian(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

uint32_t channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const uint32_t value = (pixel & mask) >> std::countr_zero(mask);
  const uint32_t max = mask >> std::countr_zero(mask);
  return (value * 255 + max / 2) / max;
}

}  // namespace

std::optional<XwdImage> read_xwd(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  if (data.size() < kFieldCount * 4) {
    error = path + ": too short for an XWD header";
    return std::nullopt;
  }
  uint32_t h[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) h[i] = big_endian(&data[static_cast<size_t>(i) * 4]);
  if (h[kVersion] != 7 || h[kFormat] != kZPixmap ||
      (h[kVisualClass] != kTrueColor && h[kVisualClass] != kDirectColor) ||
      (h[kBitsPerPixel] != 24 && h[kBitsPerPixel] != 32)) {
    error = path + ": not a true-colour ZPixmap XWD image of 24 or 32 bits per pixel";
    return std::nullopt;
  }
  const size_t bytes = h[kBitsPerPixel] / 8;
  const size_t offset = h[kHeaderSize] + static_cast<size_t>(h[kColors]) * kColorSize;
  const size_t stride = h[kBytesPerLine];
  XwdImage image;
  image.width = static_cast<int>(h[kWidth]);
  image.height = static_cast<int>(h[kHeight]);
  if (stride < image.width * bytes ||
      data.size() < offset + stride * static_cast<size_t>(image.height)) {
    error = path + ": pixel data shorter than the header says";
    return std::nullopt;
  }
  image.rgb.resize(static_cast<size_t>(image.width) * image.height);
  const bool lsb_first = h[kByteOrder] == 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const unsigned char* p = &data[offset + y * stride + x * bytes];
      uint32_t pixel = 0;
      for (size_t b = 0; b < bytes; ++b)
        pixel |= uint32_t(p[b]) << (8 * (lsb_first ? b : bytes - 1 - b));
      image.rgb[static_cast<size_t>(y) * image.width + x] =
          (channel(pixel, h[kRedMask]) << 16) | (channel(pixel, h[kGreenMask]) << 8) |
          channel(pixel, h[kBlueMask]);
    }
  }
  return image;
}

}  // namespace vlmr_x11_test
