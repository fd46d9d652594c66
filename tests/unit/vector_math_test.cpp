// Vectors, degree conversion, Euler matrices, vector rotation and triangle normals.
#include "Velmora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

namespace V = Velmora;

TEST(VectorMath, VectorsAndDegreesRoundToSingle) {
  const V::TGLVECTOR v = V::GLVECTOR(0.1, 0.2, 0.3);
  EXPECT_EQ(v.X, 0.1f);
  EXPECT_EQ(v.Y, 0.2f);
  EXPECT_EQ(v.Z, 0.3f);

  EXPECT_EQ(V::DEGTORAD(180.0f), static_cast<float>(std::numbers::pi));
  EXPECT_EQ(V::DEGTORAD(90.0f), static_cast<float>(std::numbers::pi / 2));
  EXPECT_EQ(V::DEGTORAD(-45.0f), static_cast<float>(-std::numbers::pi / 4));
}

TEST(VectorMath, ZeroAnglesGiveIdentityWithoutNegativeZero) {
  const V::TGLBASEMATRIX m = V::MATRIXEULERDEG(V::TGLVECTOR{0, 0, 0});
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(m[i][j], i == j ? 1.0f : 0.0f) << i << "," << j;
  // -sin(0) is a negative zero; that element keeps a positive one.
  EXPECT_FALSE(std::signbit(m[0][2]));
  // The same when the pitch itself is a negative zero.
  EXPECT_FALSE(std::signbit(V::MATRIXEULERDEG(V::TGLVECTOR{0.5f, -0.0f, 0.25f})[0][2]));
}

TEST(VectorMath, RowsHoldTheRotationsColumns) {
  // Yaw 90: R maps x to y, so R[1][0] = 1 and it is stored at [0][1].
  const V::TGLBASEMATRIX m = V::MATRIXEULERRAD(V::TGLVECTOR{0, 0, 90});
  EXPECT_NEAR(m[0][1], 1.0f, 1e-7);
  EXPECT_NEAR(m[1][0], -1.0f, 1e-7);
  EXPECT_NEAR(m[0][0], 0.0f, 1e-7);
  EXPECT_EQ(m[2][2], 1.0f);
}

struct RotationCase {
  V::TGLVECTOR degrees;  // roll, pitch, yaw
  V::TGLVECTOR in;
  V::TGLVECTOR out;
};

TEST(VectorMath, EulerRotationsTurnVectors) {
  const RotationCase cases[] = {
      {{0, 0, 90}, {1, 0, 0}, {0, 1, 0}},     // yaw about z
      {{90, 0, 0}, {0, 1, 0}, {0, 0, 1}},     // roll about x
      {{0, 90, 0}, {1, 0, 0}, {0, 0, -1}},    // pitch about y
      {{90, 0, 90}, {0, 0, 1}, {1, 0, 0}},    // roll first, then yaw
      {{0, 90, 90}, {1, 0, 0}, {0, 0, -1}},   // pitch first, then yaw
      {{0, 0, 180}, {2, 3, 4}, {-2, -3, 4}},
      {{0, 0, 0}, {2, -3, 4}, {2, -3, 4}},
  };
  for (const RotationCase& c : cases) {
    const V::TGLVECTOR r = V::MATRIXVECROT(c.in, V::MATRIXEULERRAD(c.degrees));
    SCOPED_TRACE(::testing::Message() << "angles " << c.degrees.X << "," << c.degrees.Y << ","
                                      << c.degrees.Z);
    EXPECT_NEAR(r.X, c.out.X, 1e-6);
    EXPECT_NEAR(r.Y, c.out.Y, 1e-6);
    EXPECT_NEAR(r.Z, c.out.Z, 1e-6);
  }
}

struct NormalCase {
  double v[9];
  double n[3];
};

TEST(VectorMath, FindNormalWritesUnitNormal) {
  // The length is held in single precision, so a (1, 1, 1) normal is scaled by
  // the single rounding of sqrt(3).
  const double third = 1.0 / static_cast<float>(std::sqrt(3.0));
  const NormalCase cases[] = {
      {{0, 0, 0, 1, 0, 0, 1, 1, 0}, {0, 0, 1}},
      {{0, 0, 0, 1, 1, 0, 1, 0, 0}, {0, 0, -1}},
      {{0, 0, 0, 0, 0, 10, 0, 10, 0}, {-1, 0, 0}},
      {{1, 0, 0, 0, 1, 0, 0, 0, 1}, {third, third, third}},
      {{2, 2, 2, 2, 2, 2, 2, 2, 2}, {0, 0, 0}},  // equal points
      {{0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0}},  // on one line
  };
  for (const NormalCase& c : cases) {
    V::FNORMAL[1] = V::FNORMAL[2] = V::FNORMAL[3] = 99;  // overwritten by every call
    V::FINDNORMAL(c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5], c.v[6], c.v[7], c.v[8]);
    SCOPED_TRACE(::testing::Message() << "V1 " << c.v[0] << "," << c.v[1] << "," << c.v[2]
                                      << " V2 " << c.v[3] << "," << c.v[4] << "," << c.v[5]);
    EXPECT_DOUBLE_EQ(V::FNORMAL[1], c.n[0]);
    EXPECT_DOUBLE_EQ(V::FNORMAL[2], c.n[1]);
    EXPECT_DOUBLE_EQ(V::FNORMAL[3], c.n[2]);
  }
}

}  // namespace
