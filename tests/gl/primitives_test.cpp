// What the geometry primitives send to OpenGL: vertices in order (through the
// capture store), normals, texture coordinates and winding (through feedback),
// and the state they leave.
#include "gl_context.h"
#include "gl_feedback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace {

namespace V = Velmora;
using vlmr_test::FedPrimitive;
using vlmr_test::FedVertex;

constexpr float kEps = 1e-4f;

std::array<float, 4> get4(GLenum what) {
  std::array<float, 4> v{};
  glGetFloatv(what, v.data());
  return v;
}

std::array<float, 3> arr(const V::TGLVECTOR& v) { return {v.X, v.Y, v.Z}; }

#define EXPECT_VEC3_NEAR(got, x, y, z, eps) \
  do {                                      \
    EXPECT_NEAR((got)[0], (x), (eps));      \
    EXPECT_NEAR((got)[1], (y), (eps));      \
    EXPECT_NEAR((got)[2], (z), (eps));      \
  } while (0)

class Primitives : public ::testing::Test {
 protected:
  void TearDown() override {
    vlmr_test::stop_recording();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  static const V::TGLVECTOR& recorded(long slot) { return V::GLBASEVERTEX3F.GLVERT3FOFFSET[slot]; }
  static int32_t recorded_count() { return V::GLBASEVERTEX3F.GLVERT3FCOUNT; }

  vlmr_test::GlContext gl;
};

TEST_F(Primitives, LineAndLineFreeSendTheirVerticesAndOptionalTexcoords) {
  auto fed = vlmr_test::feedback(10, [] {
    glTexCoord2f(0.3f, 0.6f);
    V::LINE(1, 2, 3, 4, 5, 6);
    V::GLBEGIN(GL_LINES);
    V::LINEFREE(7, 7, 8, 8, -1, -2, -3, -4, -5, -6, false);  // texcoord untouched
    V::LINEFREE(0.25f, 0.5f, 0.75f, 1, 1, 1, 1, 2, 2, 2, true);
    V::GLEND();
  });
  ASSERT_EQ(fed.size(), 3u);
  const float want[3][2][5] = {
      {{1, 2, 3, 0.3f, 0.6f}, {4, 5, 6, 0.3f, 0.6f}},
      {{-1, -2, -3, 0.3f, 0.6f}, {-4, -5, -6, 0.3f, 0.6f}},
      {{1, 1, 1, 0.25f, 0.5f}, {2, 2, 2, 0.75f, 1}},
  };
  for (int p = 0; p < 3; ++p) {
    ASSERT_EQ(fed[p].v.size(), 2u);
    for (int k = 0; k < 2; ++k) {
      SCOPED_TRACE(::testing::Message() << "segment " << p << " end " << k);
      EXPECT_VEC3_NEAR(fed[p].v[k].pos, want[p][k][0], want[p][k][1], want[p][k][2], kEps);
      EXPECT_NEAR(fed[p].v[k].tex[0], want[p][k][3], 1e-6);
      EXPECT_NEAR(fed[p].v[k].tex[1], want[p][k][4], 1e-6);
    }
  }
}

TEST_F(Primitives, CubeFacesAreOutwardCounterClockwiseAndTexturedInHalfExtents) {
  vlmr_test::record_vertices(true);
  V::CUBO(0, 0, 0, 1, 1, 1);
  ASSERT_EQ(recorded_count(), 24);
  const float first_face[4][3] = {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}};
  for (int k = 0; k < 4; ++k)
    EXPECT_VEC3_NEAR(arr(recorded(k + 1)), first_face[k][0], first_face[k][1], first_face[k][2], 0);
  vlmr_test::stop_recording();

  struct Box {
    float x, y, z, sx, sy, sz;
  };
  for (const Box& b : {Box{0, 0, 0, 1, 1, 1}, Box{0.5f, -1, 2, 1, 2, 3}}) {
    SCOPED_TRACE(::testing::Message() << "half-extents " << b.sx << "," << b.sy << "," << b.sz);
    const auto fed = vlmr_test::probe_normals(8, [&] { V::CUBO(b.x, b.y, b.z, b.sx, b.sy, b.sz); });
    ASSERT_EQ(fed.size(), 12u);  // six quads as triangle pairs
    const float centre[3] = {b.x, b.y, b.z};
    const float half[3] = {b.sx, b.sy, b.sz};
    // The largest texture coordinates of the face whose normal is (axis, sign).
    std::map<std::pair<int, int>, std::array<float, 2>> tex_max;
    for (const FedPrimitive& t : fed) {
      ASSERT_EQ(t.v.size(), 3u);
      const auto& n = t.v[0].normal;
      int axis = 0;
      for (int a = 1; a < 3; ++a)
        if (std::fabs(n[a]) > std::fabs(n[axis])) axis = a;
      const int sign = n[axis] > 0 ? 1 : -1;
      for (const FedVertex& v : t.v) {
        // A unit axis, the same for the whole face, pointing out of the face it lies on.
        for (int a = 0; a < 3; ++a) EXPECT_NEAR(v.normal[a], a == axis ? sign : 0, kEps);
        EXPECT_NEAR(v.pos[axis], centre[axis] + sign * half[axis], kEps);
        auto& m = tex_max[{axis, sign}];
        m[0] = std::max(m[0], v.tex[0]);
        m[1] = std::max(m[1], v.tex[1]);
        EXPECT_GE(std::min(v.tex[0], v.tex[1]), 0.0f);
        if (axis == 2 && sign == 1) {  // the first face: s along x, t along y, from 0
          EXPECT_NEAR(v.tex[0], (v.pos[0] - (b.x - b.sx)) / 2, kEps);
          EXPECT_NEAR(v.tex[1], (v.pos[1] - (b.y - b.sy)) / 2, kEps);
        }
      }
      EXPECT_GT(vlmr_test::dot(vlmr_test::winding_normal(t), n), 0.0f);
    }
    // Texture coordinates run from 0 to a half-extent: the faces across z span
    // SX by SY, those across y SX by SZ, those across x SZ by SY.
    const std::pair<std::pair<int, int>, std::array<float, 2>> spans[] = {
        {{2, 1}, {b.sx, b.sy}}, {{2, -1}, {b.sx, b.sy}}, {{1, 1}, {b.sx, b.sz}},
        {{1, -1}, {b.sx, b.sz}}, {{0, 1}, {b.sz, b.sy}}, {{0, -1}, {b.sz, b.sy}},
    };
    for (const auto& [face, span] : spans) {
      SCOPED_TRACE(::testing::Message() << "face axis " << face.first << " sign " << face.second);
      ASSERT_EQ(tex_max.count(face), 1u);
      EXPECT_NEAR(tex_max[face][0], span[0], kEps);
      EXPECT_NEAR(tex_max[face][1], span[1], kEps);
    }
  }
}

TEST_F(Primitives, CubeWithAFlatSideLeavesAZeroNormal) {
  glNormal3f(5, 5, 5);
  V::CUBO(0, 0, 0, 1, 1, 0);  // the last face collapses onto a line
  EXPECT_VEC3_NEAR(get4(GL_CURRENT_NORMAL), 0, 0, 0, 0);
  V::CUBO(0, 0, 0, 1, 1, 1);
  EXPECT_VEC3_NEAR(get4(GL_CURRENT_NORMAL), -1, 0, 0, 0);
}

TEST_F(Primitives, DiscIsAFanWhoseRimNormalsAreThePositions) {
  struct Disc {
    float x, y, z, r;
  };
  for (const Disc& d : {Disc{0, 0, 0, 1}, Disc{2, 3, 0.5f, 1}}) {
    SCOPED_TRACE(::testing::Message() << "centre " << d.x << "," << d.y << "," << d.z);
    vlmr_test::record_vertices(true);
    V::DISCO(d.x, d.y, d.z, 4, d.r);
    ASSERT_EQ(recorded_count(), 6);
    EXPECT_VEC3_NEAR(arr(recorded(1)), d.x, d.y, d.z, 0);
    const float rim[5][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 0}};
    for (int k = 0; k < 5; ++k)
      EXPECT_VEC3_NEAR(arr(recorded(k + 2)), d.x + d.r * rim[k][0], d.y + d.r * rim[k][1], d.z, 1e-6);
    vlmr_test::stop_recording();

    const auto fed = vlmr_test::probe_normals(8, [&] {
      glNormal3f(0.25f, 0.5f, 0.75f);  // the centre keeps the normal in force
      V::DISCO(d.x, d.y, d.z, 4, d.r);
    });
    ASSERT_EQ(fed.size(), 4u);
    for (size_t i = 0; i < fed.size(); ++i) {
      const FedPrimitive& t = fed[i];
      ASSERT_EQ(t.v.size(), 3u);
      EXPECT_VEC3_NEAR(t.v[0].pos, d.x, d.y, d.z, kEps);
      EXPECT_VEC3_NEAR(t.v[0].normal, 0.25f, 0.5f, 0.75f, kEps);
      EXPECT_NEAR(t.v[0].tex[0], d.x, kEps);
      EXPECT_NEAR(t.v[0].tex[1], d.y, kEps);
      for (int k = 1; k < 3; ++k) {
        const FedVertex& v = t.v[k];
        EXPECT_VEC3_NEAR(v.pos, d.x + d.r * rim[i + k - 1][0], d.y + d.r * rim[i + k - 1][1], d.z,
                         kEps);
        EXPECT_VEC3_NEAR(v.normal, v.pos[0], v.pos[1], v.pos[2], kEps);
        EXPECT_NEAR(v.tex[0], v.pos[0], kEps);
        EXPECT_NEAR(v.tex[1], v.pos[1], kEps);
      }
      EXPECT_GT(vlmr_test::winding_normal(t)[2], 0.0f);  // counter-clockwise from +z
    }
  }
}

TEST_F(Primitives, DiscLeavesCullingOnAndZeroPointsDrawNothing) {
  glDisable(GL_CULL_FACE);
  V::DISCO(0, 0, 0, 4, 1);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_VEC3_NEAR(get4(GL_CURRENT_NORMAL), 1, 0, 0, 1e-6);

  glDisable(GL_CULL_FACE);
  glNormal3f(0, 0, 7);
  const auto fed = vlmr_test::feedback(8, [] {
    V::DISCO(0, 0, 0, 0, 1);
    V::SUPPORTOASSE(0, 0, 0, 0, 1, 2, 1);
  });
  EXPECT_TRUE(fed.empty());
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_VEC3_NEAR(get4(GL_CURRENT_NORMAL), 0, 0, 7, 0);
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
}

TEST_F(Primitives, RingHasFacesWallsAndItsVertexCount) {
  vlmr_test::record_vertices(true);
  V::SUPPORTOASSE(0, 0, -2, 26, 2.4f, 3, 8);
  EXPECT_EQ(recorded_count(), 376);
  vlmr_test::stop_recording();

  const float rin = 2.4f, r1 = 2.85f;
  const auto fed = vlmr_test::probe_normals(8, [] { V::SUPPORTOASSE(0, 0, -2, 26, 2.4f, 3, 8); });
  ASSERT_FALSE(fed.empty());
  float zmin = 1e9f, zmax = -1e9f;
  int front = 0, back = 0, outer = 0, inner = 0;
  for (const FedPrimitive& t : fed) {
    ASSERT_EQ(t.v.size(), 3u);
    bool on_top = true, on_bottom = true, all_outer = true, all_inner = true;
    for (const FedVertex& v : t.v) {
      zmin = std::min(zmin, v.pos[2]);
      zmax = std::max(zmax, v.pos[2]);
      const float radius = std::hypot(v.pos[0], v.pos[1]);
      EXPECT_TRUE(std::fabs(radius - rin) < kEps || std::fabs(radius - r1) < kEps) << radius;
      on_top &= std::fabs(v.pos[2] - 2) < kEps;
      on_bottom &= std::fabs(v.pos[2] + 6) < kEps;
      all_outer &= std::fabs(radius - r1) < kEps;
      all_inner &= std::fabs(radius - rin) < kEps;
    }
    const auto& n = t.v[0].normal;
    const std::array<float, 3> radial{t.v[0].pos[0], t.v[0].pos[1], 0};
    if (on_top) {
      ++front;
      EXPECT_VEC3_NEAR(n, 0, 0, 1, kEps);
    } else if (on_bottom) {
      ++back;
      EXPECT_VEC3_NEAR(n, 0, 0, -1, kEps);
    } else if (all_outer) {
      ++outer;
      EXPECT_NEAR(n[2], 0, kEps);
      EXPECT_NEAR(std::hypot(n[0], n[1]), r1, kEps);  // not of unit length
      EXPECT_GT(vlmr_test::dot(n, radial), 0.0f);
    } else {
      ASSERT_TRUE(all_inner);
      ++inner;
      EXPECT_NEAR(n[2], 0, kEps);
      EXPECT_NEAR(std::hypot(n[0], n[1]), 1, kEps);
      EXPECT_LT(vlmr_test::dot(n, radial), 0.0f);  // towards the axis
    }
    EXPECT_GT(vlmr_test::dot(vlmr_test::winding_normal(t), n), 0.0f);
  }
  EXPECT_NEAR(zmin, -6, kEps);
  EXPECT_NEAR(zmax, 2, kEps);
  // Each strip of V vertices gives V - 2 triangles.
  EXPECT_EQ(front, 4 * 27 - 2);
  EXPECT_EQ(back, 4 * 27 - 2);
  EXPECT_EQ(outer, 2 * 27 - 2);
  EXPECT_EQ(inner, 2 * 53 - 2);
}

TEST_F(Primitives, RingRestoresTheMatrixAndLeavesSmoothShading) {
  glShadeModel(GL_FLAT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  V::SUPPORTOASSE(5, 5, 5, 3, 1, 2, 1);
  const std::array<float, 4> row3 = [] {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    return std::array<float, 4>{m[12], m[13], m[14], m[15]};
  }();
  EXPECT_EQ(row3, (std::array<float, 4>{1, 2, 3, 1}));
  GLint shade = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(shade, GL_SMOOTH);
}

TEST_F(Primitives, WireBoxDrawsTwoLoopsAndFourEdgesInWhite) {
  vlmr_test::record_vertices(true);
  V::DRAWGLVOLUMEOBJ(2, -15, -15, -16, 15, 15, 16);
  ASSERT_EQ(recorded_count(), 16);
  for (long k = 1; k <= 4; ++k) EXPECT_EQ(recorded(k).Z, 16) << k;
  for (long k = 5; k <= 8; ++k) EXPECT_EQ(recorded(k).Z, -16) << k;
  for (long k = 9; k <= 16; k += 2) {
    EXPECT_EQ(recorded(k).Z, 16) << k;
    EXPECT_EQ(recorded(k + 1).Z, -16) << k;
    EXPECT_EQ(recorded(k).X, recorded(k + 1).X) << k;
    EXPECT_EQ(recorded(k).Y, recorded(k + 1).Y) << k;
  }
  vlmr_test::stop_recording();

  glColor3f(1, 0, 0);
  const auto fed = vlmr_test::feedback(32, [] { V::DRAWGLVOLUMEOBJ(2, -15, -15, -16, 15, 15, 16); });
  ASSERT_EQ(fed.size(), 12u);
  int top = 0, bottom = 0, vertical = 0;
  for (const FedPrimitive& s : fed) {
    ASSERT_EQ(s.v.size(), 2u);
    for (const FedVertex& v : s.v) {
      EXPECT_NEAR(std::fabs(v.pos[0]), 15, kEps);
      EXPECT_NEAR(std::fabs(v.pos[1]), 15, kEps);
      EXPECT_EQ(v.colour, (std::array<float, 4>{1, 1, 1, 1}));
    }
    const float z0 = s.v[0].pos[2], z1 = s.v[1].pos[2];
    if (std::fabs(z0 - 16) < kEps && std::fabs(z1 - 16) < kEps) ++top;
    else if (std::fabs(z0 + 16) < kEps && std::fabs(z1 + 16) < kEps) ++bottom;
    else if (std::fabs(z0 - 16) < kEps && std::fabs(z1 + 16) < kEps) ++vertical;
  }
  EXPECT_EQ(top, 4);
  EXPECT_EQ(bottom, 4);
  EXPECT_EQ(vertical, 4);
  EXPECT_EQ(get4(GL_LINE_WIDTH)[0], 2);
  EXPECT_EQ(get4(GL_CURRENT_COLOR), (std::array<float, 4>{1, 1, 1, 1}));
}

// With output suppressed nothing of begin/end or the vertices reaches OpenGL,
// while everything else the routines send still does.
TEST_F(Primitives, SuppressionWithholdsOnlyBeginEndAndVertices) {
  struct Case {
    const char* name;
    std::function<void()> prepare, draw, check;
  };
  const float da = static_cast<float>(std::numbers::pi / 26 / 2);
  const Case cases[] = {
      {"CUBO", [] { glNormal3f(9, 9, 9); }, [] { V::CUBO(0, 0, 0, 1, 2, 3); },
       [] {
         EXPECT_VEC3_NEAR(get4(GL_CURRENT_NORMAL), -1, 0, 0, 0);
         EXPECT_VEC3_NEAR(get4(GL_CURRENT_TEXTURE_COORDS), 0, 2, 0, 0);
       }},
      {"DISCO", [] { glDisable(GL_CULL_FACE); }, [] { V::DISCO(0, 0, 0, 4, 1); },
       [] {
         EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
         EXPECT_VEC3_NEAR(get4(GL_CURRENT_NORMAL), 1, 0, 0, 1e-6);
         EXPECT_VEC3_NEAR(get4(GL_CURRENT_TEXTURE_COORDS), 1, 0, 0, 1e-6);
       }},
      {"SUPPORTOASSE", [] { glShadeModel(GL_FLAT); }, [] { V::SUPPORTOASSE(0, 0, -2, 26, 2.4f, 3, 8); },
       [da] {
         GLint shade = 0;
         glGetIntegerv(GL_SHADE_MODEL, &shade);
         EXPECT_EQ(shade, GL_SMOOTH);
         EXPECT_VEC3_NEAR(get4(GL_CURRENT_NORMAL), -std::cos(da / 2), -std::sin(da / 2), 0, 1e-6);
       }},
      {"DRAWGLVOLUMEOBJ", [] { glColor3f(0, 0, 1); }, [] { V::DRAWGLVOLUMEOBJ(3, 0, 0, 0, 1, 1, 1); },
       [] {
         EXPECT_EQ(get4(GL_LINE_WIDTH)[0], 3);
         EXPECT_EQ(get4(GL_CURRENT_COLOR), (std::array<float, 4>{1, 1, 1, 1}));
       }},
      {"LINEFREE", [] { glTexCoord2f(0, 0); },
       [] {
         V::GLBEGIN(GL_LINES);
         V::LINEFREE(0.5f, 0.25f, 0.75f, 0.125f, 0, 0, 0, 1, 1, 1, true);
         V::GLEND();
       },
       [] { EXPECT_VEC3_NEAR(get4(GL_CURRENT_TEXTURE_COORDS), 0.75f, 0.125f, 0, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool edit : {false, true}) {
      vlmr_test::feedback_setup(8);
      vlmr_test::record_vertices(true);
      V::GLVERT3FENABLEEDIT = edit;
      c.prepare();
      const auto fed = vlmr_test::feedback_run(8, c.draw);
      EXPECT_TRUE(fed.empty()) << "edit mode " << edit;
      EXPECT_EQ(recorded_count() > 0, edit);
      vlmr_test::stop_recording();
      c.check();
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
  }
}

}  // namespace
