// Geometry primitives: a line, a textured vertex pair, a textured box, a disc, a
// thick ring and a white wire-frame box. Every vertex goes through GLVERTEX3F and
// every begin/end pair through GLBEGIN/GLEND, so capture and suppression apply;
// normals, texture coordinates, colours and other state go straight to OpenGL.
#include "Velmora.h"

#include <cmath>
#include <numbers>

namespace Velmora {

namespace {

constexpr double PI = std::numbers::pi;

// A point at radius r and angle theta (radians) in the plane z.
struct Polar {
  float x, y, z;
  Polar(double r, double theta, float z_)
      : x(static_cast<float>(r * std::cos(theta))), y(static_cast<float>(r * std::sin(theta))),
        z(z_) {}
};

// Two textured vertices whose texture coordinates are their own x and y.
void flat_pair(const Polar& a, const Polar& b) {
  LINEFREE(a.x, a.y, b.x, b.y, a.x, a.y, a.z, b.x, b.y, b.z, true);
}

// The box's faces: each corner by the signs of its offsets from the centre, and
// each texture coordinate as a pair of picks from {0, SX, SY, SZ}.
enum Extent : uint8_t { NIL, EX, EY, EZ };
struct Corner {
  int8_t x, y, z;
};
struct Face {
  Corner corner[4];
  Extent tex[4][2];
};
constexpr Face CUBE_FACES[6] = {
    // z = Z + SZ
    {{{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}, {{NIL, NIL}, {EX, NIL}, {EX, EY}, {NIL, EY}}},
    // z = Z - SZ
    {{{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
     {{EX, NIL}, {EX, EY}, {NIL, EY}, {NIL, NIL}}},
    // y = Y + SY
    {{{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}, {{NIL, EZ}, {NIL, NIL}, {EX, NIL}, {EX, EZ}}},
    // y = Y - SY
    {{{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
     {{EX, EZ}, {NIL, EZ}, {NIL, NIL}, {EX, NIL}}},
    // x = X + SX
    {{{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}, {{EZ, NIL}, {EZ, EY}, {NIL, EY}, {NIL, NIL}}},
    // x = X - SX
    {{{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
     {{NIL, NIL}, {EZ, NIL}, {EZ, EY}, {NIL, EY}}},
};

}  // namespace

void LINE(float X1, float Y1, float Z1, float X2, float Y2, float Z2) {
  GLBEGIN(GL_LINES);
  GLVERTEX3F(X1, Y1, Z1);
  GLVERTEX3F(X2, Y2, Z2);
  GLEND();
}

// Two vertices inside the caller's begin/end, each optionally with a texture coordinate.
void LINEFREE(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1,
              float X2, float Y2, float Z2, bool TEXTURE) {
  if (TEXTURE) glTexCoord2f(TX1, TY1);
  GLVERTEX3F(X1, Y1, Z1);
  if (TEXTURE) glTexCoord2f(TX2, TY2);
  GLVERTEX3F(X2, Y2, Z2);
}

// A box centred at (X, Y, Z) with half-extents SX, SY, SZ; texture coordinates
// run in units of the half-extents.
void CUBO(float X, float Y, float Z, float SX, float SY, float SZ) {
  const float extent[4] = {0.0f, SX, SY, SZ};
  GLBEGIN(GL_QUADS);
  for (const Face& face : CUBE_FACES) {
    float p[4][3];
    for (int i = 0; i < 4; ++i) {
      const Corner& c = face.corner[i];
      p[i][0] = c.x > 0 ? X + SX : X - SX;
      p[i][1] = c.y > 0 ? Y + SY : Y - SY;
      p[i][2] = c.z > 0 ? Z + SZ : Z - SZ;
    }
    FINDNORMAL(p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[2][0], p[2][1], p[2][2]);
    glNormal3f(static_cast<float>(FNORMAL[1]), static_cast<float>(FNORMAL[2]),
               static_cast<float>(FNORMAL[3]));
    for (int i = 0; i < 4; i += 2) {
      LINEFREE(extent[face.tex[i][0]], extent[face.tex[i][1]], extent[face.tex[i + 1][0]],
               extent[face.tex[i + 1][1]], p[i][0], p[i][1], p[i][2], p[i + 1][0], p[i + 1][1],
               p[i + 1][2], true);
    }
  }
  GLEND();
}

// A triangle-fan disc in the plane z = Z. Each rim vertex carries its own
// position as its normal and its x, y as texture coordinate. Culling is left on.
void DISCO(float X, float Y, float Z, int32_t NUMPOINTS, float R) {
  if (NUMPOINTS == 0) return;  // no angle step: nothing to draw
  glDisable(GL_CULL_FACE);
  GLBEGIN(GL_TRIANGLE_FAN);
  glTexCoord2f(X, Y);
  GLVERTEX3F(X, Y, Z);
  for (int32_t I = 0; I <= NUMPOINTS; ++I) {
    const double ANGLE = 2.0 * PI * I / NUMPOINTS;
    const float px = static_cast<float>(X + R * std::cos(ANGLE));
    const float py = static_cast<float>(Y + R * std::sin(ANGLE));
    glNormal3f(px, py, Z);
    glTexCoord2f(px, py);
    GLVERTEX3F(px, py, Z);
  }
  GLEND();
  glEnable(GL_CULL_FACE);
}

// A ring around the z axis through (X, Y, Z): flat faces between RIN and
// ROUT - 0.15 at z = ±H/2, an outer and an inner wall.
void SUPPORTOASSE(float X, float Y, float Z, int32_t NUMPOINTS, float RIN, float ROUT, float H) {
  if (NUMPOINTS == 0) return;  // no angle step: nothing to draw
  const int32_t T = NUMPOINTS;
  const float R1 = static_cast<float>(ROUT - 0.15);
  const double DA = 2.0 * PI / T / 4.0;
  const float HH = H / 2.0f;

  glPushMatrix();
  glTranslatef(X, Y, Z);

  // Front face.
  glNormal3f(0.0f, 0.0f, 1.0f);
  GLBEGIN(GL_QUAD_STRIP);
  for (int32_t I = 0; I <= T; ++I) {
    const double a = vlmr::checked_mul(2, I) * PI / T;
    flat_pair(Polar(RIN, a + DA / 2, HH), Polar(R1, a, HH));
    flat_pair(Polar(RIN, a + 5 * DA / 2, HH), Polar(R1, a + 3 * DA, HH));
  }
  GLEND();

  // Back face.
  glNormal3f(0.0f, 0.0f, -1.0f);
  GLBEGIN(GL_QUAD_STRIP);
  for (int32_t I = 0; I <= T; ++I) {
    const double a = vlmr::checked_mul(2, I) * PI / T;
    flat_pair(Polar(R1, a, -HH), Polar(RIN, a + DA / 2, -HH));
    flat_pair(Polar(R1, a + 3 * DA, -HH), Polar(RIN, a + 5 * DA / 2, -HH));
  }
  GLEND();

  glShadeModel(GL_SMOOTH);

  // Outer wall; its top edge is turned DA/2 against its bottom edge.
  GLBEGIN(GL_QUAD_STRIP);
  for (int32_t I = 0; I <= T; ++I) {
    const double a = vlmr::checked_mul(2, I) * PI / T;
    glNormal3f(static_cast<float>(R1 * std::cos(a)), static_cast<float>(R1 * std::sin(a)), 0.0f);
    const Polar top(R1, a + DA / 2, HH);
    const Polar bottom(R1, a, -HH);
    LINEFREE(static_cast<float>((HH + a + DA / 2) * R1), HH, static_cast<float>((HH + a) * R1),
             -HH, top.x, top.y, top.z, bottom.x, bottom.y, bottom.z, true);
  }
  GLEND();

  // Inner wall, normals towards the axis.
  GLBEGIN(GL_QUAD_STRIP);
  const int32_t turns = vlmr::checked_mul(2, T);
  for (int32_t J = 0; J <= turns; ++J) {
    const double b = J * PI / T + DA / 2;
    glNormal3f(static_cast<float>(-std::cos(b)), static_cast<float>(-std::sin(b)), 0.0f);
    const float s = static_cast<float>((HH + b) * RIN);
    const Polar bottom(RIN, b, -HH);
    const Polar top(RIN, b, HH);
    LINEFREE(s, -HH, s, HH, bottom.x, bottom.y, bottom.z, top.x, top.y, top.z, true);
  }
  GLEND();

  glPopMatrix();
}

// A white wire box with corners (X1|X2, Y1|Y2, -Z1|-Z2). Line width and colour
// are left at SIZELINE and white.
void DRAWGLVOLUMEOBJ(float SIZELINE, float X1, float Y1, float Z1, float X2, float Y2,
                     float Z2) {
  glLineWidth(SIZELINE);
  glColor3f(1.0f, 1.0f, 1.0f);
  for (const float z : {-Z1, -Z2}) {
    GLBEGIN(GL_LINE_LOOP);
    LINEFREE(0, 0, 0, 0, X1, Y1, z, X2, Y1, z, false);
    LINEFREE(0, 0, 0, 0, X2, Y2, z, X1, Y2, z, false);
    GLEND();
  }
  LINE(X1, Y1, -Z1, X1, Y1, -Z2);
  LINE(X1, Y2, -Z1, X1, Y2, -Z2);
  LINE(X2, Y1, -Z1, X2, Y1, -Z2);
  LINE(X2, Y2, -Z1, X2, Y2, -Z2);
}

}  // namespace Velmora
