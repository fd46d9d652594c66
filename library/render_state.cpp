// Ready-made render states: back-face culling, additive sprite blending and its
// reversal, smooth shading, texturing on and off, and a light with its colours,
// position and an optional marker point. Each routine is a fixed sequence of
// OpenGL calls; only LIGHTPOSITION is kept here.
#include "Velmora.h"

#include <cmath>

namespace Velmora {

// The homogeneous position last handed to glLightfv by the two light routines.
Array<float, 0, 3> LIGHTPOSITION;

void SETGLREFRACTIVE() {
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  // The water and the scene expect smooth shading to stay in force.
  glShadeModel(GL_SMOOTH);
}

void SETGLSPRITE(bool LIGHT) {
  // Without LIGHT the blend function in force is kept.
  if (LIGHT) glBlendFunc(GL_ONE, GL_ONE);
  glEnable(GL_BLEND);
  glDepthMask(GL_FALSE);  // still depth-tested, but writes no depth
}

void SETGLSPRITEOFF() {
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  // The blend function is left as it is.
}

void SETGLSMOOTH() { glShadeModel(GL_SMOOTH); }

// Called as the water's reflection texturing goes on: smooth shading stays.
void SETGLHISMOOTH() { glShadeModel(GL_SMOOTH); }

void TEXTUREON() { glEnable(GL_TEXTURE_2D); }

void TEXTUREOFF() { glDisable(GL_TEXTURE_2D); }

void SETGLLIGHT(uint32_t NLIGHT, float L0, float L1, float L2, float L3) {
  glEnable(GL_LIGHTING);
  glLightfv(NLIGHT, GL_AMBIENT, AMBIENTLIGHT.data());
  glLightfv(NLIGHT, GL_DIFFUSE, DIFFUSELIGHT.data());
  glLightfv(NLIGHT, GL_SPECULAR, SPECULARLIGHT.data());
  glEnable(NLIGHT);
  LIGHTPOSITION[0] = L0;
  LIGHTPOSITION[1] = L1;
  LIGHTPOSITION[2] = L2;
  LIGHTPOSITION[3] = L3;
  // Transformed by the modelview matrix in force now.
  glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION.data());
}

void PUTGLPOINTLIGHT(uint32_t NLIGHT, float SIZE, float LX, float LY, float LZ, float LVAL) {
  LIGHTPOSITION[0] = LX;
  LIGHTPOSITION[1] = LY;
  LIGHTPOSITION[2] = LZ;
  LIGHTPOSITION[3] = LVAL;
  glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION.data());

  // A size of 0 (or NaN) only moves the light.
  if (SIZE == 0.0f || std::isnan(SIZE)) return;

  // The marker stands at (LX, LY, LZ) itself, not divided by LVAL.
  glPointSize(SIZE);
  GLBEGIN(GL_POINTS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  GLVERTEX3F(LX, LY, LZ);
  GLEND();
}

}  // namespace Velmora
