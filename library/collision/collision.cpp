// The bounding-box table: boxes stored by index, drawn as wire frames, points
// tested against one box or the first box of a range; and a point-in-sphere test.
#include "VLMR_Collision.h"

namespace VLMR_Collision {

using Velmora::GLBEGIN;
using Velmora::GLEND;
using Velmora::GLVERTEX3F;

// Entries 0..MAXBOX, all zero at start; an entry is whatever was last stored.
vlmr::Array<TBOUNDINGBOX, 0, MAXBOX> BBARRAY;

void SETBOUNDINGBOX(float X1, float Y1, float Z1, float X2, float Y2, float Z2, int32_t NUM) {
  TBOUNDINGBOX& b = BBARRAY[NUM];
  b.MIN = TGLVECTOR{X1, Y1, Z1};
  b.MAX = TGLVECTOR{X2, Y2, Z2};
}

void DRAWBOUNDINGBOX() {
  glDisable(GL_LIGHTING);
  for (long I = 0; I <= MAXBOX; ++I) {
    const TBOUNDINGBOX& b = BBARRAY[I];
    const TGLVECTOR& lo = b.MIN;
    const TGLVECTOR& hi = b.MAX;
    glColor3f(0.39f, 0.7f, 0.85f);

    GLBEGIN(GL_LINE_LOOP);  // bottom
    GLVERTEX3F(lo.X, lo.Y, lo.Z);
    GLVERTEX3F(hi.X, lo.Y, lo.Z);
    GLVERTEX3F(hi.X, lo.Y, hi.Z);
    GLVERTEX3F(lo.X, lo.Y, hi.Z);
    GLEND();

    GLBEGIN(GL_LINE_LOOP);  // top
    GLVERTEX3F(lo.X, hi.Y, lo.Z);
    GLVERTEX3F(hi.X, hi.Y, lo.Z);
    GLVERTEX3F(hi.X, hi.Y, hi.Z);
    GLVERTEX3F(lo.X, hi.Y, hi.Z);
    GLEND();

    GLBEGIN(GL_LINES);  // vertical edges
    GLVERTEX3F(lo.X, lo.Y, lo.Z);
    GLVERTEX3F(lo.X, hi.Y, lo.Z);
    GLVERTEX3F(hi.X, lo.Y, lo.Z);
    GLVERTEX3F(hi.X, hi.Y, lo.Z);
    GLVERTEX3F(hi.X, lo.Y, hi.Z);
    GLVERTEX3F(hi.X, hi.Y, hi.Z);
    GLVERTEX3F(lo.X, lo.Y, hi.Z);
    GLVERTEX3F(lo.X, hi.Y, hi.Z);
    GLEND();

    // Above 1 on purpose: clamped to white for the unlit drawing that follows.
    glColor3f(9.5f, 9.5f, 9.5f);
  }
  glEnable(GL_LIGHTING);
}

// Both bounds inclusive; the comparisons run X, Y, Z, each against MAX then MIN.
bool POINTINSIDEBOX(int32_t BOX, const TGLVECTOR& POINT) {
  const TBOUNDINGBOX& b = BBARRAY[BOX];
  if (!(POINT.X <= b.MAX.X)) return false;
  if (!(POINT.X >= b.MIN.X)) return false;
  if (!(POINT.Y <= b.MAX.Y)) return false;
  if (!(POINT.Y >= b.MIN.Y)) return false;
  if (!(POINT.Z <= b.MAX.Z)) return false;
  if (!(POINT.Z >= b.MIN.Z)) return false;
  return true;
}

// The lowest index in 0..MAXBOX whose box holds POINT, or -1.
int32_t COLLISIONBOUNDINGBOX(int32_t MAXBOX, const TGLVECTOR& POINT) {
  for (int32_t I = 0; I <= MAXBOX; ++I) {
    if (POINTINSIDEBOX(I, POINT)) return I;
  }
  return -1;
}

// Strictly inside: a point at exactly RADIUS is outside. Only RADIUS squared counts.
bool POINTINSIDESPHERE(const TGLVERTEX& P, const TGLVERTEX& SPHERE, float RADIUS) {
  const float X = static_cast<float>(static_cast<double>(SPHERE.X) - P.X);
  const float Y = static_cast<float>(static_cast<double>(SPHERE.Y) - P.Y);
  const float Z = static_cast<float>(static_cast<double>(SPHERE.Z) - P.Z);
  const double dx = X, dy = Y, dz = Z, r = RADIUS;
  return dx * dx + dy * dy + dz * dz < r * r;
}

}  // namespace VLMR_Collision
