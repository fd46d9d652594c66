// The animated water surface: a damped height field stepped once per call,
// rebuilt into vertices and normals, drawn as quad strips and disturbed at one
// random node, plus the sphere-map switch that makes it reflect its texture.
//
// Arithmetic runs in double from the stored singles; every stored result is
// rounded to single.
#include "Velmora.h"

#include <cmath>
#include <random>

namespace Velmora {

TGLWATERTABLE WATER00;

TGLWATER& TGLWATERTABLE::operator[](long NUM) {
  if (NUM < low || NUM > high) vlmr::range_error(NUM, low, high);
  std::unique_ptr<TGLWATER>& slot = slots_[NUM - low];
  // A slot is about 2.9 MB: reserve it on first use, value-initialised (zero).
  if (!slot) slot = std::make_unique<TGLWATER>();
  return *slot;
}

bool TGLWATERTABLE::reserved(long NUM) const {
  if (NUM < low || NUM > high) vlmr::range_error(NUM, low, high);
  return slots_[NUM - low] != nullptr;
}

namespace {

static_assert(sizeof(TGLVECTOR) == 3 * sizeof(GLfloat), "TGLVECTOR is handed to glVertex3fv");

// Uniform integers in 0..n-1, never seeded: every run draws the same sequence.
// A range of zero (or less) draws 0.
int32_t random_below(int32_t n) {
  static std::mt19937 generator;
  if (n <= 0) return 0;
  return std::uniform_int_distribution<int32_t>(0, n - 1)(generator);
}

// Damped neighbour averaging over the simulated area 2..G-2; the outer two
// rings of nodes on each side never move.
void step_heights(TGLWATER& w, int32_t g) {
  auto& P = w.POSW;
  auto& V = w.VELW;
  for (int32_t i = 2; i <= g - 2; ++i)
    for (int32_t l = 2; l <= g - 2; ++l) {
      const double edges = static_cast<double>(P[i + 1][l]) + P[i - 1][l] + P[i][l - 1] +
                           P[i][l + 1];
      const double corners = static_cast<double>(P[i - 1][l - 1]) + P[i + 1][l - 1] +
                             P[i - 1][l + 1] + P[i + 1][l + 1];
      V[i][l] = static_cast<float>(V[i][l] + (P[i][l] - (4.0 * edges + corners) / 25.0) / 7.0);
    }
  for (int32_t i = 2; i <= g - 2; ++i)
    for (int32_t l = 2; l <= g - 2; ++l) {
      P[i][l] = static_cast<float>(static_cast<double>(P[i][l]) - V[i][l]);
      V[i][l] = static_cast<float>(static_cast<double>(w.VISCOSITYW) * V[i][l]);
    }
}

// The grid is 5 units wide on X and Z, centred on (-PX, -PY, -PZ); a height of
// 1024*G/3 becomes one unit of Y. G = 0 divides 0 by 0 here: a run-time error.
void build_vertices(TGLWATER& w, int32_t g) {
  const double size = g;
  const double half = size / 2.0;
  for (int32_t i = 0; i <= g; ++i)
    for (int32_t l = 0; l <= g; ++l) {
      TGLVECTOR& v = w.VERTW[i][l];
      v.X = static_cast<float>(vlmr::checked_div(i - half, size) * 5.0 - w.PX);
      v.Y = static_cast<float>(vlmr::checked_div(w.POSW[i][l] / 1024.0, size) * 3.0 - w.PY);
      v.Z = static_cast<float>(vlmr::checked_div(l - half, size) * 5.0 - w.PZ);
    }
}

// Inner normals from the height differences (pointing down, (0,-1,0) where
// flat); the outer ring gets (0,1,0). The offsets PX, PY, PZ move the grid but
// do not act on the normals: a normal is a direction, so every inner normal
// is the plain unit vector whatever the offsets.
void build_normals(TGLWATER& w, int32_t g) {
  const auto& P = w.POSW;
  for (int32_t i = 0; i <= g; ++i)
    for (int32_t l = 0; l <= g; ++l) {
      TGLVECTOR& out = w.NORMW[i][l];
      if (i > 0 && i < g && l > 0 && l < g) {
        TGLVECTOR n{static_cast<float>(static_cast<double>(P[i + 1][l]) - P[i - 1][l]), -2048.0f,
                    static_cast<float>(static_cast<double>(P[i][l + 1]) - P[i][l - 1])};
        const double x = n.X, y = n.Y, z = n.Z;
        const float len = static_cast<float>(std::sqrt(x * x + y * y + z * z));
        if (len != 0.0f) n = {static_cast<float>(x / len), static_cast<float>(y / len),
                              static_cast<float>(z / len)};
        out = n;
      } else {
        out = {0.0f, 1.0f, 0.0f};
      }
    }
}

// Sets the velocity of one random node so the surface never settles; applied
// after drawing, it shows from the next call on.
void CREATEWAVE(int32_t I, int32_t L, int32_t RND, int32_t NUM) {
  TGLWATER& w = WATER00[NUM];
  const int32_t g = w.GRIDSIZE;
  const int32_t row = vlmr::checked_sub(
      vlmr::checked_add(random_below(vlmr::checked_sub(g, I)), I), 1);
  const int32_t column = vlmr::checked_sub(
      vlmr::checked_add(random_below(vlmr::checked_sub(g, L)), L), 1);
  w.VELW[row][column] = static_cast<float>(vlmr::checked_sub(1060, random_below(RND)));
}

}  // namespace

void CREATEWATER(int32_t GRIDSIZE, float PX, float PY, float PZ, int32_t WXZ, int32_t WH,
                 int32_t WRND, float VISCOSITY, bool ALPHA, bool SKYREFLECT, int32_t NUM) {
  TGLWATER& w = WATER00[NUM];
  w.GRIDSIZE = GRIDSIZE;
  w.PX = PX;
  w.PY = PY;
  w.PZ = PZ;
  w.VISCOSITYW = VISCOSITY;
  const int32_t g = w.GRIDSIZE;

  step_heights(w, g);
  build_vertices(w, g);
  build_normals(w, g);

  glBindTexture(GL_TEXTURE_2D, SKYREFLECT ? TEXTURE_SKY3 : TEXTURE_WATER[NUM]);
  if (ALPHA)
    glEnable(GL_BLEND);
  else
    glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);  // both sides of the surface show
  PUTMATRIX(g, 0.0f, 0.0f, 0.0f, NUM);
  glEnable(GL_CULL_FACE);
  if (ALPHA) glDisable(GL_BLEND);

  CREATEWAVE(WXZ, WH, WRND, NUM);
  SETGLSMOOTH();
}

// One quad strip per value of the second node index, joining node columns I
// and I+1; the grey colour only shows where lighting is off.
void PUTMATRIX(int32_t GRIDSIZE, float X, float Y, float Z, int32_t NUM) {
  glTranslatef(X, Y, Z);
  const double size = GRIDSIZE;
  for (int32_t i = 0; i <= GRIDSIZE - 1; ++i) {
    const float grey = static_cast<float>(i / 100.0);
    glColor3f(grey, grey, grey);
    GLBEGIN(GL_QUAD_STRIP);
    const float t_next = static_cast<float>((i + 1) / size);
    const float t_this = static_cast<float>(i / size);
    for (int32_t l = 0; l <= GRIDSIZE; ++l) {
      const float s = static_cast<float>(l / size);
      LINEV(s, t_next, s, t_this, l, i + 1, l, i, NUM);
    }
    GLEND();
  }
  glTranslatef(-X, -Y, -Z);
}

// Vertices go straight to OpenGL, not through the vertex capture.
void LINEV(float TX1, float TY1, float TX2, float TY2, int32_t A1, int32_t B1, int32_t A2,
           int32_t B2, int32_t NUM) {
  TGLWATER& w = WATER00[NUM];
  glTexCoord2f(TX1, TY1);
  glNormal3fv(&w.NORMW[A1][B1].X);
  glVertex3fv(&w.VERTW[A1][B1].X);
  glTexCoord2f(TX2, TY2);
  glNormal3fv(&w.NORMW[A2][B2].X);
  glVertex3fv(&w.VERTW[A2][B2].X);
}

// Sphere-mapped S and T (R on reflection mapping) so the bound texture looks
// mirrored by the moving surface.
void EFFECTREALWATER() {
  SETGLHISMOOTH();
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
  glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
  glTexGenf(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGenf(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
  glEnable(GL_TEXTURE_GEN_R);
}

// Generation off; the modes stay as EFFECTREALWATER set them.
void EFFECTREALWATEROFF() {
  SETGLSMOOTH();
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glDisable(GL_TEXTURE_GEN_R);
}

}  // namespace Velmora
