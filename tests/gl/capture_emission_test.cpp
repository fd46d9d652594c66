// What the library's begin/vertex/end entry points hand to OpenGL in each mode,
// and how captured geometry behaves inside display lists.
#include "gl_context.h"
#include "gl_feedback.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace V = Velmora;
using vlmr_test::FedPrimitive;

class CaptureEmission : public ::testing::Test {
 protected:
  void SetUp() override {
    static const V::TGLVERTEX3F empty{};
    V::GLBASEVERTEX3F = empty;
  }
  void TearDown() override {
    vlmr_test::stop_recording();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  static V::TGLVERTEX3F& store() { return V::GLBASEVERTEX3F; }
  vlmr_test::GlContext gl;
};

void expect_point(const FedPrimitive& p, float x, float y, float z) {
  ASSERT_EQ(p.v.size(), 1u);
  EXPECT_NEAR(p.v[0].pos[0], x, 1e-4);
  EXPECT_NEAR(p.v[0].pos[1], y, 1e-4);
  EXPECT_NEAR(p.v[0].pos[2], z, 1e-4);
}

TEST_F(CaptureEmission, DefaultModePassesVerticesUnchangedAndRecordsNothing) {
  const auto fed = vlmr_test::feedback(10, [] {
    V::GLBEGIN(GL_LINES);
    V::GLVERTEX3F(1, 2, 3);
    V::GLVERTEX3F(-4, 5, -6);
    V::GLEND();
  });
  ASSERT_EQ(fed.size(), 1u);
  EXPECT_TRUE(fed[0].token == GL_LINE_TOKEN || fed[0].token == GL_LINE_RESET_TOKEN);
  ASSERT_EQ(fed[0].v.size(), 2u);
  EXPECT_NEAR(fed[0].v[0].pos[0], 1, 1e-4);
  EXPECT_NEAR(fed[0].v[0].pos[2], 3, 1e-4);
  EXPECT_NEAR(fed[0].v[1].pos[1], 5, 1e-4);
  EXPECT_NEAR(fed[0].v[1].pos[2], -6, 1e-4);
  EXPECT_EQ(store().GLVERT3FCOUNT, 0);
  EXPECT_EQ(store().GLVERT3FOFFSET[1].X, 0);
  EXPECT_EQ(store().GLVERT3F[1].X, 0);
}

TEST_F(CaptureEmission, EditModeEmitsTheTransformedPointOrPassesOutOfRangeSlotsThrough) {
  struct Case {
    const char* name;
    int32_t slots;
    V::TGLVECTOR in, out;
  };
  // Slot 1 turns by 90 degrees about z and moves by (0, 0, 2).
  const Case cases[] = {
      {"slot 1", 4, {1, 0, 0}, {0, 1, 2}},
      {"no slots: passed through", 0, {1, 0, 0}, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    static const V::TGLVERTEX3F empty{};
    store() = empty;
    store().GLVERT3FSETNUM = c.slots;
    store().GLVERT3FTMPROTATE[1] = {0, 0, 90};
    store().GLVERT3FTMPPOSROT[1] = {0, 0, 2};
    V::GLVERT3FENABLEEDIT = true;
    const auto fed = vlmr_test::feedback(10, [&] {
      V::GLBEGIN(GL_POINTS);
      V::GLVERTEX3F(c.in.X, c.in.Y, c.in.Z);
      V::GLEND();
    });
    V::GLVERT3FENABLEEDIT = false;
    ASSERT_EQ(fed.size(), 1u);
    expect_point(fed[0], c.out.X, c.out.Y, c.out.Z);
    EXPECT_EQ(store().GLVERT3FCOUNT, c.slots > 0 ? 1 : 0);
    EXPECT_NEAR(store().GLVERT3F[1].Y, c.slots > 0 ? 1 : 0, 1e-6);
  }
}

TEST_F(CaptureEmission, DisplayListsReplayTheCompiledVerticesWithoutTouchingTheStore) {
  store().GLVERT3FSETNUM = 2;
  store().GLVERT3FTMP[1] = {10, 0, 0};
  V::GLVERT3FENABLEEDIT = true;
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  V::GLBEGIN(GL_POINTS);
  V::GLVERTEX3F(1, 1, 1);
  V::GLEND();
  glEndList();
  // Compiling captured the vertex once.
  EXPECT_EQ(store().GLVERT3FCOUNT, 1);
  EXPECT_EQ(store().GLVERT3F[1].X, 11);

  // Change the slot and rewind the counter: the list still holds the old point.
  store().GLVERT3FCOUNT = 0;
  store().GLVERT3FTMP[1] = {-10, 0, 0};
  const auto fed = vlmr_test::feedback(20, [list] { glCallList(list); });
  ASSERT_EQ(fed.size(), 1u);
  expect_point(fed[0], 11, 1, 1);
  EXPECT_EQ(store().GLVERT3FCOUNT, 0);
  EXPECT_EQ(store().GLVERT3F[1].X, 11);
  EXPECT_EQ(store().GLVERT3FOFFSET[2].X, 0);
}

TEST_F(CaptureEmission, SuppressionKeepsBeginEndAndVerticesFromOpenGL) {
  // In edit mode vertices are still captured and the limit still refreshed.
  for (bool edit : {false, true}) {
    SCOPED_TRACE(edit ? "edit mode" : "plain");
    static const V::TGLVERTEX3F empty{};
    store() = empty;
    store().GLVERT3FSETNUM = 3;
    V::GLVERT3FENABLEEDIT = edit;
    V::GLVERT3FREMOVE = true;
    const auto fed = vlmr_test::feedback(10, [] {
      V::GLBEGIN(GL_TRIANGLES);
      glColor3f(0, 1, 0);  // not routed through the capture: still reaches GL
      V::GLVERTEX3F(0, 0, 0);
      V::GLVERTEX3F(1, 0, 0);
      V::GLVERTEX3F(0, 1, 0);
      V::GLEND();
    });
    vlmr_test::stop_recording();
    EXPECT_TRUE(fed.empty());
    EXPECT_EQ(store().GLVERT3FMAX, 3);
    EXPECT_EQ(store().GLVERT3FCOUNT, edit ? 3 : 0);
    EXPECT_EQ(store().GLVERT3FOFFSET[2].X, edit ? 1 : 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1);
    EXPECT_EQ(colour[0], 0);
    // No begin was left open: GL accepts a state query and raises no error.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

}  // namespace
