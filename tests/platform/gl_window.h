// A captioned top-level window with an OpenGL context current on it, made the
// way a program makes one, for the driver and headless backend tests.
#pragma once

#include "vlmr_platform.h"

#include <cstdlib>

namespace vlmr_test {

// Tests run on the headless backend unless told otherwise (CTest sets it too).
inline void use_headless_platform() { setenv("VELMORA_PLATFORM", "headless", 0); }

class GlWindow {
 public:
  GlWindow(WNDPROC proc, int width, int height, const char* class_name = "VlmrTestGlWindow") {
    use_headless_platform();
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = class_name;
    RegisterClassA(&wc);  // fails harmlessly when a test made the class before
    hwnd = CreateWindowExA(0, class_name, "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20,
                           width, height, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return;
    dc = GetDC(hwnd);
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    if (!SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd)) return;
    rc = wglCreateContext(dc);
    if (rc && !wglMakeCurrent(dc, rc)) {
      wglDeleteContext(rc);
      rc = nullptr;
    }
  }
  ~GlWindow() {
    if (rc) wglDeleteContext(rc);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  GlWindow(const GlWindow&) = delete;
  GlWindow& operator=(const GlWindow&) = delete;

  bool ok() const { return rc != nullptr; }

  HWND hwnd = nullptr;
  HDC dc = nullptr;
  HGLRC rc = nullptr;
};

}  // namespace vlmr_test
