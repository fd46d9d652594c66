// Stencil masking: draw a shape into stencil bit 0, then let drawing pass only
// inside the shape, and after FX_STENCILEND only outside it.
#include "Velmora.h"

namespace Velmora {

Array<GLuint, 0, 600> OBJNAMESTENCIL;

// Leaves the modelview pushed once and translated by (X, Y, Z), so the masked
// drawing is offset like the shape; FX_STENCILEND pops it.
void FX_STENCILBEGIN(float X, float Y, float Z, GLuint STENCIL, int32_t NUM) {
  OBJNAMESTENCIL[NUM] = STENCIL;
  glPushMatrix();
  glEnable(GL_STENCIL_TEST);
  glClear(GL_STENCIL_BUFFER_BIT);
  // The mask is the shape's whole filled coverage: every fragment writes 1,
  // also where it fails the depth test.
  glPolygonMode(GL_FRONT, GL_FILL);
  glPolygonMode(GL_BACK, GL_FILL);
  glStencilFunc(GL_ALWAYS, 1, 1);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glPushMatrix();
  glTranslatef(X, Y, Z);
  glCallList(OBJNAMESTENCIL[NUM]);
  glPopMatrix();
  // The shape's own colour and depth go; the stencil keeps the mask.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glStencilFunc(GL_EQUAL, 1, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glTranslatef(X, Y, Z);
}

// The test stays on, now passing outside the shape; the caller disables
// GL_STENCIL_TEST when it wants unmasked drawing again.
void FX_STENCILEND() {
  glStencilFunc(GL_NOTEQUAL, 1, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glPopMatrix();
}

}  // namespace Velmora
