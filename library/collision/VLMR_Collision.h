// VLMR_Collision: a fixed table of axis-aligned bounding boxes addressed by
// index, drawn as wire frames for inspection, with point-in-box, first box
// containing a point, and point-in-sphere tests.
#pragma once

#include "Velmora.h"

namespace VLMR_Collision {

using Velmora::TGLVECTOR;
using Velmora::TGLVERTEX;

struct TBOUNDINGBOX {
  TGLVECTOR MIN;
  TGLVECTOR MAX;
};

// The highest valid box index.
constexpr int32_t MAXBOX = 2500;

extern vlmr::Array<TBOUNDINGBOX, 0, MAXBOX> BBARRAY;

void SETBOUNDINGBOX(float X1, float Y1, float Z1, float X2, float Y2, float Z2, int32_t NUM);
void DRAWBOUNDINGBOX();
bool POINTINSIDEBOX(int32_t BOX, const TGLVECTOR& POINT);
// Tests boxes 0..MAXBOX (inclusive) and returns the first containing POINT, or -1.
int32_t COLLISIONBOUNDINGBOX(int32_t MAXBOX, const TGLVECTOR& POINT);
bool POINTINSIDESPHERE(const TGLVERTEX& P, const TGLVERTEX& SPHERE, float RADIUS);

}  // namespace VLMR_Collision
