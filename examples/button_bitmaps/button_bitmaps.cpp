// Paints the image-button bitmaps of the buttons example into a folder:
// COLOREN/H/P.BMP (24 bits) and FORMAN/H/P.BMP (8 bits, with a colour
// table). Each is a rounded button on magenta, which the button cuts away;
// N is the normal look, H lighter for hovering, P darker and pressed in.
//
// Usage: button_bitmaps OUTPUT_FOLDER
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 112;
constexpr int kHeight = 40;
constexpr int kRadius = 10;
constexpr uint32_t kMagenta = 0xFF00FF;

struct Canvas {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(kWidth * kHeight, kMagenta);
  void put(int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) pixels[y * kWidth + x] = c;
  }
  void fill(int x0, int y0, int x1, int y1, uint32_t c) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) put(x, y, c);
  }
  void line(int x0, int y0, int x1, int y1, uint32_t c) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i)
      put(x0 + (x1 - x0) * i / std::max(steps, 1), y0 + (y1 - y0) * i / std::max(steps, 1), c);
  }
};

// Distance outside the rounded rectangle, squared; 0 inside.
int outside(int x, int y, int inset) {
  const int r = kRadius - inset;
  const int left = inset + r, right = kWidth - 1 - inset - r;
  const int top = inset + r, bottom = kHeight - 1 - inset - r;
  const int dx = x < left ? left - x : x > right ? x - right : 0;
  const int dy = y < top ? top - y : y > bottom ? y - bottom : 0;
  if (x < inset || y < inset || x > kWidth - 1 - inset || y > kHeight - 1 - inset) return 1 << 20;
  return dx * dx + dy * dy > r * r ? 1 : 0;
}

uint32_t scale(uint32_t c, int percent) {
  auto ch = [&](int shift) {
    const int v = static_cast<int>((c >> shift) & 0xFF) * percent / 100;
    return static_cast<uint32_t>(v > 255 ? 255 : v) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

enum Look { Normal, Hover, Pressed };

// The rounded body with a darker rim; the icon is drawn by the caller.
Canvas body(uint32_t face, Look look) {
  const int percent = look == Hover ? 135 : look == Pressed ? 70 : 100;
  Canvas c;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if (outside(x, y, 0)) continue;
      c.put(x, y, scale(outside(x, y, 2) ? scale(face, 50) : face, percent));
    }
  return c;
}

Canvas colour_button(Look look) {
  Canvas c = body(0x5A5A64, look);
  const int d = look == Pressed ? 1 : 0;  // pressed in: the icon moves down and right
  const uint32_t swatches[] = {0xE02020, 0x20C020, 0x2040E0};
  for (int i = 0; i < 3; ++i) {
    const int x = 26 + i * 22 + d, y = 11 + d;
    c.fill(x - 1, y - 1, x + 17, y + 19, 0x202020);
    c.fill(x, y, x + 16, y + 18, swatches[i]);
  }
  return c;
}

Canvas shape_button(Look look) {
  Canvas c = body(0x466446, look);
  const int d = look == Pressed ? 1 : 0;
  const uint32_t ink = 0xF0F0F0;
  // A wire cube: front square, back square, and the edges between them.
  const int fx = 40 + d, fy = 14 + d, s = 16, o = 7;
  for (int k = 0; k < 2; ++k) {
    const int x = fx + k * o, y = fy - k * o;
    c.line(x, y, x + s, y, ink);
    c.line(x + s, y, x + s, y + s, ink);
    c.line(x + s, y + s, x, y + s, ink);
    c.line(x, y + s, x, y, ink);
  }
  for (auto [x, y] : {std::pair{fx, fy}, {fx + s, fy}, {fx + s, fy + s}, {fx, fy + s}})
    c.line(x, y, x + o, y - o, ink);
  return c;
}

void put16(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  f[at] = v & 0xFF;
  f[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = (v >> (8 * i)) & 0xFF;
}

// A bottom-up BMP: 24 bits, or 8 bits with a table of the picture's colours.
bool write_bmp(const std::string& path, const Canvas& c, bool indexed) {
  std::vector<uint32_t> table;
  if (indexed) {
    for (uint32_t p : c.pixels) {
      bool known = false;
      for (uint32_t t : table) known = known || t == p;
      if (!known) table.push_back(p);
    }
    if (table.size() > 256) return false;
  }
  const int bpp = indexed ? 8 : 24;
  const size_t stride = static_cast<size_t>((kWidth * bpp + 31) / 32) * 4;
  const size_t offset = 14 + 40 + table.size() * 4;
  std::vector<uint8_t> f(offset + stride * kHeight, 0);
  f[0] = 'B';
  f[1] = 'M';
  put32(f, 2, static_cast<uint32_t>(f.size()));
  put32(f, 10, static_cast<uint32_t>(offset));
  put32(f, 14, 40);
  put32(f, 18, kWidth);
  put32(f, 22, kHeight);
  put16(f, 26, 1);
  put16(f, 28, static_cast<uint32_t>(bpp));
  put32(f, 34, static_cast<uint32_t>(stride * kHeight));
  put32(f, 46, static_cast<uint32_t>(table.size()));
  for (size_t i = 0; i < table.size(); ++i) put32(f, 54 + 4 * i, table[i]);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = f.data() + offset + stride * static_cast<size_t>(kHeight - 1 - y);
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t p = c.pixels[y * kWidth + x];
      if (indexed) {
        size_t i = 0;
        while (table[i] != p) ++i;
        row[x] = static_cast<uint8_t>(i);
      } else {
        row[3 * x] = p & 0xFF;
        row[3 * x + 1] = (p >> 8) & 0xFF;
        row[3 * x + 2] = (p >> 16) & 0xFF;
      }
    }
  }
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool ok = std::fwrite(f.data(), 1, f.size(), out) == f.size();
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const struct {
    const char* suffix;
    Look look;
  } looks[] = {{"N", Normal}, {"H", Hover}, {"P", Pressed}};
  for (const auto& l : looks) {
    const std::string colour = folder + "/COLORE" + l.suffix + ".BMP";
    const std::string shape = folder + "/FORMA" + l.suffix + ".BMP";
    if (!write_bmp(colour, colour_button(l.look), false) ||
        !write_bmp(shape, shape_button(l.look), true)) {
      std::fprintf(stderr, "button_bitmaps: cannot write the bitmaps into %s\n", folder.c_str());
      return 1;
    }
  }
  return 0;
}
