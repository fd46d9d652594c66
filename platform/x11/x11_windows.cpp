// Native windows: each core window has one X window covering its client area.
// A top-level window is placed so its client area is where the core has it
// (the window manager adds its own frame); a bordered pop-up or child gets an
// X border as wide as its frame. Child windows are X children of their parent.
#include "x11_internal.h"
#include "window_internal.h"

#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vlmr::x11 {
namespace {

constexpr uint32_t kStatusGrey = 0xD4D0C8;
constexpr long kTopLevelEvents = KeyPressMask | KeyReleaseMask | ButtonPressMask |
                                 ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                                 ExposureMask | StructureNotifyMask | FocusChangeMask |
                                 PropertyChangeMask;
// Pointer input on a child window travels up to its top-level window, where
// the core finds the child under the pointer.
constexpr long kChildEvents = ExposureMask;

bool is_status_bar(const Window& w) { return w.cls && w.cls->system && w.cls->name == kStatusClass; }

bool captioned(const Window& w) { return (w.style & WS_CAPTION) == WS_CAPTION; }

// Where the X window goes: its border's top-left corner in the parent's X
// coordinates, its inside size and its border width.
struct Placement {
  int x, y;
  unsigned width, height, border;
};

Placement placement(const Window& w) {
  const RECT client = w.client_rect();
  Placement p{};
  p.border = (w.is_child() || !captioned(w)) ? static_cast<unsigned>(w.frame_left()) : 0;
  if (w.is_child()) {
    p.x = w.rect.left;
    p.y = w.rect.top;
  } else {
    const POINT origin = w.client_origin();
    p.x = origin.x - static_cast<int>(p.border);
    p.y = origin.y - static_cast<int>(p.border);
  }
  // X has no empty windows; a window of no size is one pixel (and unmapped).
  p.width = static_cast<unsigned>(std::max<LONG>(1, client.right));
  p.height = static_cast<unsigned>(std::max<LONG>(1, client.bottom));
  return p;
}

bool has_area(const Window& w) {
  const RECT client = w.client_rect();
  return client.right > 0 && client.bottom > 0;
}

// Size hints: the position is the program's own; a window without a sizing
// frame keeps its size.
void set_size_hints(Conn& c, const Window& w, XWindow xid) {
  const Placement p = placement(w);
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = USPosition | PPosition | USSize | PSize | PWinGravity;
  hints->x = p.x;
  hints->y = p.y;
  hints->width = static_cast<int>(p.width);
  hints->height = static_cast<int>(p.height);
  hints->win_gravity = StaticGravity;
  if ((w.style & WS_THICKFRAME) == 0) {
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = hints->width;
    hints->min_height = hints->max_height = hints->height;
  }
  XSetWMNormalHints(c.dpy, xid, hints);
  XFree(hints);
}

// The properties a window manager reads from a top-level window.
void set_top_level_properties(Conn& c, const Window& w, XWindow xid) {
  Atom protocols[] = {c.atoms.wm_delete_window, c.atoms.net_wm_ping};
  XSetWMProtocols(c.dpy, xid, protocols, 2);

  XWMHints* wm = XAllocWMHints();
  wm->flags = InputHint | StateHint;
  wm->input = True;
  wm->initial_state = NormalState;
  XSetWMHints(c.dpy, xid, wm);
  XFree(wm);

  XClassHint* class_hint = XAllocClassHint();
  std::string res_name = program_invocation_short_name;
  std::string res_class = w.cls ? w.cls->name : "Velmora";
  class_hint->res_name = res_name.data();
  class_hint->res_class = res_class.data();
  XSetClassHint(c.dpy, xid, class_hint);
  XFree(class_hint);

  const long pid = static_cast<long>(getpid());
  XChangeProperty(c.dpy, xid, c.atoms.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);

  if (!captioned(w)) {
    // No caption: ask for no decorations (full screen, pop-ups).
    const long motif[5] = {2 /* decorations field valid */, 0, 0 /* none */, 0, 0};
    XChangeProperty(c.dpy, xid, c.atoms.motif_wm_hints, c.atoms.motif_wm_hints, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(motif), 5);
  }
  set_size_hints(c, w, xid);
}

unsigned long background_of(Conn& c, const Window& w, bool& has) {
  has = true;
  if (is_status_bar(w)) return pixel_of(c, kStatusGrey);
  if (w.cls) {
    if (Brush* b = find<Brush>(w.cls->background); b && !b->hollow) {
      const COLORREF cr = b->color;
      return pixel_of(c, (uint32_t(GetRValue(cr)) << 16) | (uint32_t(GetGValue(cr)) << 8) |
                             GetBValue(cr));
    }
  }
  has = false;  // no background: nothing is cleared before the program paints
  return 0;
}

XWindow make_x_window(Conn& c, Window& w, Visual* visual, int depth, Colormap colormap) {
  XWindow parent = c.root;
  if (w.is_child()) {
    Window* par = find_window(w.parent);
    parent = par ? xid_of(*par) : 0;
    if (parent == 0) return 0;
  }
  const Placement p = placement(w);
  XSetWindowAttributes a{};
  unsigned long mask = CWColormap | CWBorderPixel | CWEventMask | CWBitGravity;
  a.colormap = colormap;
  a.border_pixel = pixel_of(c, 0x404040);
  a.event_mask = w.is_child() ? kChildEvents : kTopLevelEvents;
  a.bit_gravity = NorthWestGravity;
  bool has_background = false;
  a.background_pixel = background_of(c, w, has_background);
  mask |= has_background ? CWBackPixel : CWBackPixmap;
  if (!has_background) a.background_pixmap = None;
  XWindow xid = XCreateWindow(c.dpy, parent, p.x, p.y, p.width, p.height, p.border, depth,
                              InputOutput, visual, mask, &a);
  if (xid == 0) return 0;
  if (!w.is_child()) set_top_level_properties(c, w, xid);
  return xid;
}

XCursor font_cursor(Conn& c, unsigned shape) {
  auto it = c.cursors.find(static_cast<int>(shape));
  if (it != c.cursors.end()) return it->second;
  XCursor cursor = XCreateFontCursor(c.dpy, shape);
  c.cursors.emplace(static_cast<int>(shape), cursor);
  return cursor;
}

// The X font cursor for a standard cursor id; the arrow for anything else
// (icons, cursors loaded from files).
unsigned cursor_shape(int id) {
  switch (id) {
    case 32513: return XC_xterm;              // IDC_IBEAM
    case 32514: return XC_watch;              // IDC_WAIT
    case 32515: return XC_crosshair;          // IDC_CROSS
    case 32516: return XC_sb_up_arrow;        // IDC_UPARROW
    case 32640: return XC_fleur;              // IDC_SIZE
    case 32641: return XC_icon;               // IDC_ICON
    case 32642: return XC_bottom_right_corner;  // IDC_SIZENWSE
    case 32643: return XC_bottom_left_corner;   // IDC_SIZENESW
    case 32644: return XC_sb_h_double_arrow;  // IDC_SIZEWE
    case 32645: return XC_sb_v_double_arrow;  // IDC_SIZENS
    case 32646: return XC_fleur;              // IDC_SIZEALL
    case 32648: return XC_X_cursor;           // IDC_NO
    case 32649: return XC_hand2;              // IDC_HAND
    case 32650: return XC_watch;              // IDC_APPSTARTING
    case 32651: return XC_question_arrow;     // IDC_HELP
    default: return XC_left_ptr;              // IDC_ARROW and the rest
  }
}

}  // namespace

void create_native(Conn& c, Window& w) {
  auto* n = new Native;
  w.native = n;
  n->border = static_cast<int>(placement(w).border);
  n->xid = make_x_window(c, w, c.visual, c.depth, c.colormap);
  if (n->xid == 0) return;
  c.windows[n->xid] = w.hwnd();
  if (!w.is_child()) title_native(c, w);
  if (w.cls && w.cls->cursor) {
    define_cursor(c, w, w.cls->cursor);
  } else if (!w.is_child()) {
    XDefineCursor(c.dpy, n->xid, font_cursor(c, XC_left_ptr));
  }
  if (w.region) shape_native(c, w);
}

void destroy_native(Conn& c, Window& w) {
  Native* n = native_of(w);
  if (n == nullptr) return;
  if (n->xid != 0) {
    if (glXGetCurrentDrawable() == n->xid) glXMakeCurrent(c.dpy, None, nullptr);
    c.windows.erase(n->xid);
    XDestroyWindow(c.dpy, n->xid);
    XFlush(c.dpy);
  }
  if (n->colormap != 0) XFreeColormap(c.dpy, n->colormap);
  delete n;
  w.native = nullptr;
}

void move_native(Conn& c, Window& w) {
  Native* n = native_of(w);
  if (n == nullptr || n->xid == 0) return;
  const Placement p = placement(w);
  if (static_cast<int>(p.border) != n->border) {
    XSetWindowBorderWidth(c.dpy, n->xid, p.border);
    n->border = static_cast<int>(p.border);
  }
  if (!w.is_child()) set_size_hints(c, w, n->xid);
  XMoveResizeWindow(c.dpy, n->xid, p.x, p.y, p.width, p.height);
  // A window that lost or gained its area is shown or hidden with it.
  show_native(c, w);
}

void show_native(Conn& c, Window& w) {
  Native* n = native_of(w);
  if (n == nullptr || n->xid == 0) return;
  if (w.visible && has_area(w)) XMapWindow(c.dpy, n->xid);
  else XUnmapWindow(c.dpy, n->xid);
  XFlush(c.dpy);
}

void title_native(Conn& c, Window& w) {
  XWindow xid = xid_of(w);
  if (xid == 0 || w.is_child()) return;
  const std::string utf8 = cp1252_to_utf8(w.text);
  const std::string latin1 = cp1252_to_latin1(w.text);
  for (Atom name : {c.atoms.net_wm_name, c.atoms.net_wm_icon_name}) {
    XChangeProperty(c.dpy, xid, name, c.atoms.utf8_string, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
  }
  for (Atom name : {Atom(XA_WM_NAME), Atom(XA_WM_ICON_NAME)}) {
    XChangeProperty(c.dpy, xid, name, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(latin1.data()),
                    static_cast<int>(latin1.size()));
  }
  XFlush(c.dpy);
}

void shape_native(Conn& c, Window& w) {
  XWindow xid = xid_of(w);
  if (xid == 0 || !c.has_shape) return;
  if (w.region == nullptr) {
    XShapeCombineMask(c.dpy, xid, ShapeBounding, 0, 0, None, ShapeSet);
    return;
  }
  const DWORD size = GetRegionData(w.region, 0, nullptr);
  if (size == 0) return;
  std::vector<unsigned char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(w.region, size, data) == 0) return;
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  std::vector<XRectangle> xrects;
  xrects.reserve(data->rdh.nCount);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) {
    const RECT& r = rects[i];
    xrects.push_back(XRectangle{static_cast<short>(r.left), static_cast<short>(r.top),
                                static_cast<unsigned short>(r.right - r.left),
                                static_cast<unsigned short>(r.bottom - r.top)});
  }
  // The region is in client coordinates, which are the X window's own; an
  // empty region leaves nothing of the window.
  XShapeCombineRectangles(c.dpy, xid, ShapeBounding, 0, 0, xrects.data(),
                          static_cast<int>(xrects.size()), ShapeSet, YXBanded);
  XFlush(c.dpy);
}

void put_pixels(Conn& c, Drawable d, int x, int y, const uint32_t* rgb, int width, int height) {
  if (width <= 0 || height <= 0) return;
  XImage* image = XCreateImage(c.dpy, c.visual, static_cast<unsigned>(c.depth), ZPixmap, 0,
                               nullptr, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 32, 0);
  if (image == nullptr) return;
  image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) *
                                               static_cast<size_t>(height)));
  if (image->data == nullptr) {
    XDestroyImage(image);
    return;
  }
  const bool native_layout = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 &&
                             image->green_mask == 0xFF00 && image->blue_mask == 0xFF &&
                             image->byte_order == LSBFirst &&
                             image->bytes_per_line == width * 4;
  if (native_layout) {
    std::memcpy(image->data, rgb, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  } else {
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col)
        XPutPixel(image, col, row, pixel_of(c, rgb[static_cast<size_t>(row) * width + col]));
  }
  XPutImage(c.dpy, d, c.gc, image, 0, 0, x, y, static_cast<unsigned>(width),
            static_cast<unsigned>(height));
  XDestroyImage(image);
}

void paint_native(Conn& c, Window& w) {
  Native* n = native_of(w);
  if (n == nullptr || n->xid == 0 || w.pixel_format) return;
  if (is_status_bar(w)) {
    draw_status_bar(c, w);
  } else {
    const RECT client = w.client_rect();
    if (w.surface.size() != static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom))
      return;  // nothing painted yet
    put_pixels(c, n->xid, 0, 0, w.surface.data(), client.right, client.bottom);
  }
  XFlush(c.dpy);
}

bool use_visual(Conn& c, Window& w, XVisualInfo& visual) {
  Native* n = native_of(w);
  if (n == nullptr || n->xid == 0) return false;
  Colormap colormap = XCreateColormap(c.dpy, c.root, visual.visual, AllocNone);
  XWindow fresh = make_x_window(c, w, visual.visual, visual.depth, colormap);
  if (fresh == 0) {
    XFreeColormap(c.dpy, colormap);
    return false;
  }
  // The children move over to the new window; then the old one goes.
  for (Window* child : children_of(w.hwnd())) {
    if (XWindow cx = xid_of(*child)) {
      const Placement p = placement(*child);
      XReparentWindow(c.dpy, cx, fresh, p.x, p.y);
    }
  }
  c.windows.erase(n->xid);
  XDestroyWindow(c.dpy, n->xid);
  if (n->colormap != 0) XFreeColormap(c.dpy, n->colormap);
  n->xid = fresh;
  n->colormap = colormap;
  n->mapped = false;
  c.windows[fresh] = w.hwnd();
  if (!w.is_child()) title_native(c, w);
  if (w.cls && w.cls->cursor) define_cursor(c, w, w.cls->cursor);
  else if (!w.is_child()) XDefineCursor(c.dpy, fresh, font_cursor(c, XC_left_ptr));
  if (w.region) shape_native(c, w);
  show_native(c, w);
  return true;
}

void define_cursor(Conn& c, Window& w, HCURSOR cursor) {
  XWindow xid = xid_of(w);
  Cursor* cur = find<Cursor>(cursor);
  if (xid == 0 || cur == nullptr) return;
  XDefineCursor(c.dpy, xid, font_cursor(c, cursor_shape(cur->shape)));
  XFlush(c.dpy);
}

}  // namespace vlmr::x11
