// boxshot: the bounding-box collision demonstration. A row of eleven small
// cubes (the bullets) flies away from the viewer into a frame of bars and
// pillars, a back wall, a side block and a far wall; a bullet whose centre
// enters one of the eight blocks' bounding boxes is sent back to depth 12 and
// flies again. W, S, A, D move the row; V shows or hides the boxes.
#include "skeleton.h"

#include "VLMR_Collision.h"
#include "Velmora.h"

#include <cstdio>
#include <string>

using namespace Velmora;
using namespace VLMR_Collision;

namespace {

int32_t I;
int32_t TEXTX, TEXTY;
vlmr::Array<int32_t, 1, 3> TIMER;  // TIMER[1]: frames for which V has been held
bool VIEWBOX;
vlmr::Array<TGLVECTOR, 0, 10> BULLETPOS;   // each bullet's centre
vlmr::Array<TGLVECTOR, 0, 10> BULLETMOVE;  // each bullet's offset from (I, 3, 6)
float DIFBOX;

// The eight blocks: CUBO centre and half-extents. Each block's collision
// entry has the same index and is the block pushed out by DIFBOX.
struct Block {
  float x, y, z, sx, sy, sz;
};
constexpr Block kBlocks[8] = {
    {3, 0.75f, 0.5f, 3, 0.75f, 0.5f},    // low bar
    {5, 5.25f, 0.5f, 5, 0.75f, 0.5f},    // top bar
    {1, 3, 0.5f, 1, 1.5f, 0.5f},         // left pillar
    {5, 3, 0.5f, 1, 1.5f, 0.5f},         // middle pillar
    {9.5f, 2.25f, 0.5f, 0.5f, 2.25f, 0.5f},  // right pillar
    {5, 3, -5.5f, 5, 3, 0.5f},           // wall behind the frame
    {-5, 3, 3.5f, 1, 3, 0.5f},           // side block
    {2, 4, -13.5f, 12, 4, 0.5f},         // far wall
};

void OPENGL_TEXTURE() {}  // boxshot loads no texture

void OPENGL_CREATELIST() {
  OPENGL_TEXTURE();
  INITTEXT(0, 0, 0, 0);
}

void OPENGL_DRAW2D() {
  TEXTX = -395;
  TEXTY = 255;
  skeleton::help_overlay(TEXTX, TEXTY, "V mostra / nascondi aree collisione",
                         "A D muovi proiettili in orizontale",
                         "W S muovi proiettili in verticale");
}

void OPENGL_MOUSE2D() {}
void OPENGL_KEYBOARD() {}

// The steps are extended-precision constants; each sum is rounded to single.
float step(float value, long double by) { return static_cast<float>(value + by); }

void OPENGL_DRAW() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  OPENGL_DRAW2D();
  OPENGL_MOUSE2D();
  OPENGL_KEYBOARD();

  glTranslatef(0, -5, -40);
  glRotatef(40, 1, 0, 0);
  glRotatef(10, 0, 1, 0);
  PUTGLPOINTLIGHT(GL_LIGHT0, 2, 6, 6, 12, 0.7f);
  DIFBOX = 0.15f;

  for (I = 0; I <= 10; ++I) {
    TGLVECTOR& move = BULLETMOVE[I];
    if (SETGLKEY('W')) move.Y = step(move.Y, 0.3L);
    if (SETGLKEY('S')) move.Y = step(move.Y, -0.3L);
    if (SETGLKEY('D')) move.X = step(move.X, 0.3L);
    if (SETGLKEY('A')) move.X = step(move.X, -0.3L);
    // A bullet advances only if last frame's position was in no box.
    if (COLLISIONBOUNDINGBOX(7, BULLETPOS[I]) == -1) move.Z = step(move.Z, -0.1L);
    BULLETPOS[I] = {static_cast<float>(I + move.X), static_cast<float>(3 + move.Y),
                    static_cast<float>(6 + move.Z)};
    glDisable(GL_LIGHTING);
    glColor3f(0.4f, 0.4f, 0.4f);
    // A hit: drawn where it hit this frame, starts again at depth 12 next.
    if (COLLISIONBOUNDINGBOX(7, BULLETPOS[I]) != -1) move.Z = 6;
    CUBO(BULLETPOS[I].X, BULLETPOS[I].Y, BULLETPOS[I].Z, 0.2f, 0.2f, 0.2f);
    glColor3f(9.5f, 9.5f, 9.5f);
    glEnable(GL_LIGHTING);
  }

  for (int32_t n = 0; n <= 7; ++n) {
    const Block& b = kBlocks[n];
    SETBOUNDINGBOX(b.x - b.sx - DIFBOX, b.y - b.sy - DIFBOX, b.z - b.sz - DIFBOX,
                   DIFBOX + (b.x + b.sx), DIFBOX + (b.y + b.sy), DIFBOX + (b.z + b.sz), n);
  }
  if (VIEWBOX) DRAWBOUNDINGBOX();
  for (const Block& b : kBlocks) CUBO(b.x, b.y, b.z, b.sx, b.sy, b.sz);

  // V toggles the boxes on the 3rd frame it is held, then every 10 frames.
  if (SETGLKEY('V')) {
    TIMER[1] += 1;
    if (TIMER[1] == 3) VIEWBOX = !VIEWBOX;
    if (TIMER[1] >= 10) TIMER[1] = 0;
  } else {
    TIMER[1] = 0;
  }
}

// The trace line: keys W S A D V held (0/1), VIEWBOX, TIMER[1], then per
// bullet its centre x y z and the first box containing it (-1 for none).
std::string state_line() {
  std::string line;
  char buf[96];
  for (char key : {'W', 'S', 'A', 'D', 'V'}) line += SETGLKEY(key) ? "1 " : "0 ";
  std::snprintf(buf, sizeof buf, "%d %d", VIEWBOX ? 1 : 0, TIMER[1]);
  line += buf;
  for (int32_t n = 0; n <= 10; ++n) {
    const TGLVECTOR& p = BULLETPOS[n];
    std::snprintf(buf, sizeof buf, " %.9g %.9g %.9g %d", p.X, p.Y, p.Z,
                  COLLISIONBOUNDINGBOX(7, p));
    line += buf;
  }
  return line;
}

}  // namespace

int main() {
  return skeleton::run(
      {"Dimostrazione di box collision", OPENGL_CREATELIST, OPENGL_DRAW, state_line});
}
