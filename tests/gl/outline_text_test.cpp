// Outline-font text: where PUTGLTEXT puts and how it scales a string, which
// calls it skips, that rendered glyphs land in their metric boxes, extrusion,
// the unfilled metrics entry and list deletion.
#include "Velmora.h"
#include "gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace Velmora;

namespace {

class OutlineTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_ = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc_, nullptr);
    DCWINDOW = dc_;
  }
  // The lists belong to this test's context: free them while it is current.
  void TearDown() override {
    DELETEGLTEXT();
    DCWINDOW = nullptr;
    DeleteDC(dc_);
  }

  static GLint modelview_depth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
  }

  // Object-space (x, y, z) of every vertex drawn by `draw`, through feedback
  // under an orthographic box of -4..4 on every axis.
  static std::vector<std::array<float, 3>> feedback_vertices(void (*draw)()) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -4, 4, -4, 4);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    std::vector<std::array<float, 3>> out;
    auto vertex = [&](GLint at) {
      out.push_back({(buffer[at] - viewport[0]) / viewport[2] * 8 - 4,
                     (buffer[at + 1] - viewport[1]) / viewport[3] * 8 - 4,
                     -(buffer[at + 2] * 2 - 1) * 4});
    };
    for (GLint i = 0; i < used;) {
      const GLint token = static_cast<GLint>(buffer[i++]);
      if (token == GL_POINT_TOKEN) {
        vertex(i);
        i += 3;
      } else if (token == GL_POLYGON_TOKEN) {
        const GLint n = static_cast<GLint>(buffer[i++]);
        for (GLint k = 0; k < n; ++k, i += 3) vertex(i);
      } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
        vertex(i);
        vertex(i + 3);
        i += 6;
      } else if (token == GL_PASS_THROUGH_TOKEN) {
        i += 1;
      } else {
        ADD_FAILURE() << "unexpected feedback token " << token;
        break;
      }
    }
    return out;
  }

  vlmr_test::GlContext gl_;
  HDC dc_ = nullptr;
};

// The origin is (X/200, Y/200, 0) and the scale (SIZE+1)/10: list 'A' is
// replaced by two points, one at its glyph origin and one a unit away.
TEST_F(OutlineTextTest, StringOriginAndScale) {
  INITTEXT(0, 0, 0, 0);
  glNewList(BASE + 'A', GL_COMPILE);
  glBegin(GL_POINTS);
  glVertex3f(0, 0, 0);
  glVertex3f(1, 1, 1);
  glEnd();
  glEndList();

  const auto points = feedback_vertices([] { PUTGLTEXT(-395, 255, -0.05f, "A"); });
  ASSERT_EQ(points.size(), 2u);
  EXPECT_NEAR(points[0][0], -1.975, 1e-5);
  EXPECT_NEAR(points[0][1], 1.275, 1e-5);
  EXPECT_NEAR(points[0][2], 0.0, 1e-5);
  for (int axis = 0; axis < 3; ++axis)
    EXPECT_NEAR(points[1][axis] - points[0][axis], 0.095, 1e-5) << "axis " << axis;
  EXPECT_EQ(modelview_depth(), 1);
  GLint list_base = -1;
  glGetIntegerv(GL_LIST_BASE, &list_base);
  EXPECT_EQ(list_base, 0);
}

// Between glBegin and glEnd any matrix or attribute call is an error, so a
// call that reaches OpenGL shows up in glGetError.
TEST_F(OutlineTextTest, EmptyTextAndZeroScaleMakeNoCall) {
  INITTEXT(0, 0, 0, 0);
  struct Case {
    const char* text;
    float size;
    bool calls_gl;
  } cases[] = {{"", 5, false}, {nullptr, 5, false}, {"AB", -1, false}, {"AB", 5, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    glBegin(GL_POINTS);
    PUTGLTEXT(10, 10, c.size, c.text);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(c.calls_gl ? GL_INVALID_OPERATION : GL_NO_ERROR));
    EXPECT_EQ(modelview_depth(), 1);
  }
}

struct Box {
  int x0, y0, x1, y1;  // pixels, inclusive
  bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// White text on black, one em = half the viewport height: every lit pixel lies
// inside some glyph's black box (placed from the metrics), and every glyph box
// has lit pixels. Byte 255 draws nothing and does not advance.
TEST_F(OutlineTextTest, RenderedGlyphsLandInTheirBoxes) {
  INITTEXT(0, 0, 0, 0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  PUTGLTEXT(-180, -40, 4, "H\xFFo");  // origin (-0.9, -0.2), S = 0.5

  const int w = gl_.width(), h = gl_.height();
  auto to_px = [&](double x, double y) {
    return std::array<int, 2>{static_cast<int>(std::lround((x + 1) / 2 * w)),
                              static_cast<int>(std::lround((y + 1) / 2 * h))};
  };
  std::vector<Box> boxes;
  double pen = -0.9;
  for (unsigned char c : {'H', 'o'}) {
    const GLYPHMETRICSFLOAT& m = GMF[c];
    ASSERT_GT(m.gmfBlackBoxX, 0) << c;
    const double left = pen + 0.5 * m.gmfptGlyphOrigin.x;
    const double top = -0.2 + 0.5 * m.gmfptGlyphOrigin.y;
    const auto a = to_px(left, top - 0.5 * m.gmfBlackBoxY);
    const auto b = to_px(left + 0.5 * m.gmfBlackBoxX, top);
    boxes.push_back({a[0] - 1, a[1] - 1, b[0] + 1, b[1] + 1});
    pen += 0.5 * m.gmfCellIncX;
  }
  const std::vector<uint8_t> px = gl_.read_pixels();
  std::vector<int> lit_in_box(boxes.size(), 0);
  int stray = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (px[4 * (static_cast<size_t>(y) * w + x)] < 128) continue;
      bool inside = false;
      for (size_t b = 0; b < boxes.size(); ++b)
        if (boxes[b].contains(x, y)) {
          ++lit_in_box[b];
          inside = true;
        }
      if (!inside) ++stray;
    }
  EXPECT_EQ(stray, 0);
  for (size_t b = 0; b < boxes.size(); ++b) EXPECT_GT(lit_in_box[b], 20) << "glyph " << b;
}

// DEPTH extrudes the glyphs from z = 0 towards -z by DEPTH em.
TEST_F(OutlineTextTest, ExtrusionDepth) {
  for (float depth : {0.0f, 0.5f}) {
    SCOPED_TRACE(depth);
    INITTEXT(depth, 0, 0, 0);
    const auto vertices = feedback_vertices([] { PUTGLTEXT(0, 0, 9, "I"); });  // S = 1
    ASSERT_FALSE(vertices.empty());
    float lo = vertices[0][2], hi = vertices[0][2];
    for (const auto& v : vertices) {
      lo = std::min(lo, v[2]);
      hi = std::max(hi, v[2]);
    }
    EXPECT_NEAR(hi, 0.0f, 1e-4);
    EXPECT_NEAR(lo, -depth, 1e-4);
    DELETEGLTEXT();
  }
}

TEST_F(OutlineTextTest, MetricsAndListsOfTheFont) {
  GMF[255] = {};
  INITTEXT(0, 0, 0, 0);
  EXPECT_GT(GMF['A'].gmfCellIncX, 0.0f);
  const GLYPHMETRICSFLOAT& last = GMF[255];
  EXPECT_EQ(last.gmfBlackBoxX, 0.0f);
  EXPECT_EQ(last.gmfBlackBoxY, 0.0f);
  EXPECT_EQ(last.gmfptGlyphOrigin.x, 0.0f);
  EXPECT_EQ(last.gmfptGlyphOrigin.y, 0.0f);
  EXPECT_EQ(last.gmfCellIncX, 0.0f);
  EXPECT_EQ(last.gmfCellIncY, 0.0f);
  ASSERT_NE(BASE, 0u);
  EXPECT_TRUE(glIsList(BASE + 'A'));
  DELETEGLTEXT();
  EXPECT_FALSE(glIsList(BASE + 'A'));
}

// Without lists of its own DELETEGLTEXT must not free someone else's lists,
// such as a fresh context's list 1 while BASE still reads 0.
TEST_F(OutlineTextTest, DeleteWithoutInitLeavesOtherListsAlone) {
  BASE = 0;
  const GLuint other = glGenLists(1);
  glNewList(other, GL_COMPILE);
  glEndList();
  ASSERT_LT(other, 256u);
  DELETEGLTEXT();
  EXPECT_TRUE(glIsList(other));
}

}  // namespace
