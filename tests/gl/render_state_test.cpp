// The ready-made render states and the light routines, read back from OpenGL.
#include "gl_context.h"
#include "gl_feedback.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>

namespace {

namespace V = Velmora;

GLint get_int(GLenum what) {
  GLint v = 0;
  glGetIntegerv(what, &v);
  return v;
}

bool get_bool(GLenum what) {
  GLboolean v = GL_FALSE;
  glGetBooleanv(what, &v);
  return v == GL_TRUE;
}

std::array<float, 4> get4(GLenum what) {
  std::array<float, 4> v{};
  glGetFloatv(what, v.data());
  return v;
}

std::array<float, 4> light4(GLenum light, GLenum what) {
  std::array<float, 4> v{};
  glGetLightfv(light, what, v.data());
  return v;
}

std::array<float, 4> light_position_global() {
  return {V::LIGHTPOSITION[0], V::LIGHTPOSITION[1], V::LIGHTPOSITION[2], V::LIGHTPOSITION[3]};
}

class RenderState : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
  vlmr_test::GlContext gl;
};

TEST_F(RenderState, ReadyMadeStatesLeaveWhatTheySay) {
  struct Case {
    const char* name;
    std::function<void()> prepare, run, check;
  };
  const Case cases[] = {
      {"SETGLREFRACTIVE",
       [] {
         glDisable(GL_CULL_FACE);
         glCullFace(GL_FRONT);
         glFrontFace(GL_CW);
         glShadeModel(GL_FLAT);
       },
       V::SETGLREFRACTIVE,
       [] {
         EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
         EXPECT_EQ(get_int(GL_CULL_FACE_MODE), GL_BACK);
         EXPECT_EQ(get_int(GL_FRONT_FACE), GL_CCW);
         EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
       }},
      {"SETGLSMOOTH", [] { glShadeModel(GL_FLAT); }, V::SETGLSMOOTH,
       [] { EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH); }},
      {"SETGLHISMOOTH", [] { glShadeModel(GL_FLAT); }, V::SETGLHISMOOTH,
       [] { EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH); }},
      {"SETGLSPRITE(false) keeps the blend function", [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE); },
       [] { V::SETGLSPRITE(false); },
       [] {
         EXPECT_TRUE(glIsEnabled(GL_BLEND));
         EXPECT_FALSE(get_bool(GL_DEPTH_WRITEMASK));
         EXPECT_EQ(get_int(GL_BLEND_SRC), GL_SRC_ALPHA);
         EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE);
       }},
      {"SETGLSPRITE(true) then SETGLSPRITEOFF", [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE); },
       [] {
         V::SETGLSPRITE(true);
         EXPECT_EQ(get_int(GL_BLEND_SRC), GL_ONE);
         EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE);
         EXPECT_TRUE(glIsEnabled(GL_BLEND));
         V::SETGLSPRITEOFF();
       },
       [] {
         EXPECT_FALSE(glIsEnabled(GL_BLEND));
         EXPECT_TRUE(get_bool(GL_DEPTH_WRITEMASK));
         EXPECT_EQ(get_int(GL_BLEND_SRC), GL_ONE);  // not restored
         EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE);
       }},
      {"SETGLSPRITEOFF alone",
       [] {
         glEnable(GL_BLEND);
         glEnable(GL_ALPHA_TEST);
         glDepthMask(GL_FALSE);
       },
       V::SETGLSPRITEOFF,
       [] {
         EXPECT_FALSE(glIsEnabled(GL_BLEND));
         EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
         EXPECT_TRUE(get_bool(GL_DEPTH_WRITEMASK));
       }},
      {"TEXTUREON and TEXTUREOFF keep the binding",
       [] {
         GLuint name = 0;
         glGenTextures(1, &name);
         glBindTexture(GL_TEXTURE_2D, name);
       },
       [] {
         V::TEXTUREON();
         EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
         V::TEXTUREOFF();
       },
       [] {
         EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
         EXPECT_NE(get_int(GL_TEXTURE_BINDING_2D), 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    c.run();
    c.check();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

TEST_F(RenderState, LightTakesTheColoursAndAPositionInTheCurrentFrame) {
  const auto saved_ambient = V::AMBIENTLIGHT;
  const auto saved_diffuse = V::DIFFUSELIGHT;
  const auto saved_specular = V::SPECULARLIGHT;
  V::AMBIENTLIGHT = {{0.1f, 0.2f, 0.3f, 0.4f}};
  V::DIFFUSELIGHT = {{0.5f, 0.6f, 0.7f, 0.8f}};
  V::SPECULARLIGHT = {{9.5f, 0.0f, 0.25f, 1.0f}};  // passed unclamped

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  V::SETGLLIGHT(GL_LIGHT1, 0, 0, 0, 0.1f);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_EQ(light4(GL_LIGHT1, GL_AMBIENT), (std::array<float, 4>{0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_EQ(light4(GL_LIGHT1, GL_DIFFUSE), (std::array<float, 4>{0.5f, 0.6f, 0.7f, 0.8f}));
  EXPECT_EQ(light4(GL_LIGHT1, GL_SPECULAR), (std::array<float, 4>{9.5f, 0.0f, 0.25f, 1.0f}));
  // The position comes back in eye coordinates: transformed by the translation.
  const auto eye = light4(GL_LIGHT1, GL_POSITION);
  EXPECT_NEAR(eye[0], 0.1f, 1e-6);
  EXPECT_NEAR(eye[1], 0.2f, 1e-6);
  EXPECT_NEAR(eye[2], 0.3f, 1e-6);
  EXPECT_NEAR(eye[3], 0.1f, 1e-6);
  EXPECT_EQ(light_position_global(), (std::array<float, 4>{0, 0, 0, 0.1f}));

  // Every call reads the colours again.
  V::AMBIENTLIGHT = {{0.9f, 0.8f, 0.7f, 0.6f}};
  glLoadIdentity();
  V::SETGLLIGHT(GL_LIGHT1, 4, 5, 6, 0);
  EXPECT_EQ(light4(GL_LIGHT1, GL_AMBIENT), (std::array<float, 4>{0.9f, 0.8f, 0.7f, 0.6f}));
  EXPECT_EQ(light4(GL_LIGHT1, GL_POSITION), (std::array<float, 4>{4, 5, 6, 0}));

  V::AMBIENTLIGHT = saved_ambient;
  V::DIFFUSELIGHT = saved_diffuse;
  V::SPECULARLIGHT = saved_specular;
}

TEST_F(RenderState, PointLightMovesTheLightAndDrawsItsMarkerUnlessSizeIsZero) {
  struct Case {
    float size, lval;
    bool suppressed;
    bool marker;  // a point comes back
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {5, 0.1f, false, true},   // the marker is not divided by LVAL
      {7, 0, false, true},      // directional light, marker still drawn
      {0, 1, false, false},     // only moves the light
      {nan, 1, false, false},   // NaN counts as zero
      {6, 1, true, false},      // suppressed: the point size and normal still reach GL
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "size " << c.size << " lval " << c.lval
                                      << (c.suppressed ? " suppressed" : ""));
    vlmr_test::feedback_setup(10);  // identity modelview: the light stays as given
    glPointSize(3);
    glNormal3f(1, 0, 0);
    V::GLVERT3FREMOVE = c.suppressed;
    const auto fed =
        vlmr_test::feedback_run(10, [&] { V::PUTGLPOINTLIGHT(GL_LIGHT0, c.size, 2, -4, 6, c.lval); });
    V::GLVERT3FREMOVE = false;

    const std::array<float, 4> where{2, -4, 6, c.lval};
    EXPECT_EQ(light4(GL_LIGHT0, GL_POSITION), where);
    EXPECT_EQ(light_position_global(), where);
    const bool sized = c.size == c.size && c.size != 0;
    EXPECT_EQ(get4(GL_POINT_SIZE)[0], sized ? c.size : 3);
    EXPECT_EQ(get4(GL_CURRENT_NORMAL)[2], sized ? 1 : 0);
    if (c.marker) {
      ASSERT_EQ(fed.size(), 1u);
      EXPECT_EQ(fed[0].token, static_cast<GLenum>(GL_POINT_TOKEN));
      EXPECT_NEAR(fed[0].v[0].pos[0], 2, 1e-4);
      EXPECT_NEAR(fed[0].v[0].pos[1], -4, 1e-4);
      EXPECT_NEAR(fed[0].v[0].pos[2], 6, 1e-4);
    } else {
      EXPECT_TRUE(fed.empty());
    }
  }
}

}  // namespace
