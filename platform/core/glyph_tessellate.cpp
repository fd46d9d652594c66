// Glyph geometry for display lists (see glyph_tessellate.h).
#include "glyph_tessellate.h"

#include <cmath>

namespace vlmr::font {
namespace {

// Side-wall corners sharper than this (cosine of the angle between the two
// edges' normals) get a crease: each edge keeps its own normal there. Gentler
// turns, such as the steps of a flattened curve, share an averaged normal so
// that curved walls shade smoothly.
constexpr double kSmoothCos = 0.8;

Vec2 unit(Vec2 v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y);
  return len > 0 ? Vec2{v.x / len, v.y / len} : Vec2{};
}

template <class F>
_GLUfuncptr callback(F* f) {
  return reinterpret_cast<_GLUfuncptr>(f);
}

}  // namespace

GlyphTessellator::GlyphTessellator() : tess_(gluNewTess()) {
  if (!tess_) return;
  gluTessCallback(tess_, GLU_TESS_BEGIN_DATA, callback(&on_begin));
  gluTessCallback(tess_, GLU_TESS_VERTEX_DATA, callback(&on_vertex));
  gluTessCallback(tess_, GLU_TESS_END_DATA, callback(&on_end));
  gluTessCallback(tess_, GLU_TESS_COMBINE_DATA, callback(&on_combine));
}

GlyphTessellator::~GlyphTessellator() {
  if (tess_) gluDeleteTess(tess_);
}

void GlyphTessellator::fill(const GlyphShape& shape, double extrusion) {
  if (shape.contours.empty()) return;
  face(shape, 0, false);
  if (extrusion > 0) {
    face(shape, -extrusion, true);
    walls(shape, extrusion);
  }
}

void GlyphTessellator::outline(const GlyphShape& shape) {
  for (const auto& contour : shape.contours) {
    glBegin(GL_LINE_LOOP);
    for (const Vec2& p : contour) glVertex3d(p.x, p.y, 0);
    glEnd();
  }
}

// With the tessellation normal given, GLU emits polygons counter-clockwise
// about that normal, so the back face only needs the opposite normal.
void GlyphTessellator::face(const GlyphShape& shape, double z, bool facing_back) {
  const double nz = facing_back ? -1 : 1;
  glNormal3d(0, 0, nz);
  gluTessNormal(tess_, 0, 0, nz);
  gluTessProperty(tess_, GLU_TESS_WINDING_RULE,
                  shape.even_odd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
  z_ = z;
  points_.clear();
  gluTessBeginPolygon(tess_, this);
  for (const auto& contour : shape.contours) {
    gluTessBeginContour(tess_);
    for (const Vec2& p : contour) {
      GLdouble* v = points_.emplace_back(std::array<GLdouble, 3>{p.x, p.y, 0}).data();
      gluTessVertex(tess_, v, v);
    }
    gluTessEndContour(tess_);
  }
  gluTessEndPolygon(tess_);
  if (in_begin_) {  // a tessellator error cut a primitive short
    glEnd();
    in_begin_ = false;
  }
}

// One quad strip per contour joining its points at z = 0 and z = -extrusion.
// The vertex order makes each quad counter-clockwise seen from outside, the
// same side its normal points to.
void GlyphTessellator::walls(const GlyphShape& shape, double extrusion) {
  const double zf = 0, zb = -extrusion;
  const double first_z = shape.fill_on_right ? zb : zf;
  const double second_z = shape.fill_on_right ? zf : zb;
  for (const auto& c : shape.contours) {
    const size_t n = c.size();
    // normals[i]: outward normal of the edge from point i to point i+1.
    std::vector<Vec2> normals(n);
    for (size_t i = 0; i < n; ++i) {
      const Vec2 d = unit({c[(i + 1) % n].x - c[i].x, c[(i + 1) % n].y - c[i].y});
      normals[i] = shape.fill_on_right ? Vec2{-d.y, d.x} : Vec2{d.y, -d.x};
    }
    auto pair = [&](const Vec2& p, Vec2 normal) {
      glNormal3d(normal.x, normal.y, 0);
      glVertex3d(p.x, p.y, first_z);
      glVertex3d(p.x, p.y, second_z);
    };
    glBegin(GL_QUAD_STRIP);
    for (size_t i = 0; i <= n; ++i) {
      const Vec2& p = c[i % n];
      const Vec2 in = normals[(i + n - 1) % n], out = normals[i % n];
      if (in.x * out.x + in.y * out.y >= kSmoothCos) {
        pair(p, unit({in.x + out.x, in.y + out.y}));
      } else {
        if (i > 0) pair(p, in);
        if (i < n) pair(p, out);
      }
    }
    glEnd();
  }
}

void GlyphTessellator::on_begin(GLenum mode, void* self) {
  static_cast<GlyphTessellator*>(self)->in_begin_ = true;
  glBegin(mode);
}

void GlyphTessellator::on_vertex(void* vertex, void* self) {
  const auto* v = static_cast<const GLdouble*>(vertex);
  glVertex3d(v[0], v[1], static_cast<GlyphTessellator*>(self)->z_);
}

void GlyphTessellator::on_end(void* self) {
  static_cast<GlyphTessellator*>(self)->in_begin_ = false;
  glEnd();
}

// Where contours cross, the tessellator needs a new vertex; it lives in
// points_ until the next face.
void GlyphTessellator::on_combine(GLdouble coords[3], void*[4], GLfloat[4], void** out,
                                  void* self) {
  auto& points = static_cast<GlyphTessellator*>(self)->points_;
  *out = points.emplace_back(std::array<GLdouble, 3>{coords[0], coords[1], coords[2]}).data();
}

}  // namespace vlmr::font
