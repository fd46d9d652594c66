// Windows: creation and destruction, geometry, text, visibility, properties,
// and the metrics of this platform's frames.
#include "core.h"
#include "window_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vlmr {
namespace {

std::vector<HWND>& window_order() {
  static std::vector<HWND> order;  // creation order, live windows only
  return order;
}

HWND g_foreground = nullptr;
HWND g_focus = nullptr;

std::string prop_key(const char* name) {
  std::string k = name ? name : "";
  for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return k;
}

}  // namespace

int Window::frame_left() const {
  if (is_child()) return (style & WS_BORDER) ? 1 : 0;
  if ((style & WS_CAPTION) == WS_CAPTION) return VLMR_FRAME_WIDTH;
  if (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) return 1;
  return 0;
}

int Window::frame_top() const {
  if (is_child()) return (style & WS_BORDER) ? 1 : 0;
  if ((style & WS_CAPTION) == WS_CAPTION) return VLMR_CAPTION_HEIGHT;
  if (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) return 1;
  return 0;
}

RECT Window::client_rect() const {
  int w = (rect.right - rect.left) - 2 * frame_left();
  int h = (rect.bottom - rect.top) - frame_top() - frame_left();
  return RECT{0, 0, std::max(0, w), std::max(0, h)};
}

POINT Window::client_origin() const {
  POINT p{rect.left + frame_left(), rect.top + frame_top()};
  if (is_child()) {
    if (Window* par = find_window(parent)) {
      POINT o = par->client_origin();
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

Window* find_window(HWND h) { return find<Window>(h); }

std::vector<Window*> all_windows() {
  std::vector<Window*> out;
  for (HWND h : window_order())
    if (Window* w = find_window(h)) out.push_back(w);
  return out;
}

std::vector<Window*> top_level_windows() {
  std::vector<Window*> out;
  for (Window* w : all_windows())
    if (!w->is_child()) out.push_back(w);
  return out;
}

std::vector<Window*> children_of(HWND parent) {
  std::vector<Window*> out;
  for (Window* w : all_windows())
    if (w->parent == parent && w->is_child()) out.push_back(w);
  return out;
}

Window* main_window() {
  Window* first = nullptr;
  for (Window* w : top_level_windows()) {
    if (w->destroying) continue;
    if (w->pixel_format) return w;
    if (!first) first = w;
  }
  return first;
}

LRESULT send(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!w.proc) return 0;
  return w.proc(w.hwnd(), message, wParam, lParam);
}

void set_foreground(HWND w) { g_foreground = w; g_focus = w; }

void native_resized(Window& w, int cw, int ch) {
  if (cw <= 0 || ch <= 0) {
    post(w.hwnd(), WM_SIZE, SIZE_MINIMIZED, 0);
    return;
  }
  w.rect.right = w.rect.left + cw + 2 * w.frame_left();
  w.rect.bottom = w.rect.top + ch + w.frame_top() + w.frame_left();
  w.surface.clear();
  w.invalid = true;
  post(w.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(cw), static_cast<WORD>(ch)));
}

void native_moved(Window& w, int x, int y) {
  int dx = x - w.rect.left, dy = y - w.rect.top;
  w.rect.left += dx;
  w.rect.right += dx;
  w.rect.top += dy;
  w.rect.bottom += dy;
}

std::vector<uint32_t>& window_surface(Window& w) {
  RECT c = w.client_rect();
  size_t n = static_cast<size_t>(c.right) * static_cast<size_t>(c.bottom);
  if (w.surface.size() != n) w.surface.assign(n, 0);
  return w.surface;
}

}  // namespace vlmr

using namespace vlmr;

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  ensure_system_classes();
  const WindowClass* cls = find_class(className, instance, true);
  if (!cls) return nullptr;
  Window* par = nullptr;
  if (parent) {
    par = find_window(parent);
    if (!par) return nullptr;
  }
  if ((style & WS_CHILD) && !par) return nullptr;
  Backend* b = backend();
  if (!b) return nullptr;

  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style;
  w->ex_style = exStyle;
  w->parent = (style & WS_CHILD) ? parent : nullptr;
  w->id = (style & WS_CHILD) ? static_cast<int>(reinterpret_cast<uintptr_t>(menu)) : 0;
  w->text = windowName ? windowName : "";
  if (x == CW_USEDEFAULT) {
    // Pop-up and overlapped windows alike start at the screen's top-left.
    x = 0;
    y = 0;
  }
  if (width == CW_USEDEFAULT) {
    width = 640;
    height = 480;
  }
  w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
  HWND h = to_handle<HWND>(add_object(std::move(owned)));
  window_order().push_back(h);

  b->window_created(*w);

  CREATESTRUCTA cs{param, instance, menu, parent, height, width, y, x,
                   static_cast<LONG>(style), windowName, className, exStyle};
  send(*w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs));
  if (!find_window(h)) return nullptr;
  if (send(*w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  if (!find_window(h)) return nullptr;  // destroyed during WM_CREATE
  RECT c = w->client_rect();
  send(*w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
  if (!find_window(h)) return nullptr;
  send(*w, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(w->rect.left + w->frame_left()),
                                  static_cast<WORD>(w->rect.top + w->frame_top())));
  if (!find_window(h)) return nullptr;
  if (style & WS_VISIBLE) {
    w->visible = true;
    w->invalid = true;
    b->window_shown(*w);
    if (!w->is_child()) set_foreground(h);
  }
  return h;
}

BOOL IsWindow(HWND window) { return find_window(window) ? TRUE : FALSE; }

BOOL DestroyWindow(HWND window) {
  Window* w = find_window(window);
  if (!w || w->destroying) return FALSE;
  w->destroying = true;
  if (w->pixel_format) driver_window_closing(*w);
  forget_capture(window);
  if (w->visible) {
    w->visible = false;
    if (Backend* b = backend()) b->window_shown(*w);
  }
  send(*w, WM_DESTROY, 0, 0);
  for (Window* child : children_of(window)) DestroyWindow(child->hwnd());
  if ((w = find_window(window))) send(*w, WM_NCDESTROY, 0, 0);
  if (!(w = find_window(window))) return TRUE;
  if (Backend* b = backend()) b->window_destroyed(*w);
  if (w->region) DeleteObject(w->region);
  if (w->dc) remove_object(w->dc);
  forget_window_messages(window);
  forget_window_timers(window);
  if (g_foreground == window) g_foreground = nullptr;
  if (g_focus == window) g_focus = nullptr;
  auto& order = window_order();
  order.erase(std::remove(order.begin(), order.end(), window), order.end());
  remove_object(window);
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  Window* w = find_window(window);
  if (!w) return FALSE;
  BOOL was = w->visible ? TRUE : FALSE;
  bool show = command != SW_HIDE;
  if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED) show = true;
  if (show != w->visible) {
    w->visible = show;
    if (show) {
      w->style |= WS_VISIBLE;
      w->invalid = true;
    } else {
      w->style &= ~WS_VISIBLE;
    }
    if (Backend* b = backend()) b->window_shown(*w);
  }
  if (show && !w->is_child()) set_foreground(window);
  return was;
}

BOOL UpdateWindow(HWND window) {
  Window* w = find_window(window);
  if (!w) return FALSE;
  if (w->invalid && w->visible) send(*w, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  Window* w = find_window(window);
  if (!w || !rect) return FALSE;
  *rect = w->client_rect();
  return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  Window* w = find_window(window);
  if (!w || !rect) return FALSE;
  RECT r = w->rect;
  if (w->is_child()) {
    if (Window* par = find_window(w->parent)) {
      POINT o = par->client_origin();
      r.left += o.x;
      r.right += o.x;
      r.top += o.y;
      r.bottom += o.y;
    }
  }
  *rect = r;
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  Window* w = find_window(window);
  if (!w) return FALSE;
  RECT old = w->rect;
  w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
  bool resized = (old.right - old.left) != (w->rect.right - w->rect.left) ||
                 (old.bottom - old.top) != (w->rect.bottom - w->rect.top);
  bool moved = old.left != x || old.top != y;
  if (resized) w->surface.clear();
  if (Backend* b = backend()) b->window_moved(*w);
  if (resized) {
    RECT c = w->client_rect();
    send(*w, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
  }
  if (!(w = find_window(window))) return TRUE;
  if (moved)
    send(*w, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x + w->frame_left()),
                                    static_cast<WORD>(y + w->frame_top())));
  if ((w = find_window(window)) && repaint) w->invalid = true;
  return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  Window* w = find_window(window);
  if (!w) return FALSE;
  w->text = text ? text : "";
  if (Backend* b = backend()) b->window_titled(*w);
  return TRUE;
}

int GetWindowTextA(HWND window, LPSTR buffer, int maxCount) {
  Window* w = find_window(window);
  if (!w || !buffer || maxCount <= 0) return 0;
  int n = std::min<int>(static_cast<int>(w->text.size()), maxCount - 1);
  std::memcpy(buffer, w->text.data(), static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

HWND GetParent(HWND window) {
  Window* w = find_window(window);
  return w ? w->parent : nullptr;
}

int GetDlgCtrlID(HWND window) {
  Window* w = find_window(window);
  return (w && w->is_child()) ? w->id : 0;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  Window* w = find_window(window);
  if (!w || !point) return FALSE;
  POINT o = w->client_origin();
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  Window* w = find_window(window);
  if (!w || !point) return FALSE;
  POINT o = w->client_origin();
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

int GetSystemMetrics(int index) {
  int width = 0, height = 0;
  if (Backend* b = backend()) b->screen_size(width, height);
  if (index == SM_CXSCREEN) return width;
  if (index == SM_CYSCREEN) return height;
  return 0;
}

HWND GetForegroundWindow() { return find_window(g_foreground) ? g_foreground : nullptr; }

HWND SetFocus(HWND window) {
  HWND old = GetFocus();
  if (window && !find_window(window)) return nullptr;
  g_focus = window;
  return old;
}

HWND GetFocus() { return find_window(g_focus) ? g_focus : nullptr; }

BOOL SetPropA(HWND window, LPCSTR name, HANDLE data) {
  Window* w = find_window(window);
  if (!w || !name) return FALSE;
  w->props[prop_key(name)] = data;
  return TRUE;
}

HANDLE GetPropA(HWND window, LPCSTR name) {
  Window* w = find_window(window);
  if (!w || !name) return nullptr;
  auto it = w->props.find(prop_key(name));
  return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND window, LPCSTR name) {
  Window* w = find_window(window);
  if (!w || !name) return nullptr;
  auto it = w->props.find(prop_key(name));
  if (it == w->props.end()) return nullptr;
  HANDLE data = it->second;
  w->props.erase(it);
  return data;
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
  Window* w = find_window(window);
  if (!w) return 0;
  if (region && !find_object(region)) return 0;
  if (w->region && w->region != region) DeleteObject(w->region);
  w->region = region;  // the window owns it from now on
  if (Backend* b = backend()) b->window_shaped(*w);
  if (redraw) w->invalid = true;
  return 1;
}

HWND WindowFromPoint(POINT point) {
  // Topmost: the last created top-level window containing the point, then its
  // deepest child whose shape contains it.
  auto tops = top_level_windows();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    Window* w = *it;
    if (!w->visible) continue;
    if (point.x < w->rect.left || point.x >= w->rect.right || point.y < w->rect.top ||
        point.y >= w->rect.bottom)
      continue;
    Window* hit = w;
    for (bool descended = true; descended;) {
      descended = false;
      auto kids = children_of(hit->hwnd());
      for (auto k = kids.rbegin(); k != kids.rend(); ++k) {
        Window* c = *k;
        if (!c->visible) continue;
        RECT r;
        GetWindowRect(c->hwnd(), &r);
        if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom)
          continue;
        if (c->region && !PtInRegion(c->region, point.x - r.left, point.y - r.top)) continue;
        hit = c;
        descended = true;
        break;
      }
    }
    return hit->hwnd();
  }
  return nullptr;
}
