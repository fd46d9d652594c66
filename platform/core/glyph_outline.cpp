// FreeType outline -> flattened contours (see glyph_outline.h).
#include "glyph_outline.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace vlmr::font {
namespace {

constexpr int kFixedSteps = 8;   // steps per curve when no deviation is given
constexpr int kMaxSteps = 128;

struct Flattener {
  double scale;       // font units -> em
  double deviation;   // font units; 0: fixed steps
  std::vector<std::vector<Vec2>>* contours;
  Vec2 pen;

  Vec2 to_point(const FT_Vector* v) const {
    return {static_cast<double>(v->x), static_cast<double>(v->y)};
  }
  void add(Vec2 p) {
    pen = p;
    std::vector<Vec2>& c = contours->back();
    if (!c.empty() && c.back().x == p.x && c.back().y == p.y) return;
    c.push_back(p);
  }
  // Steps so that no chord strays more than `deviation` from the curve. The
  // chord error of a step of parameter length h is at most h^2/8 * max|B''|.
  int steps(double second_derivative_bound) const {
    if (deviation <= 0) return kFixedSteps;
    const double n = std::ceil(std::sqrt(second_derivative_bound / (8 * deviation)));
    return static_cast<int>(std::clamp(n, 1.0, double(kMaxSteps)));
  }
};

double length(double x, double y) { return std::sqrt(x * x + y * y); }

int move_to(const FT_Vector* to, void* user) {
  auto& f = *static_cast<Flattener*>(user);
  f.contours->emplace_back();
  f.add(f.to_point(to));
  return 0;
}

int line_to(const FT_Vector* to, void* user) {
  auto& f = *static_cast<Flattener*>(user);
  f.add(f.to_point(to));
  return 0;
}

int conic_to(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto& f = *static_cast<Flattener*>(user);
  const Vec2 p0 = f.pen, p1 = f.to_point(control), p2 = f.to_point(to);
  // B'' = 2 (p0 - 2 p1 + p2), constant along the curve.
  const int n = f.steps(2 * length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y));
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n, s = 1 - t;
    f.add({s * s * p0.x + 2 * s * t * p1.x + t * t * p2.x,
           s * s * p0.y + 2 * s * t * p1.y + t * t * p2.y});
  }
  return 0;
}

int cubic_to(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto& f = *static_cast<Flattener*>(user);
  const Vec2 p0 = f.pen, p1 = f.to_point(c1), p2 = f.to_point(c2), p3 = f.to_point(to);
  // |B''| <= 6 max(|p0 - 2 p1 + p2|, |p1 - 2 p2 + p3|).
  const double bound = 6 * std::max(length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                     length(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
  const int n = f.steps(bound);
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n, s = 1 - t;
    const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    f.add({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
  return 0;
}

}  // namespace

bool load_glyph_shape(FT_Face face, FT_UInt index, double deviation_em, bool embolden,
                      GlyphShape& shape) {
  shape = GlyphShape{};
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  const double units = face->units_per_EM;
  FT_Pos advance = slot->metrics.horiAdvance;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
    shape.advance = advance / units;
    return true;
  }

  FT_Outline& outline = slot->outline;
  if (embolden) {
    const FT_Pos strength = face->units_per_EM / 24;
    FT_Outline_Embolden(&outline, strength);
    advance += strength;
  }
  shape.advance = advance / units;
  shape.even_odd = (outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
  shape.fill_on_right = FT_Outline_Get_Orientation(&outline) != FT_ORIENTATION_FILL_LEFT;

  Flattener flattener{1 / units, deviation_em * units, &shape.contours, {}};
  FT_Outline_Funcs funcs{};
  funcs.move_to = move_to;
  funcs.line_to = line_to;
  funcs.conic_to = conic_to;
  funcs.cubic_to = cubic_to;
  if (FT_Outline_Decompose(&outline, &funcs, &flattener) != 0) {
    shape.contours.clear();
    return false;
  }

  // Drop each contour's closing point (it repeats the first), contours that
  // enclose nothing, and scale to em units.
  std::erase_if(shape.contours, [](std::vector<Vec2>& c) {
    if (c.size() > 1 && c.front().x == c.back().x && c.front().y == c.back().y) c.pop_back();
    return c.size() < 3;
  });
  for (auto& contour : shape.contours)
    for (Vec2& p : contour) p = {p.x * flattener.scale, p.y * flattener.scale};
  return true;
}

}  // namespace vlmr::font
