// Reading back what a drawing routine sent to OpenGL, through feedback mode.
//
// The routine runs under a projection that maps the cube [-S, S]^3 onto the clip
// volume, an identity modelview and no culling, so every vertex inside the cube
// comes back; positions are turned back into object coordinates. Mesa returns
// quads, strips and fans as triangles, in drawing order and keeping their winding.
//
// Normals are not part of feedback; probe_normals recovers them from lighting:
// three directional lights along the axes, each feeding one colour channel, with
// no ambient or specular light, so a channel is a quarter of the positive part of
// one normal component; a second pass with the lights reversed gives the
// negative parts. Normals up to length 4 come back unclamped.
#pragma once

#include "Velmora.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace vlmr_test {

struct FedVertex {
  std::array<float, 3> pos{};     // object coordinates
  std::array<float, 4> colour{};
  std::array<float, 2> tex{};
  std::array<float, 3> normal{};  // filled by probe_normals only
};

struct FedPrimitive {
  GLenum token = 0;  // GL_POINT_TOKEN, GL_LINE_TOKEN, GL_LINE_RESET_TOKEN, GL_POLYGON_TOKEN
  std::vector<FedVertex> v;
};

inline constexpr int kFeedbackViewport = 1024;

// Puts the fixed state the readback relies on: viewport, matrices, no culling,
// no lighting, smooth shading.
inline void feedback_setup(float S) {
  glViewport(0, 0, kFeedbackViewport, kFeedbackViewport);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScalef(1 / S, 1 / S, 1 / S);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glShadeModel(GL_SMOOTH);  // every vertex keeps its own colour
}

// Runs draw in feedback mode (the caller has set the state up) and parses the buffer.
inline std::vector<FedPrimitive> feedback_run(float S, const std::function<void()>& draw) {
  static std::vector<GLfloat> buffer(1 << 20);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint used = glRenderMode(GL_RENDER);
  EXPECT_GE(used, 0) << "feedback buffer overflow";

  const float half = kFeedbackViewport / 2.0f;
  std::vector<FedPrimitive> out;
  size_t i = 0;
  auto vertex = [&] {
    const GLfloat* f = &buffer[i];
    FedVertex v;
    v.pos = {(f[0] / half - 1) * S, (f[1] / half - 1) * S, (2 * f[2] - 1) * S};
    v.colour = {f[4], f[5], f[6], f[7]};
    v.tex = {f[8], f[9]};
    i += 12;
    return v;
  };
  while (i < static_cast<size_t>(used > 0 ? used : 0)) {
    FedPrimitive p;
    p.token = static_cast<GLenum>(buffer[i++]);
    int count = 0;
    switch (p.token) {
      case GL_POINT_TOKEN: count = 1; break;
      case GL_LINE_TOKEN:
      case GL_LINE_RESET_TOKEN: count = 2; break;
      case GL_POLYGON_TOKEN: count = static_cast<int>(buffer[i++]); break;
      case GL_PASS_THROUGH_TOKEN: ++i; continue;
      default: count = 1; break;  // bitmap and pixel tokens carry one vertex
    }
    for (int k = 0; k < count; ++k) p.v.push_back(vertex());
    out.push_back(std::move(p));
  }
  return out;
}

inline std::vector<FedPrimitive> feedback(float S, const std::function<void()>& draw) {
  feedback_setup(S);
  return feedback_run(S, draw);
}

inline void light_axes(float sign) {
  const GLfloat black[4] = {0, 0, 0, 1};
  const GLfloat white[4] = {1, 1, 1, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_NORMALIZE);
  glDisable(GL_RESCALE_NORMAL);
  for (int axis = 0; axis < 3; ++axis) {
    const GLenum light = GL_LIGHT0 + axis;
    GLfloat direction[4] = {0, 0, 0, 0};
    direction[axis] = sign;
    GLfloat diffuse[4] = {0, 0, 0, 1};
    diffuse[axis] = 0.25f;
    glLightfv(light, GL_POSITION, direction);  // under the identity modelview
    glLightfv(light, GL_AMBIENT, black);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, black);
    glEnable(light);
  }
  glEnable(GL_LIGHTING);
}

// Feedback with each vertex's normal filled in; draw runs twice and must send
// the same primitives both times.
inline std::vector<FedPrimitive> probe_normals(float S, const std::function<void()>& draw) {
  feedback_setup(S);
  light_axes(1);
  std::vector<FedPrimitive> plus = feedback_run(S, draw);
  feedback_setup(S);
  light_axes(-1);
  const std::vector<FedPrimitive> minus = feedback_run(S, draw);
  glDisable(GL_LIGHTING);
  EXPECT_EQ(plus.size(), minus.size());
  for (size_t p = 0; p < plus.size() && p < minus.size(); ++p) {
    for (size_t k = 0; k < plus[p].v.size() && k < minus[p].v.size(); ++k) {
      FedVertex& v = plus[p].v[k];
      for (int axis = 0; axis < 3; ++axis)
        v.normal[axis] = 4 * (v.colour[axis] - minus[p].v[k].colour[axis]);
    }
  }
  return plus;
}

// The normal of a fed-back triangle from its winding (counter-clockwise seen
// from the side it points to).
inline std::array<float, 3> winding_normal(const FedPrimitive& t) {
  const auto& a = t.v[0].pos;
  const auto& b = t.v[1].pos;
  const auto& c = t.v[2].pos;
  const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const float w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  return {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
}

inline float dot(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Clears the capture store and switches edit mode on with every slot available,
// so the store records each GLVERTEX3F call in order.
inline void record_vertices(bool suppress) {
  static const Velmora::TGLVERTEX3F empty{};
  Velmora::GLBASEVERTEX3F = empty;
  Velmora::GLBASEVERTEX3F.GLVERT3FSETNUM = 10000;
  Velmora::GLVERT3FENABLEEDIT = true;
  Velmora::GLVERT3FREMOVE = suppress;
}

inline void stop_recording() {
  Velmora::GLVERT3FENABLEEDIT = false;
  Velmora::GLVERT3FREMOVE = false;
}

}  // namespace vlmr_test
