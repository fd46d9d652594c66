// The capture store in edit mode with output suppressed: nothing reaches OpenGL,
// so these need no context.
#include "Velmora.h"

#include <gtest/gtest.h>

namespace {

namespace V = Velmora;

class CaptureStore : public ::testing::Test {
 protected:
  void SetUp() override {
    static const V::TGLVERTEX3F empty{};
    V::GLBASEVERTEX3F = empty;
    V::GLVERT3FENABLEEDIT = true;
    V::GLVERT3FREMOVE = true;
  }
  void TearDown() override {
    V::GLVERT3FENABLEEDIT = false;
    V::GLVERT3FREMOVE = false;
  }
  static V::TGLVERTEX3F& store() { return V::GLBASEVERTEX3F; }
};

void expect_vec(const V::TGLVECTOR& got, const V::TGLVECTOR& want, float tolerance = 0) {
  EXPECT_NEAR(got.X, want.X, tolerance);
  EXPECT_NEAR(got.Y, want.Y, tolerance);
  EXPECT_NEAR(got.Z, want.Z, tolerance);
}

TEST_F(CaptureStore, SlotsFillUpToTheLimitThenTheLastIsReused) {
  store().GLVERT3FSETNUM = 3;
  V::GLBEGIN(GL_POINTS);
  EXPECT_EQ(store().GLVERT3FMAX, 3);  // copied even while suppressed
  const int32_t expected_slot[] = {1, 2, 3, 3, 3};
  for (int i = 0; i < 5; ++i) {
    V::GLVERTEX3F(static_cast<float>(i + 1), 10.0f * (i + 1), 100.0f * (i + 1));
    EXPECT_EQ(store().GLVERT3FCOUNT, expected_slot[i]) << "vertex " << i + 1;
  }
  V::GLEND();
  expect_vec(store().GLVERT3FOFFSET[1], {1, 10, 100});
  expect_vec(store().GLVERT3FOFFSET[2], {2, 20, 200});
  expect_vec(store().GLVERT3FOFFSET[3], {5, 50, 500});
  expect_vec(store().GLVERT3F[3], {5, 50, 500});
  expect_vec(store().GLVERT3FOFFSET[4], {0, 0, 0});

  // A new block keeps counting from where the last one stopped.
  store().GLVERT3FSETNUM = 4;
  store().GLVERT3FCOUNT = 1;
  V::GLBEGIN(GL_POINTS);
  V::GLVERTEX3F(7, 7, 7);
  V::GLEND();
  EXPECT_EQ(store().GLVERT3FCOUNT, 2);
  expect_vec(store().GLVERT3FOFFSET[2], {7, 7, 7});
}

struct TransformCase {
  const char* name;
  V::TGLVECTOR scale, move, rotate, posrot;
  V::TGLVECTOR in;
  V::TGLVECTOR out;
  V::TGLVECTOR scale_after;
};

TEST_F(CaptureStore, EachSlotScalesTranslatesAndRotates) {
  const TransformCase cases[] = {
      {"all zero", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1.5f, -2, 3}, {1.5f, -2, 3},
       {1, 1, 1}},
      {"partly zero scale", {0, 0, 5}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {2, 3, 4}, {0, 0, 20},
       {0, 0, 5}},
      {"yaw 90", {0, 0, 0}, {0, 0, 0}, {0, 0, 90}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}},
      {"translation and offset", {0, 0, 0}, {0, 2, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0},
       {1, 2, 0}, {1, 1, 1}},
      // scale, then translation, then offset, then the rotation about the origin
      {"whole chain", {2, 2, 2}, {1, 0, 0}, {0, 0, 90}, {0, 1, 0}, {1, 0, 0}, {-1, 3, 0},
       {2, 2, 2}},
  };
  for (const TransformCase& c : cases) {
    SCOPED_TRACE(c.name);
    store().GLVERT3FSETNUM = 1;
    store().GLVERT3FCOUNT = 0;
    store().GLVERT3FTMPSCALE[1] = c.scale;
    store().GLVERT3FTMP[1] = c.move;
    store().GLVERT3FTMPROTATE[1] = c.rotate;
    store().GLVERT3FTMPPOSROT[1] = c.posrot;
    V::GLBEGIN(GL_POINTS);
    V::GLVERTEX3F(c.in.X, c.in.Y, c.in.Z);
    V::GLEND();
    EXPECT_EQ(store().GLVERT3FCOUNT, 1);
    expect_vec(store().GLVERT3FOFFSET[1], c.in);
    expect_vec(store().GLVERT3F[1], c.out, 1e-6f);
    expect_vec(store().GLVERT3FTMPSCALE[1], c.scale_after);
  }
}

TEST_F(CaptureStore, SlotsOutsideTheStoreRecordNothing) {
  // No slots requested: the slot stays 0.
  V::GLBEGIN(GL_POINTS);
  V::GLVERTEX3F(4, 5, 6);
  V::GLEND();
  EXPECT_EQ(store().GLVERT3FCOUNT, 0);
  expect_vec(store().GLVERT3FOFFSET[1], {0, 0, 0});
  expect_vec(store().GLVERT3FTMPSCALE[1], {0, 0, 0});

  // A counter the application left beyond the store's last slot.
  store().GLVERT3FSETNUM = 20000;
  store().GLVERT3FCOUNT = 10000;
  V::GLBEGIN(GL_POINTS);
  V::GLVERTEX3F(4, 5, 6);
  V::GLEND();
  EXPECT_EQ(store().GLVERT3FCOUNT, 10001);
  expect_vec(store().GLVERT3FOFFSET[10000], {0, 0, 0});
}

TEST_F(CaptureStore, EditModeOffRecordsNothing) {
  V::GLVERT3FENABLEEDIT = false;
  store().GLVERT3FSETNUM = 5;
  V::GLBEGIN(GL_LINES);
  V::GLVERTEX3F(1, 2, 3);
  V::GLVERTEX3F(4, 5, 6);
  V::GLEND();
  EXPECT_EQ(store().GLVERT3FCOUNT, 0);
  EXPECT_EQ(store().GLVERT3FMAX, 5);
  expect_vec(store().GLVERT3FOFFSET[1], {0, 0, 0});
  expect_vec(store().GLVERT3F[1], {0, 0, 0});
  expect_vec(store().GLVERT3FTMPSCALE[1], {0, 0, 0});
}

}  // namespace
