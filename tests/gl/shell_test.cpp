// The application shell on a real (headless) window: the window procedure's
// message table, the pump, the projections, the mouse camera, free look, the
// frame-rate title, the orbit view, and the two fatal exits.
#include "Velmora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace Velmora;

namespace {

// One library window per process: made by the first test that needs it.
void ensure_window() {
  if (HWINDOW && IsWindow(HWINDOW)) return;
  setenv("VELMORA_PLATFORM", "headless", 0);
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Prova", 800, 600, 32, false);
  OPENGL_INIT(1000, 0, 0, 0, 0);
}

void drain() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message != WM_PAINT) continue;
    DispatchMessageA(&m);
  }
}

void reset_input() {
  for (auto& k : SETKEY) k = 0;
  LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = false;
  XROT = YROT = XROT2 = YROT2 = DEPTH = DEPTH2 = 0;
  XCOORD = YCOORD = ZCOORD = SETMX = SETMY = SETOMX = SETOMY = 0;
  MOUSEFREE = false;
  MSPEED = 0;
  ReleaseCapture();
}

LPARAM at(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    ensure_window();
    ASSERT_TRUE(ACTIVE);
    drain();
    reset_input();
  }
};

TEST_F(Shell, WindowIsCreatedAsTheProgramsExpect) {
  EXPECT_NE(HWINDOW, nullptr);
  EXPECT_NE(DCWINDOW, nullptr);
  EXPECT_NE(RCWINDOW, nullptr);
  // The first WM_SIZE replaced the outer size with the client size.
  EXPECT_EQ(WIDTH, 794);
  EXPECT_EQ(HEIGHT, 578);
  char title[64];
  GetWindowTextA(HWINDOW, title, sizeof title);
  EXPECT_STREQ(title, "Prova");
  RECT r;
  GetWindowRect(HWINDOW, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 800);
  EXPECT_EQ(r.bottom, 600);
  EXPECT_EQ(HSTATUS, nullptr);
  WNDCLASSEXA cls{};
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "GLWindow", &cls));
  EXPECT_EQ(cls.lpfnWndProc, GLWNDPROC);
  EXPECT_EQ(cls.style, CS_VREDRAW | CS_HREDRAW);
  EXPECT_EQ(cls.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(cls.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
  EXPECT_EQ(cls.hbrBackground, GetSysColorBrush(COLOR_BTNFACE));
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "IMAGEBUTTON", &cls));
  EXPECT_EQ(cls.lpfnWndProc, HOVERBUTTONHANDLER);
  EXPECT_EQ(cls.hbrBackground, GetStockObject(NULL_BRUSH));
  EXPECT_EQ(FORCEFPS, 1);
  EXPECT_EQ(ADDINTERVALFPS, 5000);
  EXPECT_EQ(GL_MIN_FILTER, GL_LINEAR);
  EXPECT_FLOAT_EQ(AMBIENTLIGHT[0], 0.5f);
  EXPECT_EQ(OBJNULL, 0u);  // made before any context existed
  EXPECT_NE(glGetString(GL_VERSION), nullptr);
  GLint stencil = 0;
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  EXPECT_GE(stencil, 8);
}

struct MessageCase {
  const char* name;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  LRESULT result;
  void (*check)();
};

TEST_F(Shell, MessageTable) {
  const MessageCase cases[] = {
      {"key down records the key", WM_KEYDOWN, 'W', 0, 0,
       [] { EXPECT_EQ(SETKEY['W'], -1); EXPECT_TRUE(SETGLKEY('W')); EXPECT_FALSE(SETGLKEY('w')); }},
      {"key up clears it and ends free look", WM_KEYUP, 'W', 0, 0,
       [] { EXPECT_EQ(SETKEY['W'], 0); EXPECT_FALSE(MOUSEFREE); }},
      {"left press", WM_LBUTTONDOWN, MK_LBUTTON, at(120, 80), 0,
       [] {
         EXPECT_TRUE(LEFTMOUSEDOWN); EXPECT_TRUE(LEFTMOUSEDOWN2);
         EXPECT_EQ(XCOORD, 120); EXPECT_EQ(YCOORD, 80); EXPECT_EQ(SETMX, 120); EXPECT_EQ(SETMY, 80);
         EXPECT_EQ(GetCapture(), HWINDOW);
       }},
      {"left release", WM_LBUTTONUP, 0, at(130, 90), 0,
       [] {
         EXPECT_FALSE(LEFTMOUSEDOWN); EXPECT_EQ(XCOORD, 0); EXPECT_EQ(SETMX, 0);
         EXPECT_EQ(GetCapture(), nullptr);
       }},
      {"right press", WM_RBUTTONDOWN, MK_RBUTTON, at(10, 300), 0,
       [] { EXPECT_TRUE(RIGHTMOUSEDOWN); EXPECT_EQ(ZCOORD, 300); EXPECT_EQ(GetCapture(), HWINDOW); }},
      {"right release keeps the reference", WM_RBUTTONUP, 0, at(10, 310), 0,
       [] { EXPECT_FALSE(RIGHTMOUSEDOWN); EXPECT_EQ(ZCOORD, 300); EXPECT_EQ(GetCapture(), nullptr); }},
      {"move records the position", WM_MOUSEMOVE, 0, at(33, 44), 0,
       [] { EXPECT_EQ(SETOMX, 33); EXPECT_EQ(SETOMY, 44); }},
      {"move left of the window arrives unsigned", WM_MOUSEMOVE, 0, at(-2, 5), 0,
       [] { EXPECT_EQ(SETOMX, 65534); }},
      {"command without a hook", WM_COMMAND, 5, 0, 0, [] {}},
      {"size", WM_SIZE, 0, at(640, 480), 0, [] { EXPECT_EQ(WIDTH, 640); EXPECT_EQ(HEIGHT, 480); }},
      {"an unhandled key message changes nothing", WM_SYSKEYDOWN, 'A', 0, 0,
       [] { EXPECT_EQ(SETKEY['A'], 0); }},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GLWNDPROC(HWINDOW, c.message, c.wparam, c.lparam), c.result);
    c.check();
  }
  GLWNDPROC(HWINDOW, WM_SIZE, 0, at(794, 578));
}

TEST_F(Shell, EscapeClearsActiveWithoutRecordingTheKey) {
  EXPECT_EQ(GLWNDPROC(HWINDOW, WM_KEYDOWN, VK_ESCAPE, 0), 0);
  EXPECT_FALSE(ACTIVE);
  EXPECT_EQ(SETKEY[VK_ESCAPE], 0);
  EXPECT_TRUE(IsWindow(HWINDOW));  // destroyed later by the program's shutdown
  MSG m;
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  GLWNDPROC(HWINDOW, WM_CREATE, 0, 0);  // alive again for the next tests
}

TEST_F(Shell, OneMessagePerPump) {
  PostMessageA(HWINDOW, WM_KEYDOWN, 'A', 0);
  PostMessageA(HWINDOW, WM_KEYDOWN, VK_LEFT, 0);
  PostMessageA(HWINDOW, WM_KEYDOWN, VK_RIGHT, 0);
  SETGLMSG();
  EXPECT_EQ(MSG_.message, WM_KEYDOWN);
  EXPECT_NE(SETKEY['A'], 0);
  SETGLMSG();  // the character 'a' that TranslateMessage made
  EXPECT_EQ(MSG_.message, WM_CHAR);
  EXPECT_EQ(SETKEY[VK_LEFT], 0);
  SETGLMSG();
  EXPECT_NE(SETKEY[VK_LEFT], 0);
  EXPECT_EQ(SETKEY[VK_RIGHT], 0);
  SETGLMSG();
  EXPECT_NE(SETKEY[VK_RIGHT], 0);
}

TEST_F(Shell, DragsTurnAndMoveTheCamera) {
  MSPEED = 2;
  GLWNDPROC(HWINDOW, WM_LBUTTONDOWN, MK_LBUTTON, at(100, 100));
  GLWNDPROC(HWINDOW, WM_MOUSEMOVE, MK_LBUTTON, at(104, 110));
  EXPECT_FLOAT_EQ(XROT, 10);
  EXPECT_FLOAT_EQ(YROT, 4);
  EXPECT_FLOAT_EQ(XROT2, 10);
  EXPECT_FLOAT_EQ(YROT2, 4);
  EXPECT_EQ(XCOORD, 104);
  GLWNDPROC(HWINDOW, WM_LBUTTONUP, 0, at(104, 110));
  GLWNDPROC(HWINDOW, WM_RBUTTONDOWN, MK_RBUTTON, at(50, 200));
  GLWNDPROC(HWINDOW, WM_MOUSEMOVE, MK_RBUTTON, at(50, 180));
  EXPECT_FLOAT_EQ(DEPTH, 4);
  EXPECT_FLOAT_EQ(DEPTH2, 4);
  GLWNDPROC(HWINDOW, WM_RBUTTONUP, 0, at(50, 180));
  // Half-pixel steps: an odd movement turns by half a degree per unit speed.
  MSPEED = 1;
  GLWNDPROC(HWINDOW, WM_LBUTTONDOWN, MK_LBUTTON, at(0, 0));
  GLWNDPROC(HWINDOW, WM_MOUSEMOVE, MK_LBUTTON, at(3, 1));
  EXPECT_FLOAT_EQ(XROT, 10.5f);
  EXPECT_FLOAT_EQ(YROT, 5.5f);
}

TEST_F(Shell, WithoutSpeedDragsOnlyMoveTheReferencePoints) {
  GLWNDPROC(HWINDOW, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 10));
  GLWNDPROC(HWINDOW, WM_MOUSEMOVE, MK_LBUTTON, at(60, 90));
  EXPECT_EQ(XROT, 0);
  EXPECT_EQ(YROT, 0);
  EXPECT_EQ(XCOORD, 60);
  EXPECT_EQ(YCOORD, 90);
}

TEST_F(Shell, FreeLookTurnsByTheCursorOffsetAndRecentres) {
  MSPEED = 2;
  MOUSEFREE = true;
  const int cx = WIDTH / 2, cy = HEIGHT / 2;
  SetCursorPos(cx + 50, cy);
  drain();
  GLWNDPROC(HWINDOW, WM_MOUSEMOVE, 0, at(cx + 50, cy));
  EXPECT_FLOAT_EQ(XROT, 1);
  EXPECT_FLOAT_EQ(YROT, 0);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, cx);
  EXPECT_EQ(p.y, cy);
  // Far below the centre: YROT would pass 60 and stays there.
  SetCursorPos(cx, cy + 5000);
  GLWNDPROC(HWINDOW, WM_MOUSEMOVE, 0, at(cx, cy));
  EXPECT_FLOAT_EQ(YROT, 60);
  EXPECT_FLOAT_EQ(YROT2, 60);
  GLWNDPROC(HWINDOW, WM_KEYUP, 'Q', 0);
  EXPECT_FALSE(MOUSEFREE);
}

TEST_F(Shell, FrameRateTickShowsTheRateInTheTitle) {
  struct Case {
    int32_t frames, force, addforce;
    const char* title;
    int32_t force_after;
  };
  const Case cases[] = {
      {300, 1, 0, "Prova - FPS [60]", 1},
      {0, 1, 0, "Prova - FPS [1]", 1},
      {300, 1, 50, "Prova - FPS [60]", 0},
      {200, 1, 50, "Prova - FPS [40]", 2},
      {2, 1, 0, "Prova - FPS [1]", 1},  // 0.4 rounds to 0, then shown as 1
      {25, 1, 0, "Prova - FPS [5]", 1},
      {12, 1, 0, "Prova - FPS [2]", 1},  // 2.4
      {1250, 2, 0, "Prova - FPS [500]", 2},
  };
  VIEWFPS = true;
  for (const Case& c : cases) {
    FPSCOUNT = c.frames;
    FORCEFPS = c.force;
    ADDFORCEFPS = c.addforce;
    GLWNDPROC(HWINDOW, WM_TIMER, FPS_TIMER, 0);
    char title[64];
    GetWindowTextA(HWINDOW, title, sizeof title);
    EXPECT_STREQ(title, c.title);
    EXPECT_EQ(FPSCOUNT, 0);
    EXPECT_EQ(FORCEFPS, c.force_after) << c.frames;
    EXPECT_EQ(FPSCOUNTSTR, std::string(c.title).substr(13, std::string(c.title).size() - 14));
  }
  // Another timer, or the switch off, changes nothing.
  FPSCOUNT = 300;
  GLWNDPROC(HWINDOW, WM_TIMER, 2, 0);
  VIEWFPS = false;
  GLWNDPROC(HWINDOW, WM_TIMER, FPS_TIMER, 0);
  EXPECT_EQ(FPSCOUNT, 300);
  FORCEFPS = 1;
  ADDFORCEFPS = 0;
  FPSCOUNT = 0;
  SetWindowTextA(HWINDOW, "Prova");
}

TEST_F(Shell, HalvesRoundToEven) {
  VIEWFPS = true;
  for (auto [frames, shown] : {std::pair{25, 5}, std::pair{35, 7}, std::pair{37, 7}, std::pair{38, 8}}) {
    // frames * 1000 / 5000: 5.0, 7.0, 7.4, 7.6; and half cases below.
    FPSCOUNT = frames;
    GLWNDPROC(HWINDOW, WM_TIMER, FPS_TIMER, 0);
    EXPECT_EQ(FPSCOUNTSTR, std::to_string(shown));
  }
  ADDINTERVALFPS = 2000;
  for (auto [frames, shown] : {std::pair{5, 2}, std::pair{7, 4}}) {  // 2.5 -> 2, 3.5 -> 4
    FPSCOUNT = frames;
    GLWNDPROC(HWINDOW, WM_TIMER, FPS_TIMER, 0);
    EXPECT_EQ(FPSCOUNTSTR, std::to_string(shown));
  }
  ADDINTERVALFPS = 5000;
  VIEWFPS = false;
  SetWindowTextA(HWINDOW, "Prova");
}

TEST_F(Shell, CountingStartsOnlyWithTheSwitch) {
  FPSCOUNT = 0;
  FPSCOUNTSTR.clear();
  SETGLMSG();
  SETGLMSG();
  EXPECT_EQ(FPSCOUNT, 0);
  VIEWFPS = true;
  ADDINTERVALFPS = 50;
  SETGLMSG();
  SETGLMSG();
  SETGLMSG();
  EXPECT_EQ(FPSCOUNT, 3);
  Sleep(80);
  // The timer message arrives through the pump and turns the count into a rate.
  for (int i = 0; i < 5 && FPSCOUNTSTR.empty(); ++i) SETGLMSG();
  EXPECT_FALSE(FPSCOUNTSTR.empty());
  char title[64];
  GetWindowTextA(HWINDOW, title, sizeof title);
  EXPECT_EQ(std::string(title).rfind("Prova - FPS [", 0), 0u);
  VIEWFPS = false;
  SETGLMSG();
  ADDINTERVALFPS = 5000;
  SetWindowTextA(HWINDOW, "Prova");
  FPSCOUNTSTR.clear();
}

void expect_matrix(GLenum which, const float (&expected)[16]) {
  float m[16];
  glGetFloatv(which, m);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-5) << i;
}

TEST_F(Shell, PerspectiveProjection) {
  WIDTH = 800;
  HEIGHT = 600;
  OPENGL_INIT(1000, 0, 0, 0, 0);
  const double f = 1 / std::tan(22.5 * M_PI / 180);
  const float n = 0.1f, far = 1000;
  const float p[16] = {static_cast<float>(f / (800.0 / 600.0)), 0, 0, 0, 0, static_cast<float>(f), 0, 0,
                       0, 0, (far + n) / (n - far), -1, 0, 0, 2 * far * n / (n - far), 0};
  expect_matrix(GL_PROJECTION_MATRIX, p);
  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  expect_matrix(GL_MODELVIEW_MATRIX, identity);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  float clear[4], depth = 0;
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
  EXPECT_EQ(clear[3], 0);
  EXPECT_EQ(depth, 1);
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[3], 0.5f);
  GLint src, dst;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  GLint func;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_LEQUAL);
  OPENGL_INIT(1000, 0.25, 0.5, 0.75, 1.0);  // alpha first
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 0.5f);
  EXPECT_FLOAT_EQ(clear[2], 1.0f);
  EXPECT_FLOAT_EQ(clear[3], 0.25f);
}

TEST_F(Shell, OverlayProjectionAndOffsets) {
  struct Case {
    int w, h;
    float offx, offy, top;
  };
  const Case cases[] = {{800, 600, -2.05f, -1.45f, 1.5f}, {600, 800, -1.05f, -0.45f, 8.0f / 3}};
  for (const Case& c : cases) {
    WIDTH = c.w;
    HEIGHT = c.h;
    OPENGL_I2D(0, 0, 0, 0);
    EXPECT_FLOAT_EQ(OFFX, c.offx);
    EXPECT_FLOAT_EQ(OFFY, c.offy);
    const float p[16] = {0.5f, 0, 0, 0, 0, 1 / c.top, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1};
    expect_matrix(GL_PROJECTION_MATRIX, p);
  }
  WIDTH = 794;
  HEIGHT = 578;
}

TEST_F(Shell, MinimisedWindowKeepsTheLastSize) {
  WIDTH = 794;
  HEIGHT = 578;
  OPENGL_INIT(1000, 0, 0, 0, 0);
  GLWNDPROC(HWINDOW, WM_SIZE, SIZE_MINIMIZED, 0);
  ASSERT_EQ(WIDTH, 0);
  OPENGL_INIT(1000, 0, 0, 0, 0);
  OPENGL_I2D(0, 0, 0, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 794);
  EXPECT_EQ(viewport[3], 578);
  float m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  for (float v : m) EXPECT_TRUE(std::isfinite(v));
  GLWNDPROC(HWINDOW, WM_SIZE, 0, at(794, 578));
}

TEST_F(Shell, OrbitViewModes) {
  struct Case {
    int32_t mode;
    TGLVERTEX my;
    float expected[16];  // column-major, with DEPTH 4, XROT 90, YROT 0
  };
  DEPTH = 4;
  XROT = 90;
  YROT = 0;
  const Case cases[] = {
      {0, {0, 0, -4}, {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, -4, 1}},
      {GL_MX, {0, -4, 0}, {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, -4, 0, 1}},
      {GL_MY, {-4, 0, 0}, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, -4, 0, 0, 1}},
      {GL_MZ, {0, 0, -4}, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, -4, 1}},
  };
  glMatrixMode(GL_MODELVIEW);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    glLoadIdentity();
    SETGLMOUSEMOVE(c.mode, 2);
    EXPECT_EQ(MSPEED, 2);
    EXPECT_EQ(MY.X, c.my.X);
    EXPECT_EQ(MY.Y, c.my.Y);
    EXPECT_EQ(MY.Z, c.my.Z);
    expect_matrix(GL_MODELVIEW_MATRIX, c.expected);
  }
  // An unknown mode only sets the speed.
  glLoadIdentity();
  SETGLMOUSEMOVE(5, 7);
  EXPECT_EQ(MSPEED, 7);
  EXPECT_EQ(MY.Y, 0);
  EXPECT_EQ(MY.Z, -4);
  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  expect_matrix(GL_MODELVIEW_MATRIX, identity);
}

// The death tests re-run the test binary for the child, so that its library
// state starts fresh (the backend and the window class are chosen once per
// process).
TEST(ShellDeath, IndexOutOfBoundsEndsWithTheRunTimeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("VELMORA_PLATFORM", "headless", 0);
  EXPECT_EXIT(GLWNDPROC(nullptr, WM_KEYDOWN, 501, 0), ::testing::ExitedWithCode(217),
              "Error: Range check error: index 501 outside 0..500");
}

TEST(ShellDeath, CreationFailuresShowTheirBoxAndExitZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("VELMORA_PLATFORM", "nowhere", 1);
        CREATEOGLWINDOW("x", 800, 600, 32, false);
      },
      ::testing::ExitedWithCode(0),
      "Error: Impossibile creare la finestra per la rispettiva applicazione!");
  EXPECT_EXIT(
      {
        setenv("VELMORA_PLATFORM", "headless", 1);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "GLWindow";
        RegisterClassA(&wc);
        CREATEOGLWINDOW("x", 800, 600, 32, false);
      },
      ::testing::ExitedWithCode(0), "Error: Errore di registro per la rispettiva applicazione!");
}

}  // namespace

namespace {

TEST(ShellDeath, AMissingCursorFileLeavesTheClassWithoutACursor) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("VELMORA_PLATFORM", "headless", 1);
        OGLWINDOWSETTING(FILECURSOR, "/nonexistent/velmora.cur", GENERIC, "");
        CREATEOGLWINDOW("x", 800, 600, 32, false);
        WNDCLASSEXA cls{};
        GetClassInfoExA(GetModuleHandleA(nullptr), "GLWindow", &cls);
        std::exit(cls.hCursor == nullptr && ACTIVE ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
