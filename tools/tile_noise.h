// Seamless (periodic) noise for textures that repeat: value noise on an
// integer lattice that wraps, summed over octaves, and a wrapping cell
// pattern (nearest and second-nearest of jittered points).
#pragma once

#include <cstdint>

namespace texgen {

// A pseudo-random value in 0..1 for a lattice point and a seed.
float hash01(int x, int y, uint32_t seed);

// Smooth value noise in 0..1 at (u, v), with a lattice of `cells` by `cells`
// over the unit square that wraps at 1 (u and v in 0..1).
float value_noise(float u, float v, int cells, uint32_t seed);

// Octaves of value noise, `cells` doubling and weight halving each octave;
// normalised to 0..1.
float fractal_noise(float u, float v, int cells, int octaves, uint32_t seed);

// Jittered cells, `cells_x` by `cells_y` over the unit square, wrapping at 1;
// distances are measured in the unit square.
struct CellHit {
  int id;         // identifies the nearest point's cell (stable across wraps)
  float nearest;  // distance to the nearest point
  float second;   // distance to the second-nearest point
};
CellHit cells_at(float u, float v, int cells_x, int cells_y, uint32_t seed);

}  // namespace texgen
