// The library's one window: class registration, creation with its rendering
// context and optional status bar, release, the non-blocking message pump and
// the two projection set-ups (3D perspective, 2D overlay).
#include "Velmora.h"

#include <cstring>

namespace Velmora {
namespace {

HCURSOR class_cursor() {
  static const int ids[] = {0,     32512, 32513, 32514, 32515, 32516, 32640, 0,
                            32642, 32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
  if (SETTYPECURSOR == FILECURSOR) return LoadCursorFromFileA(CURSORFILE);
  if (SETTYPECURSOR >= 1 && SETTYPECURSOR <= 16)
    return LoadCursorA(nullptr, MAKEINTRESOURCEA(ids[SETTYPECURSOR]));
  return nullptr;
}

HICON class_icon() {
  if (SETTYPEICON == GENERIC) return LoadIconA(nullptr, IDI_APPLICATION);
  if (SETTYPEICON == FILEICON) return static_cast<HICON>(LoadCursorFromFileA(ICONFILE));
  return nullptr;
}

// The last positive drawing-area size: a minimised window reports 0 by 0 and
// the projections keep the size they had rather than divide by zero.
int32_t g_last_width = 1;
int32_t g_last_height = 1;

void drawing_size(int32_t& w, int32_t& h) {
  if (WIDTH > 0 && HEIGHT > 0) {
    g_last_width = WIDTH;
    g_last_height = HEIGHT;
  }
  w = g_last_width;
  h = g_last_height;
}

}  // namespace

bool CREATEOGLWINDOW(const char* APPNAME, int32_t APPWIDTH, int32_t APPHEIGHT, int32_t APPBITS,
                     bool APPFULLSCREEN) {
  SETTITLENAME = APPNAME;
  WIDTH = APPWIDTH;
  HEIGHT = APPHEIGHT;
  BITS = APPBITS;
  FULLSCREEN = APPFULLSCREEN;
  if (!WINDOWREGISTER()) THROWERROR("Errore di registro per la rispettiva applicazione!");
  HWINDOW = WINDOWCREATE(APPNAME);
  if (SHOWMENUBAR && CREATEMENUBAR) CREATEMENUBAR();
  if (SHOWSTATUSBAR) HSTATUS = CREATESTATUSBAR(HWINDOW);
  if (!HWINDOW) THROWERROR("Impossibile creare la finestra per la rispettiva applicazione!");
  if (!WINDOWINIT(HWINDOW)) THROWERROR("la rispettiva applicazione non \xE8 stata inizilizata!");
  return true;
}

bool WINDOWREGISTER() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = GLWNDPROC;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance;
  wc.hIcon = class_icon();
  wc.hCursor = class_cursor();
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = "GLWindow";
  bool registered = RegisterClassA(&wc) != 0;

  if (!GetClassInfoExA(nullptr, SZHOVERCLASS, &WINDOWCLASSEX)) {
    WINDOWCLASSEX.cbSize = sizeof(WNDCLASSEXA);
    WINDOWCLASSEX.style = 0;
    WINDOWCLASSEX.lpfnWndProc = HOVERBUTTONHANDLER;
    WINDOWCLASSEX.cbClsExtra = 0;
    WINDOWCLASSEX.cbWndExtra = 0;
    WINDOWCLASSEX.hInstance = instance;
    WINDOWCLASSEX.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    WINDOWCLASSEX.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    WINDOWCLASSEX.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    WINDOWCLASSEX.lpszMenuName = nullptr;
    WINDOWCLASSEX.lpszClassName = SZHOVERCLASS;
    WINDOWCLASSEX.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    RegisterClassExA(&WINDOWCLASSEX);
  }
  return registered;
}

HWND WINDOWCREATE(const char* PCAPPLICATIONNAME) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window;
  if (!FULLSCREEN) {
    DWORD style = static_cast<DWORD>(CREATE_WINDOW_FLAGS) | WS_POPUP | WS_VISIBLE |
                  WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    window = CreateWindowExA(0, "GLWindow", PCAPPLICATIONNAME, style, CW_USEDEFAULT,
                             CW_USEDEFAULT, WIDTH, HEIGHT, nullptr, nullptr, instance, nullptr);
  } else {
    WIDTH = GetSystemMetrics(SM_CXSCREEN);
    HEIGHT = GetSystemMetrics(SM_CYSCREEN);
    DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER |
                  WS_SYSMENU;
    window = CreateWindowExA(0, "GLWindow", PCAPPLICATIONNAME, style, CW_USEDEFAULT,
                             CW_USEDEFAULT, WIDTH, HEIGHT, nullptr, nullptr, instance, nullptr);
  }
  if (window) {
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);
  }
  return window;
}

bool WINDOWINIT(HWND HPARENT) {
  int error = 0;
  DCWINDOW = GetDC(HPARENT);
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = 40;
  pfd.nVersion = 1;
  pfd.dwFlags = static_cast<DWORD>(PIXEL_FORMAT_FLAGS) | PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW |
                PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED;
  pfd.iPixelType = PFD_TYPE_RGBA;
  const BYTE bits = static_cast<BYTE>(BITS);
  pfd.cColorBits = bits;
  pfd.cAlphaBits = bits;
  pfd.cAccumBits = bits;
  pfd.cDepthBits = bits;
  pfd.cStencilBits = bits;
  pfd.cAuxBuffers = bits;
  pfd.iLayerType = 1;
  int format = ChoosePixelFormat(DCWINDOW, &pfd);
  if (format == 0) error = 1;
  SetPixelFormat(DCWINDOW, format, &pfd);
  RCWINDOW = wglCreateContext(DCWINDOW);
  if (!RCWINDOW) error = 2;
  wglMakeCurrent(DCWINDOW, RCWINDOW);
  return error == 0;
}

HWND CREATESTATUSBAR(HWND PARENT) {
  std::strcpy(FILENAME.data(), "Percorso file");
  AWND = CreateStatusWindowA(static_cast<LONG>(WS_CHILD | WS_VISIBLE), FILENAME.data(), PARENT,
                             30482);
  if (AWND) {
    for (int32_t I = 1; I <= MAXSTATUSITEM; ++I) EDGES[I] = STATUSITEM[I];
    SendMessageA(AWND, SB_SETPARTS, static_cast<WPARAM>(MAXSTATUSITEM),
                 reinterpret_cast<LPARAM>(EDGES.data()));
  }
  return AWND;
}

void DELETEOGLWINDOW() {
  wglMakeCurrent(DCWINDOW, nullptr);
  wglDeleteContext(RCWINDOW);
  ReleaseDC(HWINDOW, DCWINDOW);
  DestroyWindow(HWINDOW);
}

void GLRESIZEWINDOW(int32_t W, int32_t H) {
  WIDTH = W;
  HEIGHT = H;
}

void OPENGL_INIT(double DEPTH, double A, double R, double G, double B) {
  int32_t w, h;
  drawing_size(w, h);
  glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B),
               static_cast<float>(A));
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45, static_cast<double>(w) / static_cast<double>(h), 0.1, DEPTH);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearDepth(DEPTH);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glColor4f(1, 1, 1, 0.5f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_AUTO_NORMAL);
  glEnable(GL_NORMALIZE);
}

void OPENGL_I2D(double A, double R, double G, double B) {
  int32_t w, h;
  drawing_size(w, h);
  const int32_t q = h / w;
  OFFX = static_cast<float>(q - 2.05);
  OFFY = static_cast<float>(q - 1.45);
  glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B),
               static_cast<float>(A));
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = static_cast<double>(h) / static_cast<double>(w);
  glOrtho(-2, 2, -2 * aspect, 2 * aspect, -2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_NORMALIZE);
}

void SETGLMSG() {
  // The frame-rate counter counts every pumped frame while it is switched on;
  // its timer starts with the first frame that has both a window and the
  // switch, and stops when the switch goes off.
  static HWND timer_window = nullptr;
  if (VIEWFPS && HWINDOW && IsWindow(HWINDOW)) {
    if (timer_window != HWINDOW) {
      SetTimer(HWINDOW, FPS_TIMER, static_cast<UINT>(ADDINTERVALFPS > 0 ? ADDINTERVALFPS : 1),
               nullptr);
      timer_window = HWINDOW;
    }
    FPSCOUNT = vlmr::checked_add(FPSCOUNT, 1);
  } else if (!VIEWFPS && timer_window) {
    KillTimer(timer_window, FPS_TIMER);
    timer_window = nullptr;
  }
  if (PeekMessageA(&MSG_, nullptr, 0, 0, PM_NOREMOVE)) {
    GetMessageA(&MSG_, nullptr, 0, 0);
    TranslateMessage(&MSG_);
    DispatchMessageA(&MSG_);
  }
}

}  // namespace Velmora
