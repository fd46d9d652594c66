// A small program on the library for end-to-end tests: opens the 800 by 600
// window, runs frames until Escape or close, and prints the input state the
// library keeps, one line per frame.
#include "Velmora.h"

#include <cstdio>

using namespace Velmora;

int main() {
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Velmora probe", 800, 600, 32, FULLSCREEN);
  OPENGL_INIT(1000, 0, 0, 0, 0);
  long frame = 0;
  do {
    glClear(GL_COLOR_BUFFER_BIT);
    SETGLMSG();
    ++frame;
    // A known scene: a dark blue background and a green square in the middle.
    OPENGL_INIT(1000, 1, 0.1, 0.2, 0.5);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    SETGLMOUSEMOVE(0, 2);
    glDisable(GL_LIGHTING);
    glColor3f(0, 1, 0);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0);
    glVertex3f(1, -1, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    std::printf(
        "frame %ld active %d msg %u wparam %lu key_W %d left %d right %d xrot %.3f yrot %.3f "
        "depth %.3f width %d height %d\n",
        frame, ACTIVE ? 1 : 0, MSG_.message, static_cast<unsigned long>(MSG_.wParam),
        SETKEY[static_cast<unsigned char>('W')], LEFTMOUSEDOWN ? 1 : 0, RIGHTMOUSEDOWN ? 1 : 0,
        XROT, YROT, DEPTH, WIDTH, HEIGHT);
    std::fflush(stdout);
    MSG_.message = 0;
    MSG_.wParam = 0;
    SwapBuffers(DCWINDOW);
  } while (ACTIVE);
  DELETEOGLWINDOW();
  return 0;
}
