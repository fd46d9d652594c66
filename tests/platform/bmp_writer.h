// Writes small BMP files for tests: a picture given as 0x00RRGGBB pixels, top
// row first, stored at 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel, bottom-up
// unless asked for top-down. Indexed depths take the colour table given; every
// pixel must be one of its colours.
#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace vlmr_test {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline void write_bmp(const std::string& path, const Picture& picture, int bpp,
                      const std::vector<uint32_t>& colour_table = {}, bool top_down = false) {
  const int w = picture.width, h = picture.height;
  const size_t stride = static_cast<size_t>((w * bpp + 31) / 32) * 4;
  const size_t table_bytes = bpp <= 8 ? colour_table.size() * 4 : 0;
  const size_t offset = 14 + 40 + table_bytes;
  std::vector<uint8_t> file(offset + stride * static_cast<size_t>(h), 0);
  auto put16 = [&](size_t at, uint32_t v) {
    file[at] = v & 0xFF;
    file[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = (v >> (8 * i)) & 0xFF;
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, static_cast<uint32_t>(offset));
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(top_down ? -h : h));
  put16(26, 1);
  put16(28, static_cast<uint32_t>(bpp));
  put32(34, static_cast<uint32_t>(stride * h));
  put32(46, bpp <= 8 ? static_cast<uint32_t>(colour_table.size()) : 0);
  for (size_t i = 0; i < table_bytes / 4; ++i) put32(54 + 4 * i, colour_table[i]);

  auto index_of = [&](uint32_t rgb) -> uint32_t {
    for (size_t i = 0; i < colour_table.size(); ++i)
      if (colour_table[i] == rgb) return static_cast<uint32_t>(i);
    throw std::invalid_argument("write_bmp: colour not in the colour table");
  };
  for (int y = 0; y < h; ++y) {
    const int file_row = top_down ? y : h - 1 - y;
    uint8_t* row = file.data() + offset + stride * static_cast<size_t>(file_row);
    for (int x = 0; x < w; ++x) {
      const uint32_t c = picture.at(x, y);
      const uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
      switch (bpp) {
        case 1: row[x / 8] |= static_cast<uint8_t>(index_of(c) << (7 - x % 8)); break;
        case 4: row[x / 2] |= static_cast<uint8_t>(index_of(c) << (x % 2 ? 0 : 4)); break;
        case 8: row[x] = static_cast<uint8_t>(index_of(c)); break;
        case 16: {
          const uint32_t v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
          row[2 * x] = v & 0xFF;
          row[2 * x + 1] = (v >> 8) & 0xFF;
          break;
        }
        case 24:
          row[3 * x] = static_cast<uint8_t>(b);
          row[3 * x + 1] = static_cast<uint8_t>(g);
          row[3 * x + 2] = static_cast<uint8_t>(r);
          break;
        case 32:
          row[4 * x] = static_cast<uint8_t>(b);
          row[4 * x + 1] = static_cast<uint8_t>(g);
          row[4 * x + 2] = static_cast<uint8_t>(r);
          break;
        default: throw std::invalid_argument("write_bmp: unsupported depth");
      }
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("write_bmp: cannot create " + path);
  const size_t written = std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
  if (written != file.size()) throw std::runtime_error("write_bmp: short write to " + path);
}

}  // namespace vlmr_test
