// The headless backend: no display, no native windows. OpenGL renders through
// EGL on Mesa into one pbuffer per window, as large as the virtual screen
// (VELMORA_SCREEN=WxH, 1024x768 by default), so a window can be resized
// without a new surface; the client area is the pbuffer's lower-left corner.
// Input comes only from the driving script; the cursor is virtual; message
// boxes are lines on stderr.
#include "core.h"
#include "virtual_pointer.h"

#define EGL_NO_X11  // keep Xlib's names out: they clash with the Win32 ones
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace vlmr {
namespace {

constexpr int kDefaultScreenWidth = 1024;
constexpr int kDefaultScreenHeight = 768;
constexpr int kMaxScreenSide = 16384;

struct ScreenSize {
  int width = kDefaultScreenWidth;
  int height = kDefaultScreenHeight;
};

bool parse_side(std::string_view s, int& out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size() && out >= 1 && out <= kMaxScreenSide;
}

// VELMORA_SCREEN, read once. A value that is not WIDTHxHEIGHT is reported and
// the default used.
const ScreenSize& virtual_screen() {
  static const ScreenSize size = [] {
    ScreenSize s;
    const char* text = std::getenv("VELMORA_SCREEN");
    if (text == nullptr || *text == '\0') return s;
    std::string_view v(text);
    const size_t x = v.find_first_of("xX");
    int w = 0, h = 0;
    if (x == std::string_view::npos || !parse_side(v.substr(0, x), w) ||
        !parse_side(v.substr(x + 1), h)) {
      std::fprintf(stderr,
                   "VELMORA_SCREEN: '%s' is not WIDTHxHEIGHT (each 1 to %d); using %dx%d\n",
                   text, kMaxScreenSide, s.width, s.height);
      return s;
    }
    s.width = w;
    s.height = h;
    return s;
  }();
  return size;
}

bool has_extension(const char* list, std::string_view name) {
  if (list == nullptr) return false;
  std::string_view all(list);
  for (size_t pos = 0; pos < all.size();) {
    size_t end = all.find(' ', pos);
    if (end == std::string_view::npos) end = all.size();
    if (all.substr(pos, end - pos) == name) return true;
    pos = end + 1;
  }
  return false;
}

std::string egl_error(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " (EGL error " + code + ")";
}

// Window::native of a window with a pixel format.
struct Surface {
  EGLSurface surface = EGL_NO_SURFACE;
};

// The native side of an HGLRC.
struct GlContext {
  EGLContext context = EGL_NO_CONTEXT;
  bool bound_before = false;  // has been made current at least once
};

class HeadlessBackend final : public Backend {
 public:
  // The pointer starts in the middle of the screen.
  HeadlessBackend() {
    set_virtual_pointer(POINT{virtual_screen().width / 2, virtual_screen().height / 2});
  }
  ~HeadlessBackend() override {
    if (display_ != EGL_NO_DISPLAY) {
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      eglTerminate(display_);
      eglReleaseThread();
    }
  }

  const char* name() const override { return "headless"; }

  bool open(std::string& error) override {
    // Mesa's surfaceless platform needs no display server at all; the default
    // display is the fallback for an EGL without it.
    const char* client_extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto get_platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLint major = 0, minor = 0;
    if (get_platform_display != nullptr &&
        has_extension(client_extensions, "EGL_MESA_platform_surfaceless")) {
      display_ = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
      if (display_ != EGL_NO_DISPLAY && !eglInitialize(display_, &major, &minor)) {
        display_ = EGL_NO_DISPLAY;
      }
    }
    if (display_ == EGL_NO_DISPLAY) {
      display_ = eglGetDisplay(EGL_DEFAULT_DISPLAY);
      if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor)) {
        display_ = EGL_NO_DISPLAY;
        error = egl_error("cannot initialise EGL");
        return false;
      }
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
      error = egl_error("EGL cannot render desktop OpenGL");
      return fail_open();
    }
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                 EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                 EGL_ALPHA_SIZE, 8, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8,
                                 EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display_, attributes, &config_, 1, &count) || count < 1) {
      error = egl_error(
          "no EGL configuration with an RGBA8 pbuffer, 24-bit depth and 8-bit stencil");
      return fail_open();
    }
    return true;
  }

  void screen_size(int& width, int& height) override {
    width = virtual_screen().width;
    height = virtual_screen().height;
  }

  // The core keeps every window's state; nothing is shown anywhere.
  void window_created(Window&) override {}
  void window_destroyed(Window& w) override {
    auto* s = static_cast<Surface*>(w.native);
    if (s == nullptr) return;
    if (eglGetCurrentSurface(EGL_DRAW) == s->surface) {
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroySurface(display_, s->surface);
    delete s;
    w.native = nullptr;
  }
  void window_moved(Window&) override {}
  void window_shown(Window&) override {}
  void window_titled(Window&) override {}
  void window_shaped(Window&) override {}
  void window_painted(Window&) override {}

  // Scripted input is posted by the driver; there is nothing else to wait for.
  void pump() override {}
  void wait(int) override {}

  // One pixel format: RGBA8, depth 24, stencil 8, double-buffered.
  int choose_pixel_format(const PIXELFORMATDESCRIPTOR&) override { return 1; }

  bool set_pixel_format(Window& w, int format) override {
    if (format != 1) return false;
    if (w.native != nullptr) return true;
    const EGLint attributes[] = {EGL_WIDTH, virtual_screen().width, EGL_HEIGHT,
                                 virtual_screen().height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display_, config_, attributes);
    if (surface == EGL_NO_SURFACE) {
      std::fprintf(stderr, "%s\n", egl_error("velmora: headless: cannot create a pbuffer").c_str());
      return false;
    }
    w.native = new Surface{surface};
    return true;
  }

  void* create_context(Window& w) override {
    if (w.native == nullptr) return nullptr;
    // A compatibility profile, so GL 1.x immediate mode and display lists work;
    // contexts share no objects.
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display_, config_, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) {
      // An EGL before 1.5 knows no profile attribute; its default is the legacy API.
      context = eglCreateContext(display_, config_, EGL_NO_CONTEXT, nullptr);
    }
    if (context == EGL_NO_CONTEXT) {
      std::fprintf(stderr, "%s\n",
                   egl_error("velmora: headless: cannot create an OpenGL context").c_str());
      return nullptr;
    }
    return new GlContext{context};
  }

  bool make_current(Window* w, void* context) override {
    auto* c = static_cast<GlContext*>(context);
    if (w == nullptr || c == nullptr) {
      return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    }
    auto* s = static_cast<Surface*>(w->native);
    if (s == nullptr) return false;
    if (!eglMakeCurrent(display_, s->surface, s->surface, c->context)) return false;
    if (!c->bound_before) {
      // A context first bound to a window starts with the viewport and scissor
      // box of that window's size; here that is the client area, not the whole
      // pbuffer behind it.
      c->bound_before = true;
      const RECT r = w->client_rect();
      glViewport(0, 0, r.right - r.left, r.bottom - r.top);
      glScissor(0, 0, r.right - r.left, r.bottom - r.top);
    }
    return true;
  }

  void delete_context(void* context) override {
    auto* c = static_cast<GlContext*>(context);
    if (c == nullptr) return;
    if (eglGetCurrentContext() == c->context) {
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display_, c->context);
    delete c;
  }

  // A pbuffer has nothing to show: presenting is finishing the frame's
  // commands. The pixels stay where they are.
  bool swap_buffers(Window& w) override {
    auto* s = static_cast<Surface*>(w.native);
    if (s == nullptr) return false;
    if (eglGetCurrentSurface(EGL_DRAW) == s->surface) glFlush();
    return true;
  }

  POINT cursor_pos() override { return virtual_pointer(); }

  // Moving the virtual pointer is seen by the program as a mouse move over its
  // main window, as a warp of a real pointer would be.
  void set_cursor_pos(int x, int y) override {
    set_virtual_pointer(POINT{x, y});
    if (warping_) return;
    Window* main = main_window();
    if (main == nullptr) return;
    warping_ = true;
    const POINT origin = main->client_origin();
    deliver_mouse(*main, WM_MOUSEMOVE, x - origin.x, y - origin.y, mouse_key_flags());
    warping_ = false;
  }

  void capture_changed(Window*) override {}
  void cursor_changed(Window&, HCURSOR) override {}

  int message_box(HWND, const char* text, const char* caption, UINT) override {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
    std::fflush(stderr);
    return IDOK;
  }

 private:
  bool fail_open() {
    eglTerminate(display_);
    display_ = EGL_NO_DISPLAY;
    return false;
  }

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  bool warping_ = false;  // set_cursor_pos is delivering its mouse move
};

}  // namespace

std::unique_ptr<Backend> make_headless_backend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace vlmr
