// Outline fonts: display lists of 3D glyphs, their metrics, and what they draw.
#include "gl_context.h"
#include "outline_font.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using vlmr::font::build_outline_lists;

constexpr GLuint kBase = 1000;  // lists kBase + c for character c

vlmr::Font bold_sans() {
  vlmr::Font f;
  f.weight = 700;
  return f;
}

using Metrics = std::array<GLYPHMETRICSFLOAT, 255>;

Metrics build(const vlmr::Font& font, float extrusion = 0, int format = WGL_FONT_POLYGONS,
              GLuint base = kBase) {
  Metrics m{};
  EXPECT_TRUE(build_outline_lists(font, 0, 255, base, 0, extrusion, format, m.data()));
  return m;
}

// ------------------------------------------------------------- rendering
// Lists are checked by what they draw: colour and depth read back. (Feedback
// mode would give the vertices, but Mesa's feedback drops or repeats
// primitives of display lists that mix primitive types.)
constexpr float kPixelsPerEm = 100;
constexpr int kOriginX = 50, kOriginY = 60;  // pixel where the glyph origin lands

struct Frame {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  std::vector<float> depth;

  bool ink(int x, int y) const { return rgba[4 * (y * width + x)] > 127; }
  // Eye z of the surface drawn at a pixel.
  float z(int x, int y) const { return 1 - 2 * depth[y * width + x]; }
  int ink_count() const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += ink(x, y);
    return n;
  }
  // Inked pixels whose surface is not at eye depth z.
  int ink_off_depth(float z) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += ink(x, y) && std::abs(this->z(x, y) - z) > 1e-3f;
    return n;
  }
  // The smallest rectangle of pixels holding all ink: x0, y0, x1, y1 inclusive.
  std::array<int, 4> ink_box() const {
    std::array<int, 4> b{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (ink(x, y)) b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), std::max(b[3], y)};
    return b;
  }
  // Separate stretches of ink along a row.
  int ink_runs(int y) const {
    int runs = 0;
    for (int x = 0; x < width; ++x) runs += ink(x, y) && (x == 0 || !ink(x - 1, y));
    return runs;
  }
  // First inked column of a row, or width if none.
  int first_ink(int y) const {
    for (int x = 0; x < width; ++x)
      if (ink(x, y)) return x;
    return width;
  }
};

// Pixel column/row of an em coordinate (pixel centres at +0.5).
float px(float em) { return kOriginX + em * kPixelsPerEm; }
float py(float em) { return kOriginY + em * kPixelsPerEm; }

enum class View { Front, Behind };

// Draws a list in white on black, 100 pixels per em, orthographic, eye z in
// [-1, 1] stored as depth (1 - z) / 2. Seen from behind, the glyph is turned
// half way round the y axis (and moved right so that it stays in view).
Frame render(const vlmr_test::GlContext& gl, GLuint list, View view = View::Front,
             GLenum depth_func = GL_LESS, bool cull = false) {
  glViewport(0, 0, gl.width(), gl.height());
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-kOriginX / kPixelsPerEm, (gl.width() - kOriginX) / kPixelsPerEm,
          -kOriginY / kPixelsPerEm, (gl.height() - kOriginY) / kPixelsPerEm, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (view == View::Behind) {
    glTranslatef(1.5f, 0, 0);
    glRotatef(180, 0, 1, 0);
  }
  glClearColor(0, 0, 0, 1);
  glClearDepth(depth_func == GL_GREATER ? 0 : 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(depth_func);
  if (cull)
    glEnable(GL_CULL_FACE);
  else
    glDisable(GL_CULL_FACE);
  glColor3f(1, 1, 1);
  glCallList(list);
  glLoadIdentity();

  Frame f{gl.width(), gl.height(), gl.read_pixels(), {}};
  f.depth.resize(size_t(f.width) * f.height);
  glReadPixels(0, 0, f.width, f.height, GL_DEPTH_COMPONENT, GL_FLOAT, f.depth.data());
  return f;
}

// Where the origin is after calling a list: its advance.
std::array<float, 2> list_advance(GLuint list) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glCallList(list);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glLoadIdentity();
  return {m[12], m[13]};
}

class OutlineFont : public ::testing::Test {
 protected:
  vlmr_test::GlContext gl_;
};

// ------------------------------------------------------------------ tests
TEST_F(OutlineFont, CharactersHaveMetricsMatchingWhatTheirListsDraw) {
  const Metrics m = build(bold_sans());
  struct Case {
    unsigned code;
    bool ink;
    bool advances;
    const char* what;
  };
  const Case cases[] = {
      {'A', true, true, "letter"},
      {0xE9, true, true, "e acute (Latin-1 range)"},
      {0x80, true, true, "euro sign (Windows-1252 0x80 = U+20AC)"},
      {0x92, true, true, "right single quote (Windows-1252 0x92 = U+2019)"},
      {' ', false, true, "space"},
      {0x81, false, true, "undefined in Windows-1252"},
      {'\t', false, false, "control character"},
      {0, false, false, "NUL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GLYPHMETRICSFLOAT& g = m[c.code];
    EXPECT_EQ(g.gmfCellIncX > 0, c.advances) << g.gmfCellIncX;
    EXPECT_LT(g.gmfCellIncX, 1.5f);  // em units, not font units or pixels
    EXPECT_EQ(g.gmfCellIncY, 0.0f);
    const auto advance = list_advance(kBase + c.code);
    EXPECT_FLOAT_EQ(advance[0], g.gmfCellIncX);
    EXPECT_FLOAT_EQ(advance[1], 0.0f);

    const Frame f = render(gl_, kBase + c.code);
    if (!c.ink) {
      EXPECT_EQ(f.ink_count(), 0);
      EXPECT_EQ(g.gmfBlackBoxX, 0.0f);
      EXPECT_EQ(g.gmfBlackBoxY, 0.0f);
      EXPECT_EQ(g.gmfptGlyphOrigin.x, 0.0f);
      EXPECT_EQ(g.gmfptGlyphOrigin.y, 0.0f);
      continue;
    }
    EXPECT_GT(g.gmfBlackBoxX, 0.05f);
    EXPECT_GT(g.gmfBlackBoxY, 0.05f);
    // The black box is the extent of the ink, to within a pixel; the ink is at z = 0.
    const float left = g.gmfptGlyphOrigin.x, top = g.gmfptGlyphOrigin.y;
    const float right = left + g.gmfBlackBoxX, bottom = top - g.gmfBlackBoxY;
    const auto box = f.ink_box();
    EXPECT_NEAR(box[0], px(left), 1.5);
    EXPECT_NEAR(box[2] + 1, px(right), 1.5);
    EXPECT_NEAR(box[1], py(bottom), 1.5);
    EXPECT_NEAR(box[3] + 1, py(top), 1.5);
    EXPECT_EQ(f.ink_off_depth(0), 0);
    // Ink sits in its cell.
    EXPECT_GT(left, -0.1f);
    EXPECT_LT(right, g.gmfCellIncX + 0.1f);
  }
  // Capital letters stand on the baseline and are about 0.7 em tall.
  EXPECT_NEAR(m['A'].gmfptGlyphOrigin.y - m['A'].gmfBlackBoxY, 0.0f, 0.01f);
  EXPECT_NEAR(m['A'].gmfBlackBoxY, 0.72f, 0.1f);
}

TEST_F(OutlineFont, EveryListExistsAndTheCallLeavesGlStateAlone) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  glMatrixMode(GL_PROJECTION);
  glNormal3f(0.25f, 0.5f, 0.75f);
  GLfloat before[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);

  build(bold_sans(), 0.5f);

  GLint mode = 0, front = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_FRONT_FACE, &front);
  EXPECT_EQ(mode, GL_PROJECTION);
  EXPECT_EQ(front, GL_CCW);
  GLfloat after[16], normal[4];
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << "model-view element " << i;
  EXPECT_EQ(normal[0], 0.25f);
  EXPECT_EQ(normal[1], 0.5f);
  EXPECT_EQ(normal[2], 0.75f);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  for (GLuint c = 0; c < 255; ++c) EXPECT_TRUE(glIsList(kBase + c)) << "character " << c;
  glMatrixMode(GL_MODELVIEW);
  glListBase(kBase);
  std::vector<GLubyte> text(255);
  for (int c = 0; c < 255; ++c) text[c] = static_cast<GLubyte>(c);
  glCallLists(255, GL_UNSIGNED_BYTE, text.data());
  glListBase(0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(OutlineFont, RefusedCallsLeaveExistingListsAlone) {
  glNewList(kBase, GL_COMPILE);
  glTranslatef(5, 0, 0);
  glEndList();
  struct Case {
    const char* what;
    GLuint base;
    float deviation, extrusion;
    int format;
  };
  const Case cases[] = {
      {"unknown format", kBase, 0, 0, 7},
      {"negative extrusion", kBase, 0, -1, WGL_FONT_POLYGONS},
      {"negative deviation", kBase, -0.1f, 0, WGL_FONT_POLYGONS},
      {"list base 0", 0, 0, 0, WGL_FONT_POLYGONS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GLYPHMETRICSFLOAT g{};
    EXPECT_FALSE(build_outline_lists(bold_sans(), 'A', 1, c.base, c.deviation, c.extrusion,
                                     c.format, &g));
    EXPECT_EQ(list_advance(kBase)[0], 5.0f);
  }
  // Nor can lists be built while another is being compiled.
  glNewList(kBase + 1, GL_COMPILE);
  EXPECT_FALSE(build_outline_lists(bold_sans(), 'A', 1, kBase, 0, 0, WGL_FONT_POLYGONS, nullptr));
  glEndList();
  EXPECT_EQ(list_advance(kBase)[0], 5.0f);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// "HI" at 100 pixels per em: ink fills the letters' black boxes, stays out of
// the H's open counters and never strays outside the boxes.
TEST_F(OutlineFont, RenderedTextInksOnlyInsideTheBlackBoxes) {
  const Metrics m = build(bold_sans());
  constexpr float kLeft = -0.2f, kBottom = -0.5f, kPixelsPerEm = 100;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(kLeft, kLeft + gl_.width() / kPixelsPerEm, kBottom, kBottom + gl_.height() / kPixelsPerEm,
          -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 1);
  glCallList(kBase + 'H');
  glCallList(kBase + 'I');
  const std::vector<uint8_t> pixels = gl_.read_pixels();

  struct Box {
    float x0, y0, x1, y1;  // pixels
    int ink = 0;
    bool contains(float x, float y, float margin) const {
      return x >= x0 - margin && x <= x1 + margin && y >= y0 - margin && y <= y1 + margin;
    }
  };
  auto box = [&](const GLYPHMETRICSFLOAT& g, float pen) {
    const float x = (pen + g.gmfptGlyphOrigin.x - kLeft) * kPixelsPerEm;
    const float top = (g.gmfptGlyphOrigin.y - kBottom) * kPixelsPerEm;
    return Box{x, top - g.gmfBlackBoxY * kPixelsPerEm, x + g.gmfBlackBoxX * kPixelsPerEm, top};
  };
  Box boxes[2] = {box(m['H'], 0), box(m['I'], m['H'].gmfCellIncX)};
  ASSERT_LT(boxes[1].x1, gl_.width());

  int strays = 0;
  for (int y = 0; y < gl_.height(); ++y)
    for (int x = 0; x < gl_.width(); ++x) {
      if (pixels[4 * (y * gl_.width() + x)] < 128) continue;
      const float cx = x + 0.5f, cy = y + 0.5f;
      bool inside = false;
      for (Box& b : boxes)
        if (b.contains(cx, cy, 1)) ++b.ink, inside = true;
      if (!inside) ++strays;
    }
  EXPECT_EQ(strays, 0);
  auto area = [](const Box& b) { return (b.x1 - b.x0) * (b.y1 - b.y0); };
  EXPECT_GT(boxes[0].ink, 0.4f * area(boxes[0])) << "H";
  EXPECT_GT(boxes[1].ink, 0.9f * area(boxes[1])) << "I";
  // Between the H's stems, above and below the bar, there is no ink.
  const Box& h = boxes[0];
  const int cx = static_cast<int>((h.x0 + h.x1) / 2);
  for (float f : {0.1f, 0.9f}) {
    const int cy = static_cast<int>(h.y0 + f * (h.y1 - h.y0));
    EXPECT_LT(pixels[4 * (cy * gl_.width() + cx)], 128) << "H counter at height " << f;
  }
}

// Extruded glyphs: the front face at z = 0 wound counter-clockwise seen from
// +z, the back face at z = -depth wound the other way and covering the same
// area. Back faces are culled where it shows the winding.
TEST_F(OutlineFont, ExtrusionAddsABackFaceFacingBackwards) {
  for (float depth : {0.0f, 0.5f}) {
    SCOPED_TRACE(depth);
    build(bold_sans(), depth);
    const GLuint o = kBase + 'O';
    const Frame front = render(gl_, o, View::Front, GL_LESS, true);
    const Frame farthest = render(gl_, o, View::Front, GL_GREATER);
    const Frame behind = render(gl_, o, View::Behind, GL_LESS, true);
    ASSERT_GT(front.ink_count(), 1000);
    EXPECT_EQ(front.ink_off_depth(0), 0);
    EXPECT_EQ(farthest.ink_count(), front.ink_count());
    EXPECT_EQ(farthest.ink_off_depth(-depth), 0);
    if (depth == 0) {
      EXPECT_EQ(behind.ink_count(), 0) << "a flat glyph has no back";
    } else {
      // Turned round, the back face is nearest: eye z = +depth.
      EXPECT_NEAR(behind.ink_count(), front.ink_count(), 0.02 * front.ink_count());
      EXPECT_EQ(behind.ink_off_depth(depth), 0);
    }
  }
}

// Side walls face away from the glyph: an extruded O seen from above with a
// light from the viewer shows its lit outer wall; with the upper half cut
// away, the lit inner wall of the lower half. Back faces are culled, so a
// wall wound the wrong way is not drawn at all.
TEST_F(OutlineFont, SideWallsFaceAwayFromTheGlyph) {
  constexpr float kDepth = 0.5f;
  const Metrics m = build(bold_sans(), kDepth);
  const GLYPHMETRICSFLOAT& o = m['O'];
  const float center_x = o.gmfptGlyphOrigin.x + o.gmfBlackBoxX / 2;
  const float center_y = o.gmfptGlyphOrigin.y - o.gmfBlackBoxY / 2;

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  constexpr float kPixelsPerEm = 100, kLeft = -0.5f, kBottom = -1.28f;
  glOrtho(kLeft, kLeft + gl_.width() / kPixelsPerEm, kBottom, kBottom + gl_.height() / kPixelsPerEm,
          -2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const GLfloat toward_viewer[] = {0, 0, 1, 0}, white[] = {1, 1, 1, 1}, black[] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, toward_viewer);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_SPECULAR, black);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  // The glyph's +y turns toward the viewer; its depth runs up the screen.
  glRotatef(90, 1, 0, 0);
  // Keeps y <= center_y in object coordinates.
  const GLdouble lower_half[] = {0, -1, 0, center_y};
  glClipPlane(GL_CLIP_PLANE0, lower_half);

  for (bool cut : {false, true}) {
    SCOPED_TRACE(cut ? "inner wall (upper half cut away)" : "outer wall");
    if (cut)
      glEnable(GL_CLIP_PLANE0);
    else
      glDisable(GL_CLIP_PLANE0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();  // the list moves the origin on by the advance
    glCallList(kBase + 'O');
    glPopMatrix();
    const std::vector<uint8_t> pixels = gl_.read_pixels();
    // Middle of the O, half way down the extrusion (which runs up the screen).
    const int x = static_cast<int>((center_x - kLeft) * kPixelsPerEm);
    const int y = static_cast<int>((kDepth / 2 - kBottom) * kPixelsPerEm);
    EXPECT_GT(pixels[4 * (y * gl_.width() + x)], 200);
  }
}

// A positive deviation flattens curves into fewer, longer chords, none
// further from its curve than the deviation: the coarse O differs from the
// finely flattened one, but only within that distance of the fine one's edge
// (plus the pixel grid's rounding).
TEST_F(OutlineFont, DeviationBoundsTheFlattening) {
  ASSERT_TRUE(build_outline_lists(bold_sans(), 'O', 1, kBase, 0, 0, WGL_FONT_POLYGONS, nullptr));
  const Frame fine = render(gl_, kBase);
  std::vector<std::array<float, 2>> edge;  // between horizontal or vertical neighbours that differ
  for (int y = 0; y + 1 < fine.height; ++y)
    for (int x = 0; x + 1 < fine.width; ++x) {
      if (fine.ink(x, y) != fine.ink(x + 1, y)) edge.push_back({x + 1.0f, y + 0.5f});
      if (fine.ink(x, y) != fine.ink(x, y + 1)) edge.push_back({x + 0.5f, y + 1.0f});
    }
  for (float deviation : {0.05f, 0.01f}) {
    SCOPED_TRACE(deviation);
    ASSERT_TRUE(build_outline_lists(bold_sans(), 'O', 1, kBase + 1, deviation, 0,
                                    WGL_FONT_POLYGONS, nullptr));
    const Frame coarse = render(gl_, kBase + 1);
    int changed = 0;
    float farthest = 0;
    for (int y = 0; y < fine.height; ++y)
      for (int x = 0; x < fine.width; ++x) {
        if (fine.ink(x, y) == coarse.ink(x, y)) continue;
        ++changed;
        float nearest = 1e9f;
        for (const auto& e : edge)
          nearest = std::min(nearest, std::hypot(e[0] - x - 0.5f, e[1] - y - 0.5f));
        farthest = std::max(farthest, nearest);
      }
    EXPECT_GT(changed, 50) << "the curves were not coarsened";
    EXPECT_LE(farthest, deviation * kPixelsPerEm + 1);
  }
}

// Lines trace the contours instead of filling them: a row through the middle
// of an O crosses its two contours at four places, the filled ring at two.
TEST_F(OutlineFont, LinesFormatTracesEachContour) {
  const Metrics m = build(bold_sans(), 0, WGL_FONT_LINES);
  const GLuint filled = kBase + 1000;
  build(bold_sans(), 0, WGL_FONT_POLYGONS, filled);
  struct Case {
    unsigned char code;
    int line_runs, fill_runs;
  };
  for (const Case& c : {Case{'O', 4, 2}, Case{'I', 2, 1}, Case{' ', 0, 0}}) {
    SCOPED_TRACE(c.code);
    const GLYPHMETRICSFLOAT& g = m[c.code];
    const int row = static_cast<int>(py(g.gmfptGlyphOrigin.y - g.gmfBlackBoxY / 2));
    const Frame lines = render(gl_, kBase + c.code);
    const Frame fill = render(gl_, filled + c.code);
    EXPECT_EQ(lines.ink_runs(row), c.line_runs);
    EXPECT_EQ(fill.ink_runs(row), c.fill_runs);
    EXPECT_EQ(lines.ink_off_depth(0), 0);
    if (c.line_runs > 0) {
      EXPECT_LT(lines.ink_count(), fill.ink_count() / 2);
    }
    EXPECT_FLOAT_EQ(list_advance(kBase + c.code)[0], g.gmfCellIncX);
  }
}

// How the font record changes the glyphs, against the default bold sans.
TEST_F(OutlineFont, FontAttributesShapeTheGlyphs) {
  const Metrics plain = build(bold_sans());
  // How far right the left edge of an I is at its top than at its bottom, em.
  auto slant = [&](GLuint base) {
    const Frame f = render(gl_, base + 'I');
    const int top = static_cast<int>(py(plain['I'].gmfptGlyphOrigin.y)) - 3;
    const int bottom = kOriginY + 3;
    return (f.first_ink(top) - f.first_ink(bottom)) / kPixelsPerEm;
  };
  EXPECT_NEAR(slant(kBase), 0.0f, 0.011f);

  struct Case {
    const char* what;
    std::function<void(vlmr::Font&)> change;
    std::function<void(const Metrics&, GLuint base)> check;
  };
  const GLuint other = kBase + 1000;
  const Case cases[] = {
      {"italic leans right",
       [](vlmr::Font& f) { f.italic = true; },
       [&](const Metrics&, GLuint base) { EXPECT_GT(slant(base), 0.08f); }},
      {"regular weight has thinner stems",
       [](vlmr::Font& f) { f.weight = 400; },
       [&](const Metrics& m, GLuint) {
         EXPECT_LT(m['I'].gmfBlackBoxX, 0.85f * plain['I'].gmfBlackBoxX);
       }},
      {"a monospaced face by name",
       [](vlmr::Font& f) { f.face = "DejaVu Sans Mono"; },
       [&](const Metrics& m, GLuint) {
         EXPECT_GT(plain['W'].gmfCellIncX, 1.5f * plain['i'].gmfCellIncX);
         for (unsigned char c : std::string("iW@.m"))
           EXPECT_FLOAT_EQ(m[c].gmfCellIncX, m['A'].gmfCellIncX) << c;
       }},
      {"underline runs under the whole cell, spaces too",
       [](vlmr::Font& f) { f.underline = true; },
       [&](const Metrics& m, GLuint) {
         for (unsigned char c : {'A', ' '}) {
           const GLYPHMETRICSFLOAT& g = m[c];
           EXPECT_LT(g.gmfptGlyphOrigin.y - g.gmfBlackBoxY, -0.03f) << c;
           EXPECT_LE(g.gmfptGlyphOrigin.x, 0.0f) << c;
           EXPECT_GE(g.gmfptGlyphOrigin.x + g.gmfBlackBoxX, g.gmfCellIncX - 1e-4f) << c;
         }
       }},
      {"escapement 90 degrees sets text upward",
       [](vlmr::Font& f) { f.escapement = 900; },
       [&](const Metrics& m, GLuint) {
         EXPECT_NEAR(m['A'].gmfCellIncX, 0.0f, 1e-4f);
         EXPECT_NEAR(m['A'].gmfCellIncY, plain['A'].gmfCellIncX, 1e-4f);
         EXPECT_NEAR(m['I'].gmfBlackBoxX, plain['I'].gmfBlackBoxY, 1e-3f);
         EXPECT_NEAR(m['I'].gmfBlackBoxY, plain['I'].gmfBlackBoxX, 1e-3f);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vlmr::Font font = bold_sans();
    c.change(font);
    c.check(build(font, 0, WGL_FONT_POLYGONS, other), other);
  }
}

// The Win32 entry points: a font created and selected into a DC, the DC's
// default font, and the refusals.
TEST_F(OutlineFont, UseFontOutlinesBuildsFromTheDcFont) {
  const Metrics reference = build(bold_sans());
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);

  Metrics m{};
  EXPECT_TRUE(wglUseFontOutlinesA(dc, 0, 255, kBase + 1000, 0, 0.2f, WGL_FONT_POLYGONS, m.data()));
  EXPECT_FLOAT_EQ(m['A'].gmfCellIncX, reference['A'].gmfCellIncX) << "default: bold sans";

  HFONT font = CreateFontA(-12, 0, 0, 0, 700, 0, 1, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, nullptr);
  ASSERT_NE(font, nullptr);
  SelectObject(dc, font);
  EXPECT_TRUE(wglUseFontOutlinesA(dc, 0, 255, kBase + 1000, 0, 0, WGL_FONT_POLYGONS, m.data()));
  EXPECT_FLOAT_EQ(m['A'].gmfCellIncX, reference['A'].gmfCellIncX);
  EXPECT_LT(m['A'].gmfptGlyphOrigin.y - m['A'].gmfBlackBoxY, -0.03f) << "underlined";
  EXPECT_TRUE(wglUseFontOutlinesA(dc, 'A', 1, kBase, 0, 0, WGL_FONT_POLYGONS, nullptr))
      << "metrics are optional";

  EXPECT_FALSE(wglUseFontOutlinesA(nullptr, 0, 1, kBase, 0, 0, WGL_FONT_POLYGONS, nullptr));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(wglUseFontOutlinesA(dc, 0, 1, kBase, 0, 0, WGL_FONT_POLYGONS, nullptr))
      << "stale DC";
  DeleteObject(font);
}

TEST(OutlineFontNoContext, UseFontOutlinesNeedsACurrentContext) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(wglUseFontOutlinesA(dc, 0, 255, kBase, 0, 0, WGL_FONT_POLYGONS, nullptr));
  DeleteDC(dc);
}

}  // namespace
