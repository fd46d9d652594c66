// The buttons example: the library's window with a status bar and the frame
// rate in its title, a spinning box, and two image buttons on the window.
// "COLORE" steps the box through its colours, "FORMA" through its shapes.
// The buttons' bitmaps (COLOREN.BMP ... FORMAP.BMP) are read from the
// current directory; the build paints them next to the executable.
#include "scene.h"

#include "Velmora.h"

#include <string>

using namespace Velmora;

namespace {

constexpr int kColourButton = 101;
constexpr int kShapeButton = 102;

// Where the buttons stand in the window's client area.
constexpr int kButtonX = 16;
constexpr int kColourButtonY = 16;
constexpr int kShapeButtonY = 64;

void show_choice() {
  if (!HSTATUS) return;
  const std::string colour = std::string("Colore: ") + scene::colour_name();
  const std::string shape = std::string("Forma: ") + scene::shape_name();
  SendMessageA(HSTATUS, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(colour.c_str()));
  SendMessageA(HSTATUS, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(shape.c_str()));
}

// Every WM_COMMAND of the window arrives here; a button's carries its
// control identifier in the low word of wParam.
LRESULT on_command(HWND, UINT, WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case kColourButton: scene::next_colour(); break;
    case kShapeButton: scene::next_shape(); break;
    default: return 0;
  }
  show_choice();
  return 0;
}

// An image button of the library's class; its bitmaps are named by BMPTYPE
// at the moment it is created.
void create_button(const char* bitmaps, int y, int id) {
  BMPTYPE = bitmaps;
  CreateWindowExA(0, SZHOVERCLASS, bitmaps, WS_CHILD | WS_VISIBLE, kButtonX, y, 0, 0, HWINDOW,
                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), GetModuleHandleA(nullptr),
                  nullptr);
}

}  // namespace

int main() {
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  SHOWSTATUSBAR = true;
  MAXSTATUSITEM = 3;
  STATUSITEM[1] = 200;
  STATUSITEM[2] = 400;
  STATUSITEM[3] = -1;
  VIEWFPS = true;
  SHOWMENUBAR = true;
  GETINPUTCOMMAND = on_command;
  CREATEOGLWINDOW("Pulsanti immagine", 800, 600, 32, FULLSCREEN);
  OPENGL_INIT(1000, 0, 0, 0, 0);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
  INITTEXT(0, 0, 0, 0);

  create_button("COLORE", kColourButtonY, kColourButton);
  create_button("FORMA", kShapeButtonY, kShapeButton);
  show_choice();
  if (HSTATUS) {
    SendMessageA(HSTATUS, SB_SETTEXTA, 2,
                 reinterpret_cast<LPARAM>("Clic su un pulsante per cambiare la scena"));
  }

  do {
    glClear(GL_COLOR_BUFFER_BIT);
    SETGLMSG();
    scene::draw();
    SwapBuffers(DCWINDOW);
  } while (ACTIVE);

  DELETEGLTEXT();
  DELETEOGLWINDOW();
  return 0;
}
