// spherezone: the spherical-area detection demonstration. A grid of sample
// points carried by a platform that moves up and down through a sphere of
// radius 15 (not drawn, inside a wire box) is tested point by point: points
// inside are red cubes, points outside green. Keys 1 and 2 show or hide the
// inside and outside points; key 3 switches to a fixed lattice in space.
#include "skeleton.h"

#include "VLMR_Collision.h"
#include "Velmora.h"

#include <cstdio>
#include <string>

using namespace Velmora;
using namespace VLMR_Collision;

namespace {

// The platform: its position and whether it moves towards negative z.
struct TGLELEVATOR {
  TGLVERTEX POS;
  bool INVERT;
};

TGLELEVATOR EPLANE;
int32_t I, L, M;
int32_t TEXTX, TEXTY;
TGLVERTEX P;       // the sample point under test
TGLVERTEX SPHERE;  // centre of the sphere
bool AREAIN = true;     // draw the points inside the sphere
bool AREAOUT = true;    // draw the points outside
bool AREACUBE = false;  // sample the fixed lattice instead of the moving plane
vlmr::Array<int32_t, 1, 3> TIMER;  // hold counters of the keys 1, 2, 3

// One step of the platform. Both tests see the position before the move; in
// between -Z2 and Z1 both fire and the direction is kept, at either end only
// one fires and the direction reverses.
void ELEVATOR(float Z1, float Z2, float VAL) {
  if (EPLANE.POS.Z < Z1) EPLANE.INVERT = !EPLANE.INVERT;
  if (EPLANE.POS.Z > -Z2) EPLANE.INVERT = !EPLANE.INVERT;
  if (EPLANE.INVERT) {
    EPLANE.POS.Z = EPLANE.POS.Z - VAL;
  } else {
    EPLANE.POS.Z = EPLANE.POS.Z + VAL;
  }
}

void OPENGL_TEXTURE() {}  // spherezone loads no texture

void OPENGL_CREATELIST() {
  OPENGL_TEXTURE();
  INITTEXT(0, 0, 0, 0);
}

void OPENGL_DRAW2D() {
  TEXTX = -395;
  TEXTY = 255;
  skeleton::help_overlay(TEXTX, TEXTY, "1 attiva / disattiva area interna",
                         "2 attiva / disattiva area esterna",
                         "3 attiva / disattiva volume sfera");
}

void OPENGL_MOUSE2D() {}
void OPENGL_KEYBOARD() {}

// Tests P and draws its cube at (x, y, z) in the class's colour, if that
// class is shown.
void SAMPLE(float x, float y, float z) {
  const bool inside = POINTINSIDESPHERE(P, SPHERE, 15);
  if (inside) {
    glColor3f(1, 0, 0);
  } else {
    glColor3f(0, 1, 0);
  }
  if (AREAIN && inside) CUBO(x, y, z, 0.2f, 0.2f, 0.2f);
  if (AREAOUT && !inside) CUBO(x, y, z, 0.2f, 0.2f, 0.2f);
}

// A key toggles its flag on the 3rd frame it is held, then every 10 frames.
void TOGGLE_KEY(char key, int32_t counter, bool& flag) {
  if (SETGLKEY(key)) {
    TIMER[counter] += 1;
    if (TIMER[counter] == 3) flag = !flag;
    if (TIMER[counter] >= 10) TIMER[counter] = 0;
  } else {
    TIMER[counter] = 0;
  }
}

void OPENGL_DRAW() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  OPENGL_DRAW2D();
  OPENGL_MOUSE2D();
  OPENGL_KEYBOARD();

  glTranslatef(0, 0, -60);
  glRotatef(45, -1, 0, 0);
  PUTGLPOINTLIGHT(GL_LIGHT0, 2, 6, 6, 12, 20.7f);
  SPHERE = {0, 0, 0};
  DRAWGLVOLUMEOBJ(2, -15, -15, -16, 15, 15, 16);
  ELEVATOR(16, 16, 0.5f);

  glDisable(GL_LIGHTING);
  glPushMatrix();
  if (!AREACUBE) {
    // The plane of points at the platform's height.
    glTranslatef(EPLANE.POS.X, EPLANE.POS.Y, EPLANE.POS.Z);
    for (I = -15; I <= 15; ++I) {
      for (L = -15; L <= 15; ++L) {
        P = {static_cast<float>(I), static_cast<float>(L), EPLANE.POS.Z};
        SAMPLE(static_cast<float>(I), static_cast<float>(L), 0);
      }
    }
  }
  if (AREACUBE) {
    // The fixed lattice, spacing 2.5, covering -15..15 on each axis.
    for (I = -6; I <= 6; ++I) {
      for (L = -6; L <= 6; ++L) {
        for (M = -6; M <= 6; ++M) {
          P = {2.5f * static_cast<float>(I), 2.5f * static_cast<float>(L),
               2.5f * static_cast<float>(M)};
          SAMPLE(P.X, P.Y, P.Z);
        }
      }
    }
  }
  glPopMatrix();
  glEnable(GL_LIGHTING);

  TOGGLE_KEY('1', 1, AREAIN);
  TOGGLE_KEY('2', 2, AREAOUT);
  TOGGLE_KEY('3', 3, AREACUBE);
}

// The trace line: the platform's z and INVERT, AREAIN, AREAOUT, AREACUBE,
// and whether keys 1, 2, 3 are held (0/1).
std::string state_line() {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.9g %d %d %d %d %d %d %d", EPLANE.POS.Z,
                EPLANE.INVERT ? 1 : 0, AREAIN ? 1 : 0, AREAOUT ? 1 : 0, AREACUBE ? 1 : 0,
                SETGLKEY('1') ? 1 : 0, SETGLKEY('2') ? 1 : 0, SETGLKEY('3') ? 1 : 0);
  return buf;
}

}  // namespace

int main() {
  return skeleton::run(
      {"Rilevamento di un area sferica", OPENGL_CREATELIST, OPENGL_DRAW, state_line});
}
