// Plays the window manager's part with plain Xlib; no header of the platform
// layer is included here, so Xlib's names clash with nothing.
#include "wm_client.h"

#include <X11/Xlib.h>

namespace vlmr_x11_test {

bool send_delete_window(const std::string& display, unsigned long window) {
  Display* dpy = XOpenDisplay(display.c_str());
  if (dpy == nullptr) return false;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(dpy, window, False, NoEventMask, &ev) != 0;
  XSync(dpy, False);
  XCloseDisplay(dpy);
  return sent;
}

}  // namespace vlmr_x11_test
