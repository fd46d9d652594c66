// A glyph's outline as closed polygons in em units: FreeType's contours with
// their curves flattened into line segments.
#pragma once

#include "font_face.h"

#include <vector>

namespace vlmr::font {

struct Vec2 {
  double x = 0, y = 0;
};

struct GlyphShape {
  // Closed contours (the last point joins the first; it is not repeated).
  std::vector<std::vector<Vec2>> contours;
  // True when the filled area lies to the right of each contour's direction of
  // travel (TrueType's convention), false when it lies to the left.
  bool fill_on_right = true;
  bool even_odd = false;   // fill rule: odd winding instead of non-zero
  double advance = 0;      // horizontal advance, em units
};

// Loads glyph `index` of `face` unscaled and flattens it. deviation_em > 0 is
// the largest distance allowed between a curve and its chords; 0 splits every
// curve into a fixed number of steps. Embolden thickens the strokes (a face
// asked for bold that has none). False if FreeType cannot load the glyph.
bool load_glyph_shape(FT_Face face, FT_UInt index, double deviation_em, bool embolden,
                      GlyphShape& shape);

}  // namespace vlmr::font
