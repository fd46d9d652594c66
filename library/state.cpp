// The library's global state with its initial values, the settings routine
// every program calls first, and the fatal error report.
#include "Velmora.h"

#include <cstdio>
#include <cstdlib>

namespace Velmora {

// Window, context and creation settings.
HWND HWINDOW = nullptr;
HDC DCWINDOW = nullptr;
HGLRC RCWINDOW = nullptr;
MSG MSG_{};
const char* SETTITLENAME = nullptr;
int32_t WIDTH = 0;
int32_t HEIGHT = 0;
int32_t BITS = 0;
bool FULLSCREEN = false;
bool ACTIVE = false;
int32_t PIXEL_FORMAT_FLAGS = 0;
int32_t CREATE_WINDOW_FLAGS = 0;
int32_t SETTYPECURSOR = 0;
const char* CURSORFILE = nullptr;
int32_t SETTYPEICON = 0;
const char* ICONFILE = nullptr;
WNDCLASSEXA WINDOWCLASSEX{};

// Menu and status-bar hooks.
bool SHOWMENUBAR = false;
TPROCEDURE CREATEMENUBAR = nullptr;
TPROCEDURE CREATEMOUSEMENU = nullptr;
WNDPROC GETINPUTCOMMAND = nullptr;
bool SHOWSTATUSBAR = false;
HWND HSTATUS = nullptr;
HWND AWND = nullptr;
Array<char, 0, 260> FILENAME{};
Array<int32_t, 1, 20> STATUSITEM{};
Array<int32_t, 1, 20> EDGES{};
int32_t MAXSTATUSITEM = 0;

// Frame-rate counter.
int32_t FPSCOUNT = 0;
std::string FPSCOUNTSTR;
int32_t FORCEFPS = 1;
int32_t ADDFORCEFPS = 0;
int32_t ADDINTERVALFPS = 5000;
bool VIEWFPS = false;
uint32_t START = 0;

// Input and camera state.
Array<int32_t, 0, 500> SETKEY{};
bool LEFTMOUSEDOWN = false;
bool LEFTMOUSEDOWN2 = false;
bool RIGHTMOUSEDOWN = false;
bool RIGHTMOUSEDOWN2 = false;
int32_t SETMX = 0;
int32_t SETMY = 0;
int32_t SETOMX = 0;
int32_t SETOMY = 0;
int32_t XCOORD = 0;
int32_t YCOORD = 0;
int32_t ZCOORD = 0;
float XROT = 0;
float YROT = 0;
float XROT2 = 0;
float YROT2 = 0;
float DEPTH = 0;
float DEPTH2 = 0;
bool MOUSEFREE = false;
POINT MPOS{};
int32_t MSPEED = 0;
float OFFX = 0;
float OFFY = 0;
TGLVERTEX MY{};

// Library-wide values.
std::string VLMRVERSION = "1.0";
Array<float, 0, 3> AMBIENTLIGHT{{0.5f, 0.5f, 0.5f, 1.0f}};
Array<float, 0, 3> DIFFUSELIGHT{{1.0f, 1.0f, 1.0f, 1.0f}};
Array<float, 0, 3> SPECULARLIGHT{{1.0f, 1.0f, 1.0f, 1.0f}};
int32_t GL_MIN_FILTER = GL_LINEAR;
int32_t GL_MAG_FILTER = GL_LINEAR;
bool FOGONOFF = false;
GLuint OBJNULL = 0;

void OGLWINDOWSETTING(int32_t TYPECURSOR, const char* CURFILE, int32_t TYPEICON,
                      const char* ICOFILE) {
  if (MOUSEFREE) {
    START = GetTickCount();
    SetCursorPos(WIDTH / 2, HEIGHT / 2);
  }
  FOGONOFF = true;
  SETTYPECURSOR = TYPECURSOR;
  CURSORFILE = CURFILE;
  SETTYPEICON = TYPEICON;
  ICONFILE = ICOFILE;
  // Without a current context (the usual case: before the window exists) this
  // answers 0 and the list calls do nothing.
  if (wglGetCurrentContext()) {
    OBJNULL = glGenLists(1);
    glNewList(OBJNULL, GL_COMPILE);
    glEndList();
  } else {
    OBJNULL = 0;
  }
  GLVERT3FREMOVE = false;
  GLVERT3FENABLEEDIT = false;
}

void THROWERROR(const char* PCERRORMESSAGE) {
  MessageBoxA(nullptr, PCERRORMESSAGE, "Error", MB_OK);
  // The library's normal shutdown runs (static destructors release the
  // string globals), none of the caller's remaining steps.
  std::fflush(stdout);
  std::exit(0);
}

}  // namespace Velmora
