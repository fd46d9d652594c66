#include "tile_noise.h"

#include <cmath>

namespace texgen {
namespace {

int wrap(int i, int n) { return ((i % n) + n) % n; }

float smooth(float t) { return t * t * (3 - 2 * t); }

}  // namespace

float hash01(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
               seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float value_noise(float u, float v, int cells, uint32_t seed) {
  const float x = u * static_cast<float>(cells);
  const float y = v * static_cast<float>(cells);
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  const float fx = smooth(x - static_cast<float>(x0));
  const float fy = smooth(y - static_cast<float>(y0));
  auto at = [&](int i, int j) { return hash01(wrap(i, cells), wrap(j, cells), seed); };
  const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

float fractal_noise(float u, float v, int cells, int octaves, uint32_t seed) {
  float sum = 0, weight = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += weight * value_noise(u, v, cells << o, seed + static_cast<uint32_t>(o) * 101u);
    total += weight;
    weight *= 0.5f;
  }
  return sum / total;
}

CellHit cells_at(float u, float v, int cells_x, int cells_y, uint32_t seed) {
  const float x = u * static_cast<float>(cells_x);
  const float y = v * static_cast<float>(cells_y);
  const int cx = static_cast<int>(std::floor(x));
  const int cy = static_cast<int>(std::floor(y));
  CellHit hit{0, 1e9f, 1e9f};
  for (int j = -2; j <= 2; ++j) {
    for (int i = -2; i <= 2; ++i) {
      const int gx = wrap(cx + i, cells_x);
      const int gy = wrap(cy + j, cells_y);
      // The point of cell (gx, gy), placed in the neighbour's position.
      const float px = static_cast<float>(cx + i) + 0.15f + 0.7f * hash01(gx, gy, seed);
      const float py = static_cast<float>(cy + j) + 0.15f + 0.7f * hash01(gx, gy, seed + 7);
      const float dx = (px - x) / static_cast<float>(cells_x);
      const float dy = (py - y) / static_cast<float>(cells_y);
      const float d = std::sqrt(dx * dx + dy * dy);
      if (d < hit.nearest) {
        hit.second = hit.nearest;
        hit.nearest = d;
        hit.id = gy * cells_x + gx;
      } else if (d < hit.second) {
        hit.second = d;
      }
    }
  }
  return hit;
}

}  // namespace texgen
