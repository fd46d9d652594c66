#include "bmp_file.h"

#include <cstdio>

namespace texgen {
namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

bool write_bmp(const std::string& path, const Picture& picture, int bits) {
  const uint32_t bytes_per_pixel = bits == 32 ? 4 : 3;
  const uint32_t row = (static_cast<uint32_t>(picture.width) * bytes_per_pixel + 3) & ~3u;
  const uint32_t image_size = row * static_cast<uint32_t>(picture.height);
  const uint32_t offset = 14 + 40;

  std::vector<uint8_t> out;
  out.reserve(offset + image_size);
  // File header.
  out.push_back('B');
  out.push_back('M');
  put32(out, offset + image_size);
  put32(out, 0);
  put32(out, offset);
  // Info header: positive height, so the bottom row comes first.
  put32(out, 40);
  put32(out, static_cast<uint32_t>(picture.width));
  put32(out, static_cast<uint32_t>(picture.height));
  put16(out, 1);
  put16(out, static_cast<uint32_t>(bits));
  put32(out, 0);  // BI_RGB
  put32(out, image_size);
  put32(out, 2835);  // 72 dots per inch
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);

  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t start = out.size();
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
      out.push_back(p[2]);  // blue, green, red
      out.push_back(p[1]);
      out.push_back(p[0]);
      if (bytes_per_pixel == 4) out.push_back(p[3]);
    }
    while (out.size() - start < row) out.push_back(0);
  }

  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace texgen
