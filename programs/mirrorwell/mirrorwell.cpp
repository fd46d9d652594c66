// mirrorwell: the stencil and water demonstration. A circular stone well sunk
// into a tiled floor, seen from above: the opening holds a rippling water
// surface that mirrors a cloud picture; the well's inside shows only through
// the opening, the floor and the low rim only around it. The mouse orbits
// (left drag) and zooms (right drag) the view.
#include "skeleton.h"

#include "Velmora.h"

#include <cstdio>
#include <string>

using namespace Velmora;

namespace {

// Display lists, built once.
GLuint STENCIL;  // the mask: the opening's disc, radius 2.5 at z = 0
GLuint MURO;     // inner wall (z = -6..2) and bottom (z = -6), stones
GLuint MURO2;    // the rim above the floor (z = 0..2), stones
GLuint SUOLO;    // the floor, 20 by 20 at z = 0, tiles

void OPENGL_TEXTURE() { TEXTUREWATER("nubi.bmp", 0); }

void OPENGL_CREATELIST() {
  OPENGL_TEXTURE();
  INITTEXT(0, 0, 0, 0);

  STENCIL = glGenLists(1);
  glNewList(STENCIL, GL_COMPILE);
  DISCO(0, 0, 0, 20, 2.5f);
  glEndList();

  // The textured lists record their texture's image and bind it when called.
  MURO = glGenLists(1);
  glNewList(MURO, GL_COMPILE);
  TEXTURELOAD("pietre.bmp");
  SUPPORTOASSE(0, 0, -2, 26, 2.4f, 3, 8);
  DISCO(0, 0, -6, 20, 2.5f);
  glEndList();

  MURO2 = glGenLists(1);
  glNewList(MURO2, GL_COMPILE);
  TEXTURELOAD("pietre.bmp");
  SUPPORTOASSE(0, 0, 1, 26, 2.4f, 3, 2);
  glEndList();

  // One quad; the floor picture repeats 8 times along each side.
  SUOLO = glGenLists(1);
  glNewList(SUOLO, GL_COMPILE);
  TEXTURELOAD("floor09.bmp");
  GLBEGIN(GL_QUADS);
  glNormal3f(0, 0, 1);
  LINEFREE(0, 0, 8, 0, 10, -10, 0, 10, 10, 0, true);
  LINEFREE(8, 8, 0, 8, -10, 10, 0, -10, -10, 0, true);
  GLEND();
  glEndList();
}

void OPENGL_DRAW2D() {
  OPENGL_I2D(0, 0, 0, 0);
  PUTGLPOINTLIGHT(GL_LIGHT0, static_cast<float>(WIDTH / 2.0), 0, -400,
                  static_cast<float>(HEIGHT / 2.0), 0.1f);
  OPENGL_INIT(1000, 0, 0, 0, 0);
}

void OPENGL_MOUSE2D() {}
void OPENGL_KEYBOARD() {}

void OPENGL_DRAW() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  OPENGL_DRAW2D();
  OPENGL_MOUSE2D();
  OPENGL_KEYBOARD();

  // The fixed view, 9 units away and 60 degrees above the floor, then the
  // mouse camera: shift by -DEPTH along y, XROT about x, YROT about z.
  glTranslatef(0, -0.5f, -9);
  glRotatef(30, -1, 0, 0);
  SETGLMOUSEMOVE(1, 2);
  PUTGLPOINTLIGHT(GL_LIGHT0, 2, 8, -8, 12, 0.7f);
  glEnable(GL_LIGHTING);
  glPushMatrix();

  // Inside the opening only: the wall and bottom, and the water over them.
  // The stencil set-up clears colour and depth, the light's marker with them.
  FX_STENCILBEGIN(0, 0, 0, STENCIL, 0);
  glCallList(MURO);
  glRotatef(90, 1, 0, 0);  // the water grid's XZ plane becomes the floor plane
  SETGLSPRITE(false);
  EFFECTREALWATER();
  CREATEWATER(63, 0, 0, 0, 3, 3, 5, 0.96f, true, false, 0);
  EFFECTREALWATEROFF();
  SETGLSPRITEOFF();

  // Outside the opening only: the rim and the floor.
  FX_STENCILEND();
  glCallList(MURO2);
  glPopMatrix();
  glDisable(GL_BLEND);
  glCallList(SUOLO);
  glEnable(GL_BLEND);
}

// The trace line: the mouse camera's XROT, YROT and DEPTH.
std::string state_line() {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.9g %.9g %.9g", XROT, YROT, DEPTH);
  return buf;
}

}  // namespace

int main() {
  return skeleton::run({"Esempio di stencil", OPENGL_CREATELIST, OPENGL_DRAW, state_line});
}
