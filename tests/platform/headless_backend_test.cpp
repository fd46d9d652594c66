// The headless backend: legacy OpenGL on a window's pbuffer, contexts that
// share nothing, the virtual pointer, the virtual screen, message boxes.
#include "gl_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using vlmr_test::GlWindow;

LRESULT plain_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    vlmr_test::use_headless_platform();
    ASSERT_STREQ(VlmrPlatformName(), "headless");
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
};

TEST_F(Headless, LegacyGlDrawsIntoTheClientArea) {
  GlWindow window(plain_proc, 800, 600);
  ASSERT_TRUE(window.ok());

  // A context starts with the viewport and scissor box of the client area
  // (794 by 578), not of the screen-sized pbuffer behind it.
  GLint viewport[4], scissor[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetIntegerv(GL_SCISSOR_BOX, scissor);
  EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 794, 578}));
  EXPECT_EQ(std::vector<GLint>(scissor, scissor + 4), (std::vector<GLint>{0, 0, 794, 578}));

  // Immediate mode through a display list: red over the left half.
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glBegin(GL_QUADS);
  glColor3ub(255, 0, 0);
  glVertex2f(-1, -1);
  glVertex2f(0, -1);
  glVertex2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
  glEndList();
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glCallList(list);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  std::vector<DWORD> pixels(794 * 578);
  ASSERT_TRUE(VlmrReadWindowPixels(window.hwnd, pixels.data(), 794, 578));
  const struct {
    int x, y;
    DWORD rgb;
  } probes[] = {{0, 0, 0xFF0000},   {396, 577, 0xFF0000}, {397, 0, 0x0000FF},
                {793, 577, 0x0000FF}, {200, 300, 0xFF0000}, {600, 300, 0x0000FF}};
  for (const auto& p : probes) {
    EXPECT_EQ(pixels[static_cast<size_t>(p.y) * 794 + p.x], p.rgb) << p.x << "," << p.y;
  }
}

TEST_F(Headless, ContextsShareNothing) {
  GlWindow first(plain_proc, 200, 150);
  ASSERT_TRUE(first.ok());
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glEndList();
  ASSERT_TRUE(glIsList(list));

  GlWindow second(plain_proc, 200, 150);
  ASSERT_TRUE(second.ok());
  EXPECT_FALSE(glIsList(list));
  ASSERT_TRUE(wglMakeCurrent(first.dc, first.rc));
  EXPECT_TRUE(glIsList(list));
}

TEST_F(Headless, MovingThePointerIsAMouseMove) {
  GlWindow window(plain_proc, 200, 150);
  ASSERT_TRUE(window.ok());
  POINT origin{0, 0};
  ClientToScreen(window.hwnd, &origin);

  const POINT targets[] = {{origin.x + 25, origin.y + 40}, {origin.x - 7, origin.y + 300}};
  for (const POINT& t : targets) {
    ASSERT_TRUE(SetCursorPos(t.x, t.y));
    POINT now{};
    ASSERT_TRUE(GetCursorPos(&now));
    EXPECT_EQ(now.x, t.x);
    EXPECT_EQ(now.y, t.y);

    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, window.hwnd);
    EXPECT_EQ(m.message, WM_MOUSEMOVE);
    EXPECT_EQ(static_cast<short>(LOWORD(m.lParam)), t.x - origin.x);
    EXPECT_EQ(static_cast<short>(HIWORD(m.lParam)), t.y - origin.y);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE))
        << "one warp, one move";
  }
}

// VELMORA_SCREEN and message boxes are seen in a fresh process each (the
// screen size is read once), with stderr to check.
class HeadlessProcess : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  void TearDown() override { unsetenv("VELMORA_SCREEN"); }
};

[[noreturn]] void print_screen_size() {
  vlmr_test::use_headless_platform();
  std::fprintf(stderr, "screen %d %d\n", GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN));
  std::exit(0);
}

TEST_F(HeadlessProcess, VirtualScreenComesFromTheEnvironment) {
  const struct {
    const char* value;
    const char* output;
  } cases[] = {
      {"640x480", "^screen 640 480\n$"},
      {"1920X1080", "^screen 1920 1080\n$"},
      {"", "^screen 1024 768\n$"},
      {"800x", "VELMORA_SCREEN: '800x' is not WIDTHxHEIGHT.*using 1024x768\nscreen 1024 768\n$"},
      {"0x480", "VELMORA_SCREEN: '0x480' is not WIDTHxHEIGHT.*\nscreen 1024 768\n$"},
      {"640*480", "VELMORA_SCREEN: '640\\*480' is not WIDTHxHEIGHT.*\nscreen 1024 768\n$"},
      {"99999x10", "VELMORA_SCREEN: '99999x10' is not WIDTHxHEIGHT.*\nscreen 1024 768\n$"},
  };
  for (const auto& c : cases) {
    setenv("VELMORA_SCREEN", c.value, 1);
    EXPECT_EXIT(print_screen_size(), ::testing::ExitedWithCode(0), c.output) << c.value;
    unsetenv("VELMORA_SCREEN");
  }
}

[[noreturn]] void show_message_box() {
  vlmr_test::use_headless_platform();
  const int answer = MessageBoxA(nullptr, "Range check error", "Error", MB_OK | MB_ICONERROR);
  std::exit(answer == IDOK ? 0 : 1);
}

TEST_F(HeadlessProcess, MessageBoxIsALineOnStderrAnsweredOk) {
  EXPECT_EXIT(show_message_box(), ::testing::ExitedWithCode(0), "^Error: Range check error\n$");
}

}  // namespace
