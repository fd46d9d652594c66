// The mouse-orbit view: turns the camera values kept by the window procedure
// into a translation and two rotations on the current matrix.
#include "Velmora.h"

namespace Velmora {

void SETGLMOUSEMOVE(int32_t XYZ, int32_t SPEED) {
  MSPEED = SPEED;
  const float D = DEPTH;
  switch (XYZ) {
    case 0:
      MY = TGLVERTEX{0, 0, -D};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 1, 0, 0);
      glRotatef(YROT, 0, 1, 0);
      break;
    case GL_MX:
      MY = TGLVERTEX{0, -D, 0};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 1, 0, 0);
      glRotatef(YROT, 0, 0, 1);
      break;
    case GL_MY:
      MY = TGLVERTEX{-D, 0, 0};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 0, 0, -1);
      glRotatef(YROT, 0, 1, 0);
      break;
    case GL_MZ:
      MY = TGLVERTEX{0, 0, -D};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 0, 1, 0);
      glRotatef(YROT, 1, 0, 0);
      break;
    default:
      break;
  }
}

}  // namespace Velmora
