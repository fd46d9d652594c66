// Emits glyph shapes as OpenGL geometry into the display list being compiled:
// filled faces through the GLU tessellator, extruded side walls, or outlines.
#pragma once

#include "glyph_outline.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <deque>

namespace vlmr::font {

class GlyphTessellator {
 public:
  GlyphTessellator();
  ~GlyphTessellator();
  GlyphTessellator(const GlyphTessellator&) = delete;
  GlyphTessellator& operator=(const GlyphTessellator&) = delete;

  bool ok() const { return tess_ != nullptr; }

  // The filled front face at z = 0 facing +z (counter-clockwise seen from +z);
  // with extrusion > 0 also the back face at z = -extrusion facing -z and the
  // side walls between them, their normals pointing away from the glyph.
  void fill(const GlyphShape& shape, double extrusion);
  // Each contour as a line loop at z = 0.
  void outline(const GlyphShape& shape);

 private:
  void face(const GlyphShape& shape, double z, bool facing_back);
  void walls(const GlyphShape& shape, double extrusion);

  static void on_begin(GLenum mode, void* self);
  static void on_vertex(void* vertex, void* self);
  static void on_end(void* self);
  static void on_combine(GLdouble coords[3], void* data[4], GLfloat weight[4], void** out,
                         void* self);

  GLUtesselator* tess_ = nullptr;
  double z_ = 0;          // depth of the face being tessellated
  bool in_begin_ = false;
  // Points the tessellator reads back through its callbacks; they must stay
  // where they are until the polygon is done, hence deques.
  std::deque<std::array<GLdouble, 3>> points_;
};

}  // namespace vlmr::font
