// The library's begin/vertex/end entry points. With both switches off they are
// glBegin, glVertex3f and glEnd. In edit mode each vertex takes the next slot of
// the capture store, is scaled, translated and rotated by that slot's transform
// and recorded before and after; with suppression on nothing of begin, end or
// the vertices reaches OpenGL.
#include "Velmora.h"

namespace Velmora {

TGLVERTEX3F GLBASEVERTEX3F;
bool GLVERT3FENABLEEDIT = false;
bool GLVERT3FREMOVE = false;

void GLBEGIN(GLenum MODE) {
  if (!GLVERT3FREMOVE) glBegin(MODE);
  // The limit is refreshed by every block, suppressed or not; the counter is not reset.
  GLBASEVERTEX3F.GLVERT3FMAX = GLBASEVERTEX3F.GLVERT3FSETNUM;
}

void GLEND() {
  if (!GLVERT3FREMOVE) glEnd();
}

void GLVERTEX3F(float X, float Y, float Z) {
  if (!GLVERT3FENABLEEDIT) {
    if (!GLVERT3FREMOVE) glVertex3f(X, Y, Z);
    return;
  }

  TGLVERTEX3F& S = GLBASEVERTEX3F;
  // Slots are handed out in order until the limit; then the last one is reused.
  if (S.GLVERT3FCOUNT < S.GLVERT3FMAX) S.GLVERT3FCOUNT = S.GLVERT3FCOUNT + 1;
  const long k = S.GLVERT3FCOUNT;

  // A slot outside the store (no slots requested, or a counter set out of
  // range by the application) records nothing: the vertex passes unchanged.
  if (k < S.GLVERT3F.low || k > S.GLVERT3F.high) {
    if (!GLVERT3FREMOVE) glVertex3f(X, Y, Z);
    return;
  }

  S.GLVERT3FOFFSET[k] = TGLVECTOR{X, Y, Z};

  TGLVECTOR& SCALE = S.GLVERT3FTMPSCALE[k];
  if (SCALE.X == 0.0f && SCALE.Y == 0.0f && SCALE.Z == 0.0f) SCALE = TGLVECTOR{1.0f, 1.0f, 1.0f};

  const TGLVECTOR& MOVE = S.GLVERT3FTMP[k];
  TGLVECTOR& OUT = S.GLVERT3F[k];
  OUT.X = static_cast<float>(static_cast<double>(SCALE.X) * X + MOVE.X);
  OUT.Y = static_cast<float>(static_cast<double>(SCALE.Y) * Y + MOVE.Y);
  OUT.Z = static_cast<float>(static_cast<double>(SCALE.Z) * Z + MOVE.Z);

  // The rotation turns about the origin; the offset places the point relative to it.
  const TGLVECTOR& POSROT = S.GLVERT3FTMPPOSROT[k];
  const TGLVECTOR T{POSROT.X + OUT.X, POSROT.Y + OUT.Y, POSROT.Z + OUT.Z};
  OUT = MATRIXVECROT(T, MATRIXEULERRAD(S.GLVERT3FTMPROTATE[k]));

  if (!GLVERT3FREMOVE) glVertex3f(OUT.X, OUT.Y, OUT.Z);
}

}  // namespace Velmora
