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

}  // namespace skeleton
