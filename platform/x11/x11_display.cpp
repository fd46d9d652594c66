// The X display connection: opening it, the error handlers, the atoms, and
// finding the core window behind an X window.
#include "x11_internal.h"

#include <X11/XKBlib.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstdlib>

namespace vlmr::x11 {
namespace {

unsigned long g_errors = 0;
const char* g_display_name = "";

// Protocol errors are expected (a request on a window another client has just
// destroyed, a focus change on a window not yet viewable): they are counted
// and never end the program.
int record_error(Display*, XErrorEvent*) {
  ++g_errors;
  return 0;
}

// A lost connection cannot be recovered from: say so and leave at once,
// rather than hang or run on without a screen.
int lost_display(Display*) {
  std::fprintf(stderr, "velmora: the connection to the X display %s was lost\n", g_display_name);
  std::fflush(stderr);
  _exit(1);
}

Atom intern(Display* dpy, const char* name) { return XInternAtom(dpy, name, False); }

unsigned long scale(uint32_t value8, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long max = mask >> shift;
  return ((static_cast<unsigned long>(value8) * max + 127) / 255) << shift;
}

}  // namespace

bool open_display(Conn& c, std::string& error) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    error = "no X display (DISPLAY is not set)";
    return false;
  }
  c.dpy = XOpenDisplay(name);
  if (c.dpy == nullptr) {
    error = std::string("cannot open the X display \"") + name + "\"";
    return false;
  }
  g_display_name = DisplayString(c.dpy);
  XSetErrorHandler(record_error);
  XSetIOErrorHandler(lost_display);
  c.screen = DefaultScreen(c.dpy);
  c.root = RootWindow(c.dpy, c.screen);

  Atoms& a = c.atoms;
  a.wm_protocols = intern(c.dpy, "WM_PROTOCOLS");
  a.wm_delete_window = intern(c.dpy, "WM_DELETE_WINDOW");
  a.wm_state = intern(c.dpy, "WM_STATE");
  a.net_wm_ping = intern(c.dpy, "_NET_WM_PING");
  a.net_wm_name = intern(c.dpy, "_NET_WM_NAME");
  a.net_wm_icon_name = intern(c.dpy, "_NET_WM_ICON_NAME");
  a.utf8_string = intern(c.dpy, "UTF8_STRING");
  a.net_wm_pid = intern(c.dpy, "_NET_WM_PID");
  a.net_wm_state = intern(c.dpy, "_NET_WM_STATE");
  a.net_wm_state_hidden = intern(c.dpy, "_NET_WM_STATE_HIDDEN");
  a.net_wm_state_modal = intern(c.dpy, "_NET_WM_STATE_MODAL");
  a.net_wm_window_type = intern(c.dpy, "_NET_WM_WINDOW_TYPE");
  a.net_wm_window_type_dialog = intern(c.dpy, "_NET_WM_WINDOW_TYPE_DIALOG");
  a.motif_wm_hints = intern(c.dpy, "_MOTIF_WM_HINTS");

  int event_base = 0, error_base = 0;
  c.has_shape = XShapeQueryExtension(c.dpy, &event_base, &error_base) != 0;
  // A held key then repeats as presses alone, without a release before each.
  Bool supported = False;
  c.detectable_repeat = XkbSetDetectableAutoRepeat(c.dpy, True, &supported) && supported;

  if (!choose_window_config(c, error)) {
    close_display(c);
    return false;
  }
  Pixmap scratch = XCreatePixmap(c.dpy, c.root, 1, 1, static_cast<unsigned>(c.depth));
  c.gc = XCreateGC(c.dpy, scratch, 0, nullptr);
  XFreePixmap(c.dpy, scratch);
  return true;
}

void close_display(Conn& c) {
  if (c.dpy == nullptr) return;
  for (auto& [shape, cursor] : c.cursors) XFreeCursor(c.dpy, cursor);
  c.cursors.clear();
  if (c.font != nullptr) XFreeFont(c.dpy, c.font);
  if (c.gc != nullptr) XFreeGC(c.dpy, c.gc);
  if (c.own_colormap) XFreeColormap(c.dpy, c.colormap);
  XCloseDisplay(c.dpy);
  c = Conn{};
}

unsigned long error_count() { return g_errors; }

Window* window_of(Conn& c, XWindow xid) {
  auto it = c.windows.find(xid);
  return it == c.windows.end() ? nullptr : find_window(it->second);
}

Native* native_of(Window& w) { return static_cast<Native*>(w.native); }

XWindow xid_of(Window& w) {
  Native* n = native_of(w);
  return n ? n->xid : 0;
}

Window* top_level_of(Window& w) {
  Window* at = &w;
  while (at != nullptr && at->is_child()) at = find_window(at->parent);
  return at;
}

unsigned long pixel_of(const Conn& c, uint32_t rgb) {
  return scale((rgb >> 16) & 0xFF, c.visual->red_mask) |
         scale((rgb >> 8) & 0xFF, c.visual->green_mask) | scale(rgb & 0xFF, c.visual->blue_mask);
}

XFontStruct* text_font(Conn& c) {
  if (c.font == nullptr) {
    // A Unicode font draws all of Windows-1252; a Latin-1 one nearly all.
    static const char* const kNames[] = {
        "-misc-fixed-medium-r-semicondensed--13-*-*-*-*-*-iso10646-1",
        "-misc-fixed-medium-r-normal--13-*-*-*-*-*-iso10646-1",
        "-misc-fixed-medium-r-semicondensed--13-*-*-*-*-*-iso8859-1", "fixed"};
    for (const char* name : kNames) {
      if ((c.font = XLoadQueryFont(c.dpy, name)) != nullptr) break;
    }
  }
  return c.font;
}

}  // namespace vlmr::x11
