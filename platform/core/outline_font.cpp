// Display lists of 3D glyph outlines (see outline_font.h).
#include "outline_font.h"

#include "font_face.h"
#include "glyph_outline.h"
#include "glyph_tessellate.h"

#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace vlmr::font {
namespace {

constexpr char32_t kUndefined = 0xFFFFFFFF;

// Windows-1252 bytes 0x80..0x9F as Unicode; the rest of the code page is
// Latin-1, whose bytes equal their code points.
constexpr char32_t kCp1252High[32] = {
    0x20AC, kUndefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030,     0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
    kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122,     0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178};

char32_t to_unicode(uint32_t c) {
  return (c >= 0x80 && c <= 0x9F) ? kCp1252High[c - 0x80] : c;
}

// The x-y transform applied to every glyph: a slant when the face has no
// italic of its own, then the turn by the escapement (tenths of a degree,
// counter-clockwise).
struct Affine {
  double xx = 1, xy = 0, yx = 0, yy = 1;
  Vec2 operator()(Vec2 p) const { return {xx * p.x + xy * p.y, yx * p.x + yy * p.y}; }
};

Affine glyph_transform(const Font& font, const FontFace& face) {
  const double shear = face.synthetic_italic ? 0.2 : 0;
  const double angle = font.escapement / 10.0 * std::numbers::pi / 180;
  const double c = std::cos(angle), s = std::sin(angle);
  return {c, c * shear - s, s, s * shear + c};
}

// A bar across the glyph's advance, wound like the glyph's own contours so it
// fills the same way.
void add_bar(GlyphShape& shape, double bottom, double top) {
  const double right = shape.advance;
  if (shape.fill_on_right)
    shape.contours.push_back({{0, bottom}, {0, top}, {right, top}, {right, bottom}});
  else
    shape.contours.push_back({{0, bottom}, {right, bottom}, {right, top}, {0, top}});
}

void add_decorations(const Font& font, FT_Face face, GlyphShape& shape) {
  if (shape.advance <= 0) return;
  const double units = face->units_per_EM;
  if (font.underline) {
    double center = -0.075, thickness = 0.05;
    if (face->underline_thickness > 0) {
      center = face->underline_position / units;
      thickness = face->underline_thickness / units;
    }
    add_bar(shape, center - thickness / 2, center + thickness / 2);
  }
  if (font.strike_out) {
    double top = 0.3, thickness = 0.05;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->yStrikeoutSize > 0) {
      top = os2->yStrikeoutPosition / units;
      thickness = os2->yStrikeoutSize / units;
    }
    add_bar(shape, top - thickness, top);
  }
}

// The shape of one character: control characters (below 32) are empty and do
// not advance; a character the face lacks advances like the face's missing
// glyph but draws nothing.
GlyphShape character_shape(const Font& font, const FontFace& face, uint32_t code,
                           double deviation) {
  GlyphShape shape;
  if (code < 32) return shape;
  const char32_t u = to_unicode(code);
  const FT_UInt index = u == kUndefined ? 0 : FT_Get_Char_Index(face.face, u);
  if (!load_glyph_shape(face.face, index, deviation, face.synthetic_bold, shape))
    shape = GlyphShape{};
  if (index == 0) shape.contours.clear();
  add_decorations(font, face.face, shape);
  return shape;
}

GLYPHMETRICSFLOAT measure(const GlyphShape& shape, Vec2 advance) {
  GLYPHMETRICSFLOAT m{};
  m.gmfCellIncX = static_cast<FLOAT>(advance.x);
  m.gmfCellIncY = static_cast<FLOAT>(advance.y);
  if (shape.contours.empty()) return m;
  Vec2 lo = shape.contours[0][0], hi = lo;
  for (const auto& contour : shape.contours)
    for (const Vec2& p : contour) {
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    }
  m.gmfBlackBoxX = static_cast<FLOAT>(hi.x - lo.x);
  m.gmfBlackBoxY = static_cast<FLOAT>(hi.y - lo.y);
  m.gmfptGlyphOrigin = {static_cast<FLOAT>(lo.x), static_cast<FLOAT>(hi.y)};
  return m;
}

std::mutex font_mutex;  // guards the face cache and the faces' glyph slots

}  // namespace

bool build_outline_lists(const Font& font, DWORD first, DWORD count, DWORD listBase,
                         float deviation, float extrusion, int format,
                         GLYPHMETRICSFLOAT* metrics) {
  if (format != WGL_FONT_LINES && format != WGL_FONT_POLYGONS) return false;
  if (!(deviation >= 0) || !(extrusion >= 0) || !std::isfinite(deviation) ||
      !std::isfinite(extrusion))
    return false;
  // List 0 does not exist, list names must not wrap, nor may the characters.
  if (listBase == 0 || uint64_t(listBase) + count > 0x100000000ull ||
      uint64_t(first) + count > 0x100000000ull)
    return false;
  GLint compiling = 0;
  glGetIntegerv(GL_LIST_INDEX, &compiling);
  if (compiling != 0) return false;  // lists cannot nest

  std::lock_guard lock(font_mutex);
  const FontFace* face = find_face(font.face, font.weight, font.italic);
  if (!face) return false;
  GlyphTessellator tessellator;
  if (!tessellator.ok()) return false;

  const Affine transform = glyph_transform(font, *face);
  for (DWORD i = 0; i < count; ++i) {
    GlyphShape shape = character_shape(font, *face, first + i, deviation);
    for (auto& contour : shape.contours)
      for (Vec2& p : contour) p = transform(p);
    const Vec2 advance = transform({shape.advance, 0});
    const GLYPHMETRICSFLOAT m = measure(shape, advance);
    if (metrics) metrics[i] = m;

    glNewList(listBase + i, GL_COMPILE);
    if (format == WGL_FONT_LINES)
      tessellator.outline(shape);
    else
      tessellator.fill(shape, extrusion);
    glTranslatef(m.gmfCellIncX, m.gmfCellIncY, 0);
    glEndList();
  }
  return true;
}

}  // namespace vlmr::font
