#include "skeleton.h"

#include "frame_report.h"

#include "Velmora.h"

using namespace Velmora;

namespace skeleton {

int run(const Program& program) {
  FrameReport report;

  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW(program.title, 800, 600, 32, FULLSCREEN);  // a failure has ended the program
  OPENGL_INIT(1000, 0, 0, 0, 0);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
  program.create_list();

  // Never waits: one window message per frame, frames as fast as the
  // buffers swap, until the window procedure clears ACTIVE; the frame in
  // which that happens still finishes.
  do {
    report.frame_begins();
    glClear(GL_COLOR_BUFFER_BIT);
    SETGLMSG();
    program.draw();
    SwapBuffers(DCWINDOW);
    report.frame_ends(report.tracing() && program.state ? program.state() : std::string());
  } while (ACTIVE);

  DELETEGLTEXT();
  DELETEOGLWINDOW();
  return 0;
}

void help_overlay(int32_t x, int32_t y, const char* line1, const char* line2, const char* line3) {
  OPENGL_I2D(0, 0, 0, 0);
  PUTGLPOINTLIGHT(GL_LIGHT0, static_cast<float>(WIDTH / 2.0), 0, -400,
                  static_cast<float>(HEIGHT / 2.0), 0.1f);
  TEXTUREOFF();
  glColor3f(0.6f, 0.6f, 0.6f);
  PUTGLTEXT(static_cast<float>(x), static_cast<float>(y), -0.05f, line1);
  PUTGLTEXT(static_cast<float>(x), static_cast<float>(y - 16), -0.05f, line2);
  PUTGLTEXT(static_cast<float>(x), static_cast<float>(y - 32), -0.05f, line3);
  glColor3f(0.9f, 0.9f, 0.9f);
  TEXTUREON();
  OPENGL_INIT(1000, 0, 0, 0, 0);
}

}  // namespace skeleton
