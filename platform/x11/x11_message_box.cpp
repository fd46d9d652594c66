// The message box: a small modal dialog with the caption as its title, the
// text, and an OK button, drawn with Xlib. It runs its own event loop until
// Return, Escape, Space, a click on OK or the close button dismisses it; the
// other windows meanwhile get no input, but their other events are handled.
#include "x11_internal.h"

#include <X11/keysym.h>

#include <algorithm>

namespace vlmr::x11 {
namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kMinWidth = 200;
constexpr int kMaxTextWidth = 560;

struct Box {
  XWindow xid = 0;
  int width = 0, height = 0;
  std::vector<std::string> lines;  // Windows-1252
  XRectangle button{};
  bool pressed = false;  // the button is held down with the pointer over it
};

// The text's lines, long ones wrapped at spaces to fit kMaxTextWidth.
std::vector<std::string> layout(XFontStruct* font, const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    while (text_width(font, line) > kMaxTextWidth) {
      size_t cut = line.size();
      while (cut > 0 && text_width(font, line.substr(0, cut)) > kMaxTextWidth) --cut;
      const size_t space = line.rfind(' ', cut);
      if (space != std::string::npos && space > 0) cut = space;
      if (cut == 0) cut = 1;
      lines.push_back(line.substr(0, cut));
      line.erase(0, line[cut] == ' ' ? cut + 1 : cut);
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

void bevel(Conn& c, XWindow xid, const XRectangle& r, bool sunken) {
  const int x0 = r.x, y0 = r.y, x1 = r.x + r.width - 1, y1 = r.y + r.height - 1;
  XSetForeground(c.dpy, c.gc, pixel_of(c, sunken ? kDarkShadow : kLight));
  XDrawLine(c.dpy, xid, c.gc, x0, y0, x1, y0);
  XDrawLine(c.dpy, xid, c.gc, x0, y0, x0, y1);
  XSetForeground(c.dpy, c.gc, pixel_of(c, sunken ? kLight : kDarkShadow));
  XDrawLine(c.dpy, xid, c.gc, x0, y1, x1, y1);
  XDrawLine(c.dpy, xid, c.gc, x1, y0, x1, y1);
  XSetForeground(c.dpy, c.gc, pixel_of(c, kShadow));
  if (sunken) XDrawLine(c.dpy, xid, c.gc, x0 + 1, y0 + 1, x1 - 1, y0 + 1);
  else XDrawLine(c.dpy, xid, c.gc, x0 + 1, y1 - 1, x1 - 1, y1 - 1);
}

void draw(Conn& c, Box& box) {
  XFontStruct* font = text_font(c);
  XSetForeground(c.dpy, c.gc, pixel_of(c, kFace));
  XFillRectangle(c.dpy, box.xid, c.gc, 0, 0, static_cast<unsigned>(box.width),
                 static_cast<unsigned>(box.height));
  XSetForeground(c.dpy, c.gc, pixel_of(c, kText));
  const int line_height = font ? font->ascent + font->descent + 2 : 15;
  int baseline = kMargin + (font ? font->ascent : 12);
  for (const std::string& line : box.lines) {
    draw_text(c, box.xid, kMargin, baseline, line);
    baseline += line_height;
  }
  bevel(c, box.xid, box.button, box.pressed);
  const std::string ok = "OK";
  const int shift = box.pressed ? 1 : 0;
  const int tx = box.button.x + (box.button.width - text_width(font, ok)) / 2 + shift;
  const int ty = box.button.y + (box.button.height + (font ? font->ascent - font->descent : 10)) / 2 + shift;
  XSetForeground(c.dpy, c.gc, pixel_of(c, kText));
  draw_text(c, box.xid, tx, ty, ok);
  XFlush(c.dpy);
}

bool in_button(const Box& box, int x, int y) {
  return x >= box.button.x && x < box.button.x + box.button.width && y >= box.button.y &&
         y < box.button.y + box.button.height;
}

void set_properties(Conn& c, const Box& box, const std::string& caption, XWindow owner) {
  const std::string utf8 = cp1252_to_utf8(caption);
  const std::string latin1 = cp1252_to_latin1(caption);
  XChangeProperty(c.dpy, box.xid, c.atoms.net_wm_name, c.atoms.utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()),
                  static_cast<int>(utf8.size()));
  XChangeProperty(c.dpy, box.xid, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(latin1.data()),
                  static_cast<int>(latin1.size()));
  Atom protocols[] = {c.atoms.wm_delete_window};
  XSetWMProtocols(c.dpy, box.xid, protocols, 1);
  XChangeProperty(c.dpy, box.xid, c.atoms.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&c.atoms.net_wm_window_type_dialog), 1);
  XChangeProperty(c.dpy, box.xid, c.atoms.net_wm_state, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&c.atoms.net_wm_state_modal), 1);
  if (owner != 0) XSetTransientForHint(c.dpy, box.xid, owner);
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PMinSize | PMaxSize;
  hints->min_width = hints->max_width = box.width;
  hints->min_height = hints->max_height = box.height;
  XSetWMNormalHints(c.dpy, box.xid, hints);
  XFree(hints);
  XWMHints* wm = XAllocWMHints();
  wm->flags = InputHint;
  wm->input = True;
  XSetWMHints(c.dpy, box.xid, wm);
  XFree(wm);
}

// The box's top-left corner: centred on its owner, else on the screen.
POINT centre(Conn& c, Window* owner, int width, int height) {
  RECT area{0, 0, DisplayWidth(c.dpy, c.screen), DisplayHeight(c.dpy, c.screen)};
  if (owner != nullptr && owner->visible) area = owner->rect;
  POINT p{area.left + (area.right - area.left - width) / 2,
          area.top + (area.bottom - area.top - height) / 2};
  p.x = std::max<LONG>(0, p.x);
  p.y = std::max<LONG>(0, p.y);
  return p;
}

}  // namespace

int show_message_box(Conn& c, HWND owner, const char* text, const char* caption) {
  Window* owner_window = find_window(owner);
  if (owner_window != nullptr) owner_window = top_level_of(*owner_window);
  const XWindow owner_xid = owner_window ? xid_of(*owner_window) : 0;

  XFontStruct* font = text_font(c);
  Box box;
  box.lines = layout(font, text);
  int text_w = 0;
  for (const std::string& line : box.lines) text_w = std::max(text_w, text_width(font, line));
  const int line_height = font ? font->ascent + font->descent + 2 : 15;
  box.width = std::max(kMinWidth, text_w + 2 * kMargin);
  box.height = kMargin + static_cast<int>(box.lines.size()) * line_height + kMargin +
               kButtonHeight + kMargin;
  box.button = XRectangle{static_cast<short>((box.width - kButtonWidth) / 2),
                          static_cast<short>(box.height - kMargin - kButtonHeight),
                          kButtonWidth, kButtonHeight};
  const POINT at = centre(c, owner_window, box.width, box.height);

  XSetWindowAttributes a{};
  a.colormap = c.colormap;
  a.border_pixel = pixel_of(c, kDarkShadow);
  a.background_pixel = pixel_of(c, kFace);
  a.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                 PointerMotionMask | StructureNotifyMask;
  box.xid = XCreateWindow(c.dpy, c.root, at.x, at.y, static_cast<unsigned>(box.width),
                          static_cast<unsigned>(box.height), 1, c.depth, InputOutput, c.visual,
                          CWColormap | CWBorderPixel | CWBackPixel | CWEventMask, &a);
  if (box.xid == 0) return IDOK;
  set_properties(c, box, caption, owner_xid);

  // The box takes the pointer from a window that holds it (a drag in progress).
  const bool had_capture = capture_window() != nullptr;
  if (had_capture) XUngrabPointer(c.dpy, CurrentTime);
  XMapRaised(c.dpy, box.xid);
  XFlush(c.dpy);

  bool done = false;
  while (!done) {
    XEvent ev;
    XNextEvent(c.dpy, &ev);
    if (ev.xany.window != box.xid) {
      handle_event(c, ev, true);
      continue;
    }
    switch (ev.type) {
      case MapNotify:
        XSetInputFocus(c.dpy, box.xid, RevertToParent, CurrentTime);
        break;
      case Expose:
        if (ev.xexpose.count == 0) draw(c, box);
        break;
      case KeyPress: {
        const KeySym sym = XLookupKeysym(&ev.xkey, 0);
        done = sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space;
        break;
      }
      case ButtonPress:
        if (ev.xbutton.button == Button1 && in_button(box, ev.xbutton.x, ev.xbutton.y)) {
          box.pressed = true;
          draw(c, box);
        }
        break;
      case ButtonRelease:
        if (ev.xbutton.button == Button1) {
          done = box.pressed && in_button(box, ev.xbutton.x, ev.xbutton.y);
          if (box.pressed) {
            box.pressed = false;
            draw(c, box);
          }
        }
        break;
      case ClientMessage:
        done = ev.xclient.message_type == c.atoms.wm_protocols &&
               static_cast<Atom>(ev.xclient.data.l[0]) == c.atoms.wm_delete_window;
        break;
      case DestroyNotify:
        box.xid = 0;  // destroyed by another client
        done = true;
        break;
      default:
        break;
    }
  }
  if (box.xid != 0) XDestroyWindow(c.dpy, box.xid);
  if (owner_xid != 0 && owner_window && owner_window->visible && find_window(owner))
    XSetInputFocus(c.dpy, owner_xid, RevertToParent, CurrentTime);
  if (had_capture) {
    if (Window* holder = find_window(capture_window())) {
      if (Window* top = top_level_of(*holder)) {
        if (XWindow xid = xid_of(*top))
          XGrabPointer(c.dpy, xid, False,
                       ButtonPressMask | ButtonReleaseMask | PointerMotionMask | ButtonMotionMask,
                       GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
      }
    }
  }
  XFlush(c.dpy);
  return IDOK;
}

}  // namespace vlmr::x11
