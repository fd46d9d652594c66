#include "scene.h"

#include "Velmora.h"

#include <string>

using namespace Velmora;

namespace scene {
namespace {

struct Colour {
  const char* name;
  float r, g, b;
};
constexpr Colour kColours[] = {
    {"rosso", 0.9f, 0.15f, 0.1f},
    {"verde", 0.15f, 0.85f, 0.2f},
    {"blu", 0.15f, 0.3f, 0.95f},
    {"giallo", 0.95f, 0.85f, 0.1f},
};

// Half sizes of the box along x, y and z.
struct Shape {
  const char* name;
  float sx, sy, sz;
};
constexpr Shape kShapes[] = {
    {"cubo", 1.0f, 1.0f, 1.0f},
    {"lastra", 1.4f, 0.2f, 1.4f},
    {"colonna", 0.35f, 1.6f, 0.35f},
};

int g_colour = 0;
int g_shape = 0;
float g_turn = 0;  // degrees about the vertical axis

void overlay() {
  OPENGL_I2D(0, 0, 0, 0);
  glDisable(GL_LIGHTING);
  TEXTUREOFF();
  glColor3f(0.8f, 0.8f, 0.8f);
  const std::string line = std::string("Colore: ") + colour_name() + "   Forma: " + shape_name();
  PUTGLTEXT(-395, -240, -0.05f, line.c_str());
  glEnable(GL_LIGHTING);
  OPENGL_INIT(1000, 0, 0, 0, 0);
}

}  // namespace

void next_colour() { g_colour = (g_colour + 1) % static_cast<int>(std::size(kColours)); }
void next_shape() { g_shape = (g_shape + 1) % static_cast<int>(std::size(kShapes)); }
const char* colour_name() { return kColours[g_colour].name; }
const char* shape_name() { return kShapes[g_shape].name; }

void draw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  overlay();

  // The light sits at the camera; the material follows the current colour.
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glTranslatef(0, 0, -6);
  glRotatef(20, 1, 0, 0);
  glRotatef(g_turn, 0, 1, 0);
  const Colour& c = kColours[g_colour];
  const Shape& s = kShapes[g_shape];
  glColor3f(c.r, c.g, c.b);
  CUBO(0, 0, 0, s.sx, s.sy, s.sz);
  glDisable(GL_COLOR_MATERIAL);
  g_turn += 1.5f;
  if (g_turn >= 360) g_turn -= 360;
}

}  // namespace scene
