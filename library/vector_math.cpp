// Vector and matrix helpers: vectors from three numbers, degrees to radians,
// Euler rotation matrices, rotating a vector, and the unit normal of a triangle.
// Geometry is kept in single precision; the intermediate arithmetic runs in
// double and only the values named below are rounded to single.
#include "Velmora.h"

#include <cmath>
#include <numbers>

namespace Velmora {

// The unit normal of the latest FINDNORMAL call, [1] = X, [2] = Y, [3] = Z.
Array<double, 1, 3> FNORMAL;

TGLVECTOR GLVECTOR(double X, double Y, double Z) {
  return TGLVECTOR{static_cast<float>(X), static_cast<float>(Y), static_cast<float>(Z)};
}

float DEGTORAD(float DEGREE) {
  // Multiply by pi first, then divide by 180; only the quotient is single.
  return static_cast<float>(static_cast<double>(DEGREE) * std::numbers::pi / 180.0);
}

// ANG holds roll (about x), pitch (about y) and yaw (about z) in radians. Row i
// of the result is column i of Rz(yaw)·Ry(pitch)·Rx(roll).
TGLBASEMATRIX MATRIXEULERDEG(const TGLVECTOR& ANG) {
  const float CR = static_cast<float>(std::cos(static_cast<double>(ANG.X)));
  const float SR = static_cast<float>(std::sin(static_cast<double>(ANG.X)));
  const float CP = static_cast<float>(std::cos(static_cast<double>(ANG.Y)));
  const float SP = static_cast<float>(std::sin(static_cast<double>(ANG.Y)));
  const float CY = static_cast<float>(std::cos(static_cast<double>(ANG.Z)));
  const float SY = static_cast<float>(std::sin(static_cast<double>(ANG.Z)));
  auto single = [](double v) { return static_cast<float>(v); };

  TGLBASEMATRIX M;
  M[0][0] = single(static_cast<double>(CY) * CP);
  M[0][1] = single(static_cast<double>(SY) * CP);
  M[0][2] = -SP;
  if (M[0][2] == 0.0f) M[0][2] = 0.0f;  // never keep a negative zero here

  const float SRSP = single(static_cast<double>(SP) * SR);
  const float CRSP = single(static_cast<double>(SP) * CR);

  M[1][0] = single(static_cast<double>(CY) * SRSP - static_cast<double>(SY) * CR);
  M[1][1] = single(static_cast<double>(SY) * SRSP + static_cast<double>(CY) * CR);
  M[1][2] = single(static_cast<double>(CP) * SR);

  M[2][0] = single(static_cast<double>(CY) * CRSP + static_cast<double>(SY) * SR);
  M[2][1] = single(static_cast<double>(SY) * CRSP - static_cast<double>(CY) * SR);
  M[2][2] = single(static_cast<double>(CP) * CR);

  // Only the 3 by 3 block is read by anyone; the rest is the identity's.
  M[0][3] = M[1][3] = M[2][3] = 0.0f;
  M[3][0] = M[3][1] = M[3][2] = 0.0f;
  M[3][3] = 1.0f;
  return M;
}

// ANG in degrees.
TGLBASEMATRIX MATRIXEULERRAD(const TGLVECTOR& ANG) {
  TGLVECTOR RAD;
  RAD.X = DEGTORAD(ANG.X);
  RAD.Y = DEGTORAD(ANG.Y);
  RAD.Z = DEGTORAD(ANG.Z);
  return MATRIXEULERDEG(RAD);
}

TGLVECTOR MATRIXVECROT(const TGLVECTOR& VEC, const TGLBASEMATRIX& ANG) {
  const double vx = VEC.X, vy = VEC.Y, vz = VEC.Z;
  TGLVECTOR R;
  R.X = static_cast<float>(ANG[0][0] * vx + ANG[1][0] * vy + ANG[2][0] * vz);
  R.Y = static_cast<float>(ANG[0][1] * vx + ANG[1][1] * vy + ANG[2][1] * vz);
  R.Z = static_cast<float>(ANG[0][2] * vx + ANG[1][2] * vy + ANG[2][2] * vz);
  return R;
}

namespace {

// Scales (X, Y, Z) to unit length. The length is held in single precision, so
// the result is a unit vector only to single accuracy; a zero vector stays zero.
void REDUCETOUNIT(double& X, double& Y, double& Z) {
  float LENGTH = static_cast<float>(std::sqrt(X * X + Y * Y + Z * Z));
  if (LENGTH == 0.0f) LENGTH = 1.0f;
  X = X / LENGTH;
  Y = Y / LENGTH;
  Z = Z / LENGTH;
}

}  // namespace

// The unit normal of the triangle V1, V2, V3 into FNORMAL: it points to the side
// from which the three points run counter-clockwise.
void FINDNORMAL(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z,
                double V3X, double V3Y, double V3Z) {
  Array<double, 1, 3> A;
  Array<double, 1, 3> B;
  A[X] = V1X - V2X;
  A[Y] = V1Y - V2Y;
  A[Z] = V1Z - V2Z;
  B[X] = V2X - V3X;
  B[Y] = V2Y - V3Y;
  B[Z] = V2Z - V3Z;
  FNORMAL[X] = B[Z] * A[Y] - B[Y] * A[Z];
  FNORMAL[Y] = B[X] * A[Z] - B[Z] * A[X];
  FNORMAL[Z] = B[Y] * A[X] - B[X] * A[Y];
  REDUCETOUNIT(FNORMAL[X], FNORMAL[Y], FNORMAL[Z]);
}

}  // namespace Velmora
