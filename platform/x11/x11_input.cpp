// X events as the core's messages: keys, buttons, the wheel and pointer motion
// as Win32 input messages; window manager requests, size changes, minimising,
// exposure and focus as the core's native notifications.
#include "x11_internal.h"
#include "script.h"

#include <X11/keysym.h>

namespace vlmr::x11 {
namespace {

WPARAM flags_of_state(unsigned state) {
  WPARAM f = 0;
  if (state & Button1Mask) f |= MK_LBUTTON;
  if (state & Button2Mask) f |= MK_MBUTTON;
  if (state & Button3Mask) f |= MK_RBUTTON;
  if (state & ShiftMask) f |= MK_SHIFT;
  if (state & ControlMask) f |= MK_CONTROL;
  return f;
}

// The top-level window an input event belongs to.
Window* input_window(Conn& c, XWindow xid) {
  Window* w = window_of(c, xid);
  return w ? top_level_of(*w) : nullptr;
}

void set_pointer(Conn& c, int root_x, int root_y) {
  c.in_event = true;
  c.event_pointer = POINT{root_x, root_y};
}

// ------------------------------------------------------------------- keys
bool held_as(const Conn& c, int vk, unsigned except_keycode) {
  for (unsigned k = 0; k < c.held.size(); ++k)
    if (k != except_keycode && c.held[k] == vk) return true;
  return false;
}

int key_of(XKeyEvent& key) {
  KeySym sym = XLookupKeysym(&key, 0);
  if (IsKeypadKey(sym) && (key.state & Mod2Mask)) {  // Num Lock on: the keypad's digits
    KeySym shifted = XLookupKeysym(&key, 1);
    if (IsKeypadKey(shifted)) sym = shifted;
  }
  return virtual_key(sym);
}

void post_key(Conn& c, Window& top, unsigned keycode, int vk, bool down) {
  const bool was_down = c.held[keycode] != 0;
  const bool alt_held = held_as(c, VK_MENU, keycode);
  if (down) {
    c.held[keycode] = static_cast<uint8_t>(vk);
    set_key_state(vk, true);
  } else {
    c.held[keycode] = 0;
    set_key_state(vk, held_as(c, vk, keycode));  // the other Shift may still be down
  }
  const KeyMessage m = key_message(vk, down, was_down, alt_held);
  post(top.hwnd(), m.message, m.wParam, m.lParam);
}

// Without detectable auto-repeat a held key sends release-press pairs with
// the same time; the release of such a pair is not a real one.
bool is_repeat_release(Conn& c, const XKeyEvent& key) {
  if (c.detectable_repeat || XEventsQueued(c.dpy, QueuedAfterReading) == 0) return false;
  XEvent next;
  XPeekEvent(c.dpy, &next);
  return next.type == KeyPress && next.xkey.window == key.window &&
         next.xkey.keycode == key.keycode && next.xkey.time == key.time;
}

void on_key(Conn& c, XKeyEvent& key) {
  Window* top = input_window(c, key.window);
  if (top == nullptr || key.keycode >= c.held.size()) return;
  const bool down = key.type == KeyPress;
  if (!down && is_repeat_release(c, key)) return;
  int vk = key_of(key);
  if (!down && c.held[key.keycode] != 0) vk = c.held[key.keycode];  // as it went down
  if (vk == 0) return;
  if (!down && c.held[key.keycode] == 0) return;  // pressed before the window had focus
  set_pointer(c, key.x_root, key.y_root);
  post_key(c, *top, key.keycode, vk, down);
}

// Keys still held when the focus leaves are released: their releases go to
// another window, and the program must not see them held forever.
void release_held_keys(Conn& c, Window& top) {
  for (unsigned k = 0; k < c.held.size(); ++k)
    if (c.held[k] != 0) post_key(c, top, k, c.held[k], false);
}

// ---------------------------------------------------------------- pointer
void on_button(Conn& c, XButtonEvent& b) {
  Window* top = input_window(c, b.window);
  if (top == nullptr) return;
  const bool down = b.type == ButtonPress;
  set_pointer(c, b.x_root, b.y_root);
  if (b.button == Button4 || b.button == Button5) {
    if (!down) return;
    // One notch of the wheel: +120 away from the user, -120 towards.
    const int delta = b.button == Button4 ? 120 : -120;
    post(top->hwnd(), WM_MOUSEWHEEL,
         MAKEWPARAM(static_cast<WORD>(flags_of_state(b.state)), static_cast<WORD>(delta)),
         MAKELPARAM(static_cast<WORD>(b.x_root), static_cast<WORD>(b.y_root)));
    return;
  }
  struct Button {
    unsigned x;
    int vk;
    WPARAM flag;
    UINT down, up;
  };
  static constexpr Button kButtons[] = {
      {Button1, VK_LBUTTON, MK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP},
      {Button2, VK_MBUTTON, MK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP},
      {Button3, VK_RBUTTON, MK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP}};
  for (const Button& k : kButtons) {
    if (k.x != b.button) continue;
    // The state of an X event is from before it; the message shows the button
    // as it is after the press or release.
    WPARAM flags = flags_of_state(b.state);
    flags = down ? (flags | k.flag) : (flags & ~k.flag);
    set_key_state(k.vk, down);
    deliver_mouse(*top, down ? k.down : k.up, b.x, b.y, flags);
    return;
  }
}

void on_motion(Conn& c, XWindow xid, int x, int y, int root_x, int root_y, unsigned state) {
  Window* top = input_window(c, xid);
  if (top == nullptr) return;
  set_pointer(c, root_x, root_y);
  set_key_state(VK_LBUTTON, (state & Button1Mask) != 0);
  set_key_state(VK_MBUTTON, (state & Button2Mask) != 0);
  set_key_state(VK_RBUTTON, (state & Button3Mask) != 0);
  deliver_mouse(*top, WM_MOUSEMOVE, x, y, flags_of_state(state));
}

// ---------------------------------------------------- structure and state
// The client area's position on the screen, from a configure event.
POINT client_on_screen(Conn& c, const XConfigureEvent& e) {
  if (e.send_event) return POINT{e.x + e.border_width, e.y + e.border_width};  // root coordinates
  int x = 0, y = 0;
  XWindow child = 0;
  XTranslateCoordinates(c.dpy, e.window, c.root, 0, 0, &x, &y, &child);
  return POINT{x, y};
}

void on_configure(Conn& c, XConfigureEvent& e) {
  // Only the latest size and place matter.
  XEvent later;
  while (XCheckTypedWindowEvent(c.dpy, e.window, ConfigureNotify, &later)) e = later.xconfigure;
  Window* w = window_of(c, e.window);
  if (w == nullptr || w->is_child()) return;
  const POINT at = client_on_screen(c, e);
  const POINT origin = w->client_origin();
  if (at.x != origin.x || at.y != origin.y)
    native_moved(*w, at.x - w->frame_left(), at.y - w->frame_top());
  const RECT client = w->client_rect();
  Native* n = native_of(*w);
  if ((e.width != client.right || e.height != client.bottom) && n && !n->minimized)
    native_resized(*w, e.width, e.height);
}

void set_minimized(Window& w, bool minimized) {
  Native* n = native_of(w);
  if (n == nullptr || n->minimized == minimized) return;
  n->minimized = minimized;
  if (minimized) {
    native_resized(w, 0, 0);  // WM_SIZE, SIZE_MINIMIZED
  } else {
    const RECT client = w.client_rect();
    native_resized(w, client.right, client.bottom);
  }
}

bool has_hidden_state(Conn& c, XWindow xid) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(c.dpy, xid, c.atoms.net_wm_state, 0, 64, False, XA_ATOM, &type, &format,
                         &count, &after, &data) != Success || data == nullptr)
    return false;
  bool hidden = false;
  if (format == 32) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) hidden |= atoms[i] == c.atoms.net_wm_state_hidden;
  }
  XFree(data);
  return hidden;
}

void on_map(Conn& c, XMapEvent& e) {
  Window* w = window_of(c, e.window);
  if (w == nullptr || w->is_child()) return;
  Native* n = native_of(*w);
  n->mapped = true;
  set_minimized(*w, false);
  // Shown windows take the keyboard, as Win32's ShowWindow activates them.
  XSetInputFocus(c.dpy, e.window, RevertToParent, CurrentTime);
}

void on_unmap(Conn& c, XUnmapEvent& e) {
  Window* w = window_of(c, e.window);
  if (w == nullptr || w->is_child()) return;
  Native* n = native_of(*w);
  const bool was_mapped = n->mapped;
  n->mapped = false;
  // Unmapped while the program still shows it: iconified by someone else.
  if (was_mapped && w->visible && !w->destroying) set_minimized(*w, true);
}

void on_client_message(Conn& c, XClientMessageEvent& e) {
  Window* w = window_of(c, e.window);
  if (w == nullptr || e.message_type != c.atoms.wm_protocols || e.format != 32) return;
  const Atom protocol = static_cast<Atom>(e.data.l[0]);
  if (protocol == c.atoms.wm_delete_window) {
    request_close(*w);
  } else if (protocol == c.atoms.net_wm_ping) {
    XEvent reply{};
    reply.xclient = e;
    reply.xclient.window = c.root;
    XSendEvent(c.dpy, c.root, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
  }
}

void on_focus(Conn& c, XFocusChangeEvent& e) {
  Window* w = window_of(c, e.window);
  if (w == nullptr || e.detail == NotifyInferior || e.detail == NotifyPointer) return;
  if (e.mode == NotifyGrab || e.mode == NotifyUngrab) return;
  if (e.type == FocusIn) set_foreground(w->hwnd());
  else release_held_keys(c, *w);
}

// The X window went away without the program closing it (another client
// destroyed it): the program is asked to close the window.
void on_destroyed(Conn& c, XDestroyWindowEvent& e) {
  Window* w = window_of(c, e.window);
  c.windows.erase(e.window);
  if (w == nullptr) return;
  if (Native* n = native_of(*w)) n->xid = 0;
  // OpenGL must not draw on a window that is gone: Mesa's software renderer
  // takes the size of a vanished window from a failed request, and may then
  // clear a buffer of any size. Until the program closes, its drawing goes
  // nowhere.
  if (glXGetCurrentDrawable() == e.window) glXMakeCurrent(c.dpy, None, nullptr);
  if (!w->is_child() && !w->destroying) request_close(*w);
}

bool is_input(int type) {
  return type == KeyPress || type == KeyRelease || type == ButtonPress ||
         type == ButtonRelease || type == MotionNotify || type == EnterNotify;
}

}  // namespace

void handle_event(Conn& c, XEvent& ev, bool modal) {
  if (modal && is_input(ev.type)) return;  // the message box holds the input
  switch (ev.type) {
    case KeyPress:
    case KeyRelease:
      on_key(c, ev.xkey);
      break;
    case ButtonPress:
    case ButtonRelease:
      on_button(c, ev.xbutton);
      break;
    case MotionNotify:
      on_motion(c, ev.xmotion.window, ev.xmotion.x, ev.xmotion.y, ev.xmotion.x_root,
                ev.xmotion.y_root, ev.xmotion.state);
      break;
    case EnterNotify:
      // Win32 reports the pointer's arrival as a move.
      if (ev.xcrossing.mode == NotifyNormal)
        on_motion(c, ev.xcrossing.window, ev.xcrossing.x, ev.xcrossing.y, ev.xcrossing.x_root,
                  ev.xcrossing.y_root, ev.xcrossing.state);
      break;
    case ConfigureNotify:
      on_configure(c, ev.xconfigure);
      break;
    case MapNotify:
      on_map(c, ev.xmap);
      break;
    case UnmapNotify:
      on_unmap(c, ev.xunmap);
      break;
    case PropertyNotify:
      if (ev.xproperty.atom == c.atoms.net_wm_state) {
        if (Window* w = window_of(c, ev.xproperty.window)) {
          Native* n = native_of(*w);
          if (n && n->mapped) set_minimized(*w, has_hidden_state(c, ev.xproperty.window));
        }
      }
      break;
    case Expose:
      if (Window* w = window_of(c, ev.xexpose.window)) w->invalid = true;
      break;
    case ClientMessage:
      on_client_message(c, ev.xclient);
      break;
    case FocusIn:
    case FocusOut:
      on_focus(c, ev.xfocus);
      break;
    case DestroyNotify:
      on_destroyed(c, ev.xdestroywindow);
      break;
    case MappingNotify:
      XRefreshKeyboardMapping(&ev.xmapping);
      break;
    default:
      break;
  }
  c.in_event = false;
}

}  // namespace vlmr::x11
