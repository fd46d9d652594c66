// Stencil masking on rendered pixels: inside and outside a disc mask, a mask
// hidden behind nearer geometry, drawing made before the mask, and the offset.
#include "Velmora.h"
#include "gl_context.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using namespace Velmora;

namespace {

using Rgb = std::array<int, 3>;
constexpr Rgb BLACK{0, 0, 0}, RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255};

class StencilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    disc_ = glGenLists(1);
  }

  // The mask shape: a white disc of radius r around (0, 0, z).
  void make_disc(float r, float z = 0) {
    glNewList(disc_, GL_COMPILE);
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(0, 0, z);
    for (int k = 0; k <= 64; ++k) {
      const double a = k * 2 * M_PI / 64;
      glVertex3f(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)), z);
    }
    glEnd();
    glEndList();
  }

  static void quad(const Rgb& c, float x0, float y0, float x1, float y1, float z = 0) {
    glColor3ub(static_cast<GLubyte>(c[0]), static_cast<GLubyte>(c[1]), static_cast<GLubyte>(c[2]));
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x0, y1, z);
    glEnd();
  }
  static void fill(const Rgb& c, float z = 0) { quad(c, -1, -1, 1, 1, z); }

  // The colour at normalised device coordinates (x, y).
  Rgb at(double x, double y) {
    if (pixels_.empty()) pixels_ = gl_.read_pixels();
    const int col = static_cast<int>((x + 1) / 2 * gl_.width());
    const int row = static_cast<int>((y + 1) / 2 * gl_.height());
    const uint8_t* p = &pixels_[4 * (static_cast<size_t>(row) * gl_.width() + col)];
    return {p[0], p[1], p[2]};
  }

  static GLint modelview_depth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
  }

  vlmr_test::GlContext gl_;
  GLuint disc_ = 0;
  std::vector<uint8_t> pixels_;
};

// Red drawn between the calls shows only in the disc; green drawn after
// FX_STENCILEND over the whole screen shows everywhere else.
TEST_F(StencilTest, InsideAndOutsideADisc) {
  make_disc(0.5f);
  FX_STENCILBEGIN(0, 0, 0, disc_, 3);
  EXPECT_EQ(OBJNAMESTENCIL[3], disc_);
  EXPECT_EQ(modelview_depth(), 2);
  fill(RED);
  FX_STENCILEND();
  EXPECT_EQ(modelview_depth(), 1);
  fill(GREEN);

  struct Probe {
    double x, y;
    Rgb colour;
  } probes[] = {{0, 0, RED},    {0.45, 0, RED},    {0, -0.45, RED},    {0.55, 0, GREEN},
                {0, 0.55, GREEN}, {0.4, 0.4, GREEN}, {-0.9, -0.9, GREEN}, {0.9, 0.9, GREEN}};
  for (const Probe& p : probes) EXPECT_EQ(at(p.x, p.y), p.colour) << p.x << "," << p.y;
  EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
}

// A disc behind a nearer full-screen quad fails the depth test everywhere,
// yet its whole outline still becomes the mask.
TEST_F(StencilTest, MaskBehindGeometryStillMasks) {
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  fill(BLUE, -0.5f);     // near (depth 0.25)
  make_disc(0.5f, 0.5f);  // far (depth 0.75)
  FX_STENCILBEGIN(0, 0, 0, disc_, 0);
  fill(RED);
  FX_STENCILEND();
  glDisable(GL_DEPTH_TEST);
  fill(GREEN);
  EXPECT_EQ(at(0, 0), RED);
  EXPECT_EQ(at(0.3, -0.3), RED);
  EXPECT_EQ(at(0.8, 0.8), GREEN);
}

// Whatever was drawn before, and the mask shape's own colour, are wiped.
TEST_F(StencilTest, DrawingBeforeTheMaskIsErased) {
  glClearColor(0.2f, 0.2f, 0.2f, 1);
  fill(BLUE);
  make_disc(0.5f);
  FX_STENCILBEGIN(0, 0, 0, disc_, 0);
  FX_STENCILEND();
  const Rgb clear{51, 51, 51};
  EXPECT_EQ(at(0, 0), clear);
  EXPECT_EQ(at(0.9, -0.9), clear);
}

// The offset moves the mask and the masked drawing; after FX_STENCILEND the
// modelview is back and drawing is not offset.
TEST_F(StencilTest, OffsetMovesMaskAndMaskedDrawing) {
  make_disc(0.25f);
  FX_STENCILBEGIN(0.5f, 0, 0, disc_, 600);
  EXPECT_EQ(OBJNAMESTENCIL[600], disc_);
  quad(RED, -0.1f, -0.1f, 0.1f, 0.1f);  // lands at 0.4..0.6, inside the moved disc
  FX_STENCILEND();
  quad(GREEN, -0.1f, -0.1f, 0.1f, 0.1f);   // not offset any more
  quad(BLUE, -1, -1, -0.3f, 1);             // where the disc would be unmoved
  quad(BLUE, 0.3f, -0.05f, 0.9f, 0.05f);    // across the moved disc

  EXPECT_EQ(at(0.5, 0), RED);
  EXPECT_EQ(at(0.65, 0.1), BLACK);  // in the moved disc, outside the red quad
  EXPECT_EQ(at(0, 0), GREEN);
  EXPECT_EQ(at(-0.5, 0), BLUE);
  EXPECT_EQ(at(0.85, 0), BLUE);
}

TEST_F(StencilTest, SlotOutsideTheTableExits217) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(FX_STENCILBEGIN(0, 0, 0, disc_, 601), ::testing::ExitedWithCode(217),
              "Range check error");
}

}  // namespace
