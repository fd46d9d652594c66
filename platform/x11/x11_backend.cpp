// The X11 backend: real windows through Xlib, OpenGL through GLX, shaped
// windows through XShape, on the display named by DISPLAY. The pieces live in
// the x11_*.cpp files; this one answers the core's backend interface.
#include "x11_internal.h"

#include <poll.h>

#include <cstdio>

namespace vlmr {
namespace {

using namespace x11;

constexpr long kGrabEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                             ButtonMotionMask;

class X11Backend final : public Backend {
 public:
  ~X11Backend() override {
    if (c_.dpy != nullptr && glXGetCurrentContext() != nullptr)
      glXMakeCurrent(c_.dpy, None, nullptr);
    close_display(c_);
  }

  const char* name() const override { return "x11"; }

  bool open(std::string& error) override { return open_display(c_, error); }

  void screen_size(int& width, int& height) override {
    width = DisplayWidth(c_.dpy, c_.screen);
    height = DisplayHeight(c_.dpy, c_.screen);
  }

  void window_created(Window& w) override { create_native(c_, w); }
  void window_destroyed(Window& w) override { destroy_native(c_, w); }
  void window_moved(Window& w) override { move_native(c_, w); }
  void window_shown(Window& w) override { show_native(c_, w); }
  void window_titled(Window& w) override { title_native(c_, w); }
  void window_shaped(Window& w) override { shape_native(c_, w); }
  void window_painted(Window& w) override { paint_native(c_, w); }

  void pump() override {
    while (XPending(c_.dpy) > 0) {
      XEvent ev;
      XNextEvent(c_.dpy, &ev);
      handle_event(c_, ev, false);
    }
  }

  void wait(int timeout_ms) override {
    if (XPending(c_.dpy) > 0) return;  // already read from the connection
    pollfd fd{ConnectionNumber(c_.dpy), POLLIN, 0};
    poll(&fd, 1, timeout_ms < 0 ? -1 : timeout_ms);
  }

  int choose_pixel_format(const PIXELFORMATDESCRIPTOR& pfd) override {
    return choose_format(c_, pfd);
  }

  bool set_pixel_format(Window& w, int format) override {
    Native* n = native_of(w);
    if (n == nullptr || n->xid == 0 || format < 1 ||
        format > static_cast<int>(c_.formats.size()))
      return false;
    GLXFBConfig config = c_.formats[static_cast<size_t>(format - 1)];
    XVisualInfo* vi = glXGetVisualFromFBConfig(c_.dpy, config);
    if (vi == nullptr) return false;
    bool ok = vi->visualid == c_.visual_id || use_visual(c_, w, *vi);
    XFree(vi);
    if (!ok) return false;
    n->config = config;
    // OpenGL draws every pixel: the server need not clear the window first.
    XSetWindowBackgroundPixmap(c_.dpy, n->xid, None);
    return true;
  }

  void* create_context(Window& w) override {
    Native* n = native_of(w);
    if (n == nullptr || n->config == nullptr) return nullptr;
    GlContext* context = create_gl_context(c_, n->config);
    if (context == nullptr)
      std::fprintf(stderr, "velmora: x11: cannot create an OpenGL context\n");
    return context;
  }

  bool make_current(Window* w, void* context) override {
    auto* gl = static_cast<GlContext*>(context);
    if (w == nullptr || gl == nullptr) return glXMakeCurrent(c_.dpy, None, nullptr) == True;
    Native* n = native_of(*w);
    if (n == nullptr || n->xid == 0 || n->config != gl->config) return false;
    return glXMakeCurrent(c_.dpy, n->xid, gl->context) == True;
  }

  void delete_context(void* context) override {
    auto* gl = static_cast<GlContext*>(context);
    if (gl == nullptr) return;
    if (glXGetCurrentContext() == gl->context) glXMakeCurrent(c_.dpy, None, nullptr);
    glXDestroyContext(c_.dpy, gl->context);
    delete gl;
  }

  bool swap_buffers(Window& w) override {
    Native* n = native_of(w);
    if (n == nullptr || n->xid == 0 || n->config == nullptr) return false;
    glXSwapBuffers(c_.dpy, n->xid);
    // The next frame starts by asking the server for the window's size; a
    // window destroyed by another client is best noticed before that.
    XEvent ev;
    if (XEventsQueued(c_.dpy, QueuedAfterReading) > 0 &&
        XCheckTypedWindowEvent(c_.dpy, n->xid, DestroyNotify, &ev))
      handle_event(c_, ev, false);
    return true;
  }

  POINT cursor_pos() override {
    if (c_.in_event) return c_.event_pointer;
    XWindow root = 0, child = 0;
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(c_.dpy, c_.root, &root, &child, &root_x, &root_y, &x, &y, &mask);
    return POINT{root_x, root_y};
  }

  void set_cursor_pos(int x, int y) override {
    XWarpPointer(c_.dpy, None, c_.root, 0, 0, 0, 0, x, y);
    XFlush(c_.dpy);
  }

  // Capture grabs the pointer for the top-level window, so a drag keeps
  // reporting when it leaves the window; the core sends the messages on to
  // the capturing window.
  void capture_changed(Window* w) override {
    if (w == nullptr) {
      XUngrabPointer(c_.dpy, CurrentTime);
      XFlush(c_.dpy);
      return;
    }
    Window* top = top_level_of(*w);
    XWindow xid = top ? xid_of(*top) : 0;
    if (xid == 0) return;
    XGrabPointer(c_.dpy, xid, False, kGrabEvents, GrabModeAsync, GrabModeAsync, None, None,
                 CurrentTime);
  }

  void cursor_changed(Window& w, HCURSOR cursor) override { define_cursor(c_, w, cursor); }

  int message_box(HWND owner, const char* text, const char* caption, UINT) override {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
    std::fflush(stderr);
    if (c_.dpy == nullptr) return IDOK;
    return show_message_box(c_, owner, text ? text : "", caption ? caption : "Error");
  }

 private:
  Conn c_;
};

}  // namespace

std::unique_ptr<Backend> make_x11_backend() { return std::make_unique<X11Backend>(); }

}  // namespace vlmr
