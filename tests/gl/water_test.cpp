// The water surface: the first flat step, the disturbance, how a disturbance
// spreads through the damped scheme, viscosity, the vertex and normal passes,
// the strips as drawn, the OpenGL state left behind and the run-time errors.
//
// WATER00 is a global table: every test here uses a slot of its own.
#include "Velmora.h"
#include "gl_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Velmora;

namespace {

constexpr int32_t G = 63;

class WaterTest : public ::testing::Test {
 protected:
  // Margins of G put every disturbance on node (G-1, G-1), outside the
  // simulated area, so a test can plant its own disturbance and predict all.
  static void step(int32_t slot, float viscosity, float py = 0) {
    CREATEWATER(G, 0, py, 0, G, G, 0, viscosity, false, false, slot);
  }

  vlmr_test::GlContext gl_;
};

struct FirstCall {
  int32_t slot, wrnd;
  float lowest, highest;  // the range of the planted velocity
};

class WaterFirstCallTest : public WaterTest, public ::testing::WithParamInterface<FirstCall> {};

// A fresh slot draws flat at -PY with downward inner normals and upward outer
// ones, then plants one disturbance of 1060 - Random(WRND) inside 2..G-2.
// The offsets move the vertices only; normals stay plain unit vectors.
TEST_P(WaterFirstCallTest, FlatSurfaceThenOneDisturbance) {
  const FirstCall c = GetParam();
  const float px = 0.5f, py = 0.25f, pz = -1.0f;
  CREATEWATER(G, px, py, pz, 3, 3, c.wrnd, 0.98f, false, false, c.slot);
  const TGLWATER& w = WATER00[c.slot];
  EXPECT_EQ(w.GRIDSIZE, G);
  EXPECT_EQ(w.VISCOSITYW, 0.98f);

  int planted = 0;
  for (int i = 0; i <= G; ++i)
    for (int l = 0; l <= G; ++l) {
      SCOPED_TRACE(::testing::Message() << "node " << i << "," << l);
      const TGLVECTOR& v = w.VERTW[i][l];
      EXPECT_EQ(v.X, static_cast<float>((i - G / 2.0) / G * 5 - px));
      EXPECT_EQ(v.Y, -py);
      EXPECT_EQ(v.Z, static_cast<float>((l - G / 2.0) / G * 5 - pz));
      const TGLVECTOR& n = w.NORMW[i][l];
      const bool inner = i > 0 && i < G && l > 0 && l < G;
      EXPECT_EQ(n.X, 0.0f);
      EXPECT_EQ(n.Y, inner ? -1.0f : 1.0f);
      EXPECT_EQ(n.Z, 0.0f);
      EXPECT_EQ(w.POSW[i][l], 0.0f);
      if (w.VELW[i][l] != 0.0f) {
        ++planted;
        EXPECT_GE(i, 2);
        EXPECT_LE(i, G - 2);
        EXPECT_GE(l, 2);
        EXPECT_LE(l, G - 2);
        EXPECT_GE(w.VELW[i][l], c.lowest);
        EXPECT_LE(w.VELW[i][l], c.highest);
      }
    }
  EXPECT_EQ(planted, 1);
}

INSTANTIATE_TEST_SUITE_P(Spread, WaterFirstCallTest,
                         ::testing::Values(FirstCall{1, 5, 1056, 1060}, FirstCall{2, 0, 1060, 1060}),
                         [](const auto& info) { return "wrnd" + std::to_string(info.param.wrnd); });

// A velocity of 700 at (30,30) on a flat slot: the first step lowers the node
// by 700; the second spreads it with weights 4/25 (edges) and 1/25 (corners),
// divided by 7: edge neighbours fall by 16, corners by 4, the node moves by
// its damped velocity 350 plus (-700)/7.
TEST_F(WaterTest, DisturbanceSpreadsOnTheNextStep) {
  const int32_t slot = 3;
  const float py = 0.125f;
  WATER00[slot].VELW[30][30] = 700;
  step(slot, 0.5f, py);
  const TGLWATER& w = WATER00[slot];
  EXPECT_EQ(w.POSW[30][30], -700.0f);
  EXPECT_EQ(w.POSW[31][30], 0.0f);
  EXPECT_EQ(w.VELW[30][30], 350.0f);

  step(slot, 0.5f, py);
  struct Node {
    int i, l;
    float height, velocity;
  } nodes[] = {{30, 30, -950, 125}, {31, 30, -16, 8}, {29, 30, -16, 8}, {30, 31, -16, 8},
               {30, 29, -16, 8},    {31, 31, -4, 2},  {29, 29, -4, 2},  {32, 30, 0, 0},
               {G - 1, G - 1, 0, 1060}};
  for (const Node& n : nodes) {
    SCOPED_TRACE(::testing::Message() << "node " << n.i << "," << n.l);
    EXPECT_EQ(w.POSW[n.i][n.l], n.height);
    EXPECT_EQ(w.VELW[n.i][n.l], n.velocity);
  }
  EXPECT_FLOAT_EQ(w.VERTW[30][30].Y, -950.0f / 1024 / G * 3 - py);
  // Normal at (31,30) from the differences (0 - -950, -2048, -4 - -4).
  const double len = std::sqrt(950.0 * 950.0 + 2048.0 * 2048.0);
  EXPECT_NEAR(w.NORMW[31][30].X, 950 / len, 1e-6);
  EXPECT_NEAR(w.NORMW[31][30].Y, -2048 / len, 1e-6);
  EXPECT_EQ(w.NORMW[31][30].Z, 0.0f);
}

// With no damping factor every simulated velocity is zero after its step, so
// a node moves only by the increment of that step's velocity pass.
TEST_F(WaterTest, ZeroViscosityKeepsOnlyEachStepsIncrement) {
  const int32_t slot = 4;
  WATER00[slot].VELW[30][30] = 700;
  step(slot, 0);
  step(slot, 0);
  const TGLWATER& w = WATER00[slot];
  EXPECT_EQ(w.POSW[30][30], -600.0f);  // -700, then -(-700/7)
  EXPECT_EQ(w.POSW[31][30], -16.0f);
  for (int i = 2; i <= G - 2; ++i)
    for (int l = 2; l <= G - 2; ++l) ASSERT_EQ(w.VELW[i][l], 0.0f) << i << "," << l;
}

struct StateCase {
  bool alpha, sky;
};

class WaterStateTest : public WaterTest, public ::testing::WithParamInterface<StateCase> {};

// Whatever came before: the chosen texture bound, blending off, culling on,
// smooth shading, the last strip's grey and the modelview as it was.
TEST_P(WaterStateTest, StateLeftBehind) {
  const StateCase c = GetParam();
  const int32_t slot = 5;
  glGenTextures(1, &TEXTURE_WATER[slot]);
  glEnable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glShadeModel(GL_FLAT);
  glTranslatef(1, 2, 3);
  GLfloat before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);

  CREATEWATER(8, 0, 0, 0, 2, 2, 5, 0.9f, c.alpha, c.sky, slot);

  GLint bound = -1, shading = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, static_cast<GLint>(c.sky ? TEXTURE_SKY3 : TEXTURE_WATER[slot]));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  glGetIntegerv(GL_SHADE_MODEL, &shading);
  EXPECT_EQ(shading, GL_SMOOTH);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(colour[k], 0.07f);
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(after[k], before[k]);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Modes, WaterStateTest,
                         ::testing::Values(StateCase{false, false}, StateCase{true, false},
                                           StateCase{false, true}, StateCase{true, true}),
                         [](const auto& info) {
                           return std::string(info.param.alpha ? "blend" : "opaque") +
                                  (info.param.sky ? "_sky" : "_water");
                         });

// Seen from above with lighting and texturing off, strip I (between node rows
// I and I+1 of the second index) shows its grey I/100 across the grid's width.
TEST_F(WaterTest, StripsAreDrawnInTheirGrey) {
  const int32_t slot = 6;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-3, 3, -3, 3, -3, 3);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(90, 1, 0, 0);  // grid Z goes to screen -y
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  step(slot, 0.9f);

  const std::vector<uint8_t> px = gl_.read_pixels();
  const int w = gl_.width(), h = gl_.height();
  auto at = [&](double x, double y) {
    const int col = static_cast<int>((x / 3 + 1) / 2 * w);
    const int row = static_cast<int>((y / 3 + 1) / 2 * h);
    return px[4 * (static_cast<size_t>(row) * w + col)];
  };
  for (int strip : {0, 10, 31, 50, 62}) {
    const double z = (strip + 0.5 - G / 2.0) / G * 5;
    for (double x : {-2.0, 0.3, 2.2})
      EXPECT_NEAR(at(x, -z), strip / 100.0 * 255, 1.5) << "strip " << strip << " x " << x;
  }
  EXPECT_EQ(at(2.8, 0), 0);  // beyond the grid's half-width of 2.5
}

TEST_F(WaterTest, ReflectionSwitch) {
  glShadeModel(GL_FLAT);
  EFFECTREALWATER();
  GLint mode = 0;
  for (GLenum coord : {GL_S, GL_T, GL_R}) {
    glGetTexGeniv(coord, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, coord == GL_R ? GL_REFLECTION_MAP : GL_SPHERE_MAP) << coord;
  }
  for (GLenum gen : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
    EXPECT_TRUE(glIsEnabled(gen)) << gen;
  glShadeModel(GL_FLAT);
  EFFECTREALWATEROFF();
  for (GLenum gen : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
    EXPECT_FALSE(glIsEnabled(gen)) << gen;
  glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
  EXPECT_EQ(mode, GL_SPHERE_MAP);
  glGetIntegerv(GL_SHADE_MODEL, &mode);
  EXPECT_EQ(mode, GL_SMOOTH);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

struct BadCall {
  const char* name;
  int32_t gridsize, wxz, num;
  const char* message;
};

class WaterErrorTest : public WaterTest, public ::testing::WithParamInterface<BadCall> {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_P(WaterErrorTest, Exits217) {
  const BadCall c = GetParam();
  EXPECT_EXIT(CREATEWATER(c.gridsize, 0, 0, 0, c.wxz, 3, 5, 0.9f, false, false, c.num),
              ::testing::ExitedWithCode(217), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, WaterErrorTest,
    ::testing::Values(BadCall{"gridsize0", 0, 3, 10, "Invalid floating point operation"},
                      BadCall{"gridsize301", 301, 3, 10, "Range check error"},
                      BadCall{"slot101", 63, 3, 101, "Range check error"},
                      BadCall{"slotminus1", 63, 3, -1, "Range check error"},
                      BadCall{"margin302", 300, 302, 10, "Range check error"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
