// A small RGBA picture, top row first, and the colour arithmetic the texture
// painters share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace texgen {

struct Colour {
  float r, g, b;
};

inline Colour mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Colour scale(Colour c, float k) { return {c.r * k, c.g * k, c.b * k}; }

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4 bytes

  Picture(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4) {}

  // Stores a colour with components in 0..1 (clamped) and full alpha.
  void set(int x, int y, Colour c) {
    uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    p[0] = to_byte(c.r);
    p[1] = to_byte(c.g);
    p[2] = to_byte(c.b);
    p[3] = 255;
  }

 private:
  static uint8_t to_byte(float v) {
    if (v <= 0) return 0;
    if (v >= 1) return 255;
    return static_cast<uint8_t>(v * 255.0f + 0.5f);
  }
};

}  // namespace texgen
