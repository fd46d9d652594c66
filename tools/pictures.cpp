#include "pictures.h"

#include "tile_noise.h"

#include <algorithm>
#include <cmath>

namespace texgen {
namespace {

float smoothstep(float a, float b, float x) {
  const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

float coord(int i, int size) { return (static_cast<float>(i) + 0.5f) / static_cast<float>(size); }

}  // namespace

Picture paint_clouds(int size) {
  Picture p(size, size);
  const Colour deep_sky{0.16f, 0.38f, 0.78f};
  const Colour light_sky{0.42f, 0.64f, 0.92f};
  const Colour cloud_lit{0.97f, 0.97f, 0.98f};
  const Colour cloud_shade{0.70f, 0.74f, 0.82f};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = coord(x, size), v = coord(y, size);
      // A gentle, seamless variation of the sky's blue.
      const Colour sky = mix(deep_sky, light_sky, value_noise(u, v, 2, 11));
      const float n = fractal_noise(u, v, 4, 4, 23);
      const float cover = smoothstep(0.44f, 0.70f, n);
      // Thicker cloud is brighter on top; the fringe takes a soft grey-blue.
      const float thickness = smoothstep(0.55f, 0.85f, n);
      const Colour cloud = mix(cloud_shade, cloud_lit, thickness);
      p.set(x, y, mix(sky, cloud, cover));
    }
  }
  return p;
}

Picture paint_stones(int size) {
  Picture p(size, size);
  const Colour mortar{0.66f, 0.63f, 0.57f};
  const Colour grey_stone{0.47f, 0.46f, 0.44f};
  const Colour brown_stone{0.50f, 0.40f, 0.30f};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = coord(x, size), v = coord(y, size);
      const CellHit c = cells_at(u, v, 5, 8, 5);
      const float edge = (c.second - c.nearest) * static_cast<float>(size);  // ~pixels to the joint
      const float grain = fractal_noise(u, v, 16, 3, 31);
      if (edge < 3.0f) {
        // Mortar joint, a little rough.
        p.set(x, y, scale(mortar, 0.85f + 0.25f * grain));
        continue;
      }
      // Each stone its own shade between grey and brown, rounded at the edges.
      const float tone = hash01(c.id, 3, 41);
      const float light = 0.8f + 0.35f * hash01(c.id, 9, 43);
      Colour stone = scale(mix(grey_stone, brown_stone, tone), light);
      stone = scale(stone, 0.75f + 0.45f * grain);
      const float rounding = smoothstep(3.0f, 9.0f, edge);
      p.set(x, y, scale(stone, 0.6f + 0.4f * rounding));
    }
  }
  return p;
}

Picture paint_floor_tiles(int size) {
  Picture p(size, size);
  const Colour cream{0.86f, 0.78f, 0.62f};
  const Colour terracotta{0.72f, 0.36f, 0.22f};
  const Colour grout{0.30f, 0.27f, 0.24f};
  const int tile = size / 2;  // two by two tiles, a checkerboard
  const int joint = std::max(2, size / 64);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = coord(x, size), v = coord(y, size);
      const int tx = x % tile, ty = y % tile;
      // The joint is split over both sides of each tile edge, so the
      // picture repeats without a doubled line.
      const bool in_joint =
          tx < joint / 2 || tx >= tile - (joint - joint / 2) ||
          ty < joint / 2 || ty >= tile - (joint - joint / 2);
      if (in_joint) {
        p.set(x, y, scale(grout, 0.9f + 0.2f * value_noise(u, v, 32, 51)));
        continue;
      }
      const bool dark = ((x / tile) + (y / tile)) % 2 == 1;
      // Cloudy veining inside each tile, and a slight bevel near its edges.
      const float vein = fractal_noise(u, v, 8, 4, dark ? 61 : 67);
      Colour c = scale(dark ? terracotta : cream, 0.86f + 0.22f * vein);
      const int border = std::min(std::min(tx, tile - 1 - tx), std::min(ty, tile - 1 - ty));
      if (border < joint + 3) c = scale(c, 0.88f + 0.04f * static_cast<float>(border - joint));
      p.set(x, y, c);
    }
  }
  return p;
}

}  // namespace texgen
