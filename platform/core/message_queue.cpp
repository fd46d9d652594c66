// The message queue of the window thread: posted messages first, then the quit
// request, then WM_PAINT for an invalid window, then WM_TIMER for a due timer;
// paint and timer messages are made only when nothing else is waiting.
#include "core.h"
#include "window_internal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace vlmr {
namespace {

struct Timer {
  HWND window;
  UINT_PTR id;
  UINT elapse;
  TIMERPROC proc;
  uint64_t due;
};

std::deque<MSG> g_posted;
std::vector<Timer> g_timers;
bool g_quit = false;
int g_quit_code = 0;
HWND g_capture = nullptr;
bool g_keys[256] = {};
UINT_PTR g_next_timer_id = 0x7000;

uint64_t now_ms() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool in_filter(const MSG& m, HWND window, UINT lo, UINT hi) {
  if (window == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) {
    if (m.hwnd) return false;
  } else if (window && m.hwnd != window) {
    // A window filter also takes the window's children.
    Window* w = find_window(m.hwnd);
    bool child = false;
    while (w && w->parent) {
      if (w->parent == window) {
        child = true;
        break;
      }
      w = find_window(w->parent);
    }
    if (!child) return false;
  }
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

MSG make(HWND w, UINT message, WPARAM wp, LPARAM lp) {
  MSG m{};
  m.hwnd = w;
  m.message = message;
  m.wParam = wp;
  m.lParam = lp;
  m.time = GetTickCount();
  GetCursorPos(&m.pt);
  return m;
}

bool find_paint(HWND filter, MSG* out) {
  for (Window* w : all_windows()) {
    if (!w->invalid || !w->visible || w->destroying) continue;
    MSG m = make(w->hwnd(), WM_PAINT, 0, 0);
    if (!in_filter(m, filter, 0, 0)) continue;
    *out = m;
    return true;
  }
  return false;
}

bool find_timer(HWND filter, bool remove, MSG* out) {
  uint64_t now = now_ms();
  for (Timer& t : g_timers) {
    if (t.due > now) continue;
    MSG m = make(t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc));
    if (!in_filter(m, filter, 0, 0)) continue;
    if (remove) t.due = now + t.elapse;
    *out = m;
    return true;
  }
  return false;
}

bool peek(MSG* msg, HWND window, UINT lo, UINT hi, UINT flags) {
  if (Backend* b = backend()) b->pump();
  bool remove = (flags & PM_REMOVE) != 0;
  for (auto it = g_posted.begin(); it != g_posted.end(); ++it) {
    if (!in_filter(*it, window, lo, hi)) continue;
    if (msg) *msg = *it;
    if (remove) g_posted.erase(it);
    return true;
  }
  bool any = lo == 0 && hi == 0;
  if (g_quit && (any || (WM_QUIT >= lo && WM_QUIT <= hi))) {
    MSG m = make(nullptr, WM_QUIT, static_cast<WPARAM>(g_quit_code), 0);
    if (remove) g_quit = false;
    if (msg) *msg = m;
    return true;
  }
  MSG m{};
  if ((any || (WM_PAINT >= lo && WM_PAINT <= hi)) && find_paint(window, &m)) {
    if (msg) *msg = m;  // stays until the window is validated
    return true;
  }
  if ((any || (WM_TIMER >= lo && WM_TIMER <= hi)) && find_timer(window, remove, &m)) {
    if (msg) *msg = m;
    return true;
  }
  return false;
}

int next_timer_wait() {
  if (g_timers.empty()) return 100;
  uint64_t now = now_ms(), next = UINT64_MAX;
  for (const Timer& t : g_timers) next = std::min(next, t.due);
  return next <= now ? 0 : static_cast<int>(std::min<uint64_t>(next - now, 100));
}

}  // namespace

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_posted.push_back(make(window, message, wParam, lParam));
}

void forget_window_messages(HWND w) {
  g_posted.erase(std::remove_if(g_posted.begin(), g_posted.end(),
                                [w](const MSG& m) { return m.hwnd == w; }),
                 g_posted.end());
}

void forget_window_timers(HWND w) {
  g_timers.erase(std::remove_if(g_timers.begin(), g_timers.end(),
                                [w](const Timer& t) { return t.window == w; }),
                 g_timers.end());
}

void forget_capture(HWND w) {
  if (g_capture == w) ReleaseCapture();
}

HWND capture_window() { return find_window(g_capture) ? g_capture : nullptr; }

void set_key_state(int vk, bool down) {
  if (vk >= 0 && vk < 256) g_keys[vk] = down;
}

WPARAM mouse_key_flags() {
  WPARAM f = 0;
  if (g_keys[VK_LBUTTON]) f |= MK_LBUTTON;
  if (g_keys[VK_RBUTTON]) f |= MK_RBUTTON;
  if (g_keys[VK_MBUTTON]) f |= MK_MBUTTON;
  if (g_keys[VK_SHIFT]) f |= MK_SHIFT;
  if (g_keys[VK_CONTROL]) f |= MK_CONTROL;
  return f;
}

void request_close(Window& w) { post(w.hwnd(), WM_CLOSE, 0, 0); }

void deliver_mouse(Window& top, UINT message, int x, int y, WPARAM keyFlags) {
  POINT screen{top.client_origin().x + x, top.client_origin().y + y};
  Window* target = find_window(g_capture);
  if (!target) {
    target = &top;
    HWND hit = WindowFromPoint(screen);
    Window* h = find_window(hit);
    // Only a descendant of this top-level window can take its input.
    for (Window* p = h; p; p = find_window(p->parent)) {
      if (p == &top) {
        target = h;
        break;
      }
    }
  }
  POINT local = screen;
  ScreenToClient(target->hwnd(), &local);
  post(target->hwnd(), message, keyFlags,
       MAKELPARAM(static_cast<WORD>(local.x & 0xFFFF), static_cast<WORD>(local.y & 0xFFFF)));
}

}  // namespace vlmr

using namespace vlmr;

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && !find_window(window)) return FALSE;
  post(window, message, wParam, lParam);
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = find_window(window);
  if (!w) return 0;
  return send(*w, message, wParam, lParam);
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
  return peek(msg, window, filterMin, filterMax, removeMsg) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
  MSG m{};
  while (!peek(&m, window, filterMin, filterMax, PM_REMOVE)) {
    Backend* b = backend();
    if (!b) {
      // Nothing can ever arrive: answer as if the queue was told to quit.
      m = make(nullptr, WM_QUIT, 0, 0);
      break;
    }
    b->wait(next_timer_wait());
  }
  if (msg) *msg = m;
  return m.message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  int vk = static_cast<int>(msg->wParam);
  int ch = -1;
  bool shift = g_keys[VK_SHIFT];
  if (vk >= 'A' && vk <= 'Z') ch = shift ? vk : vk + ('a' - 'A');
  else if (vk >= '0' && vk <= '9') ch = vk;
  else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB)
    ch = vk;
  if (ch < 0) return FALSE;
  // The character message is the next one the thread takes.
  g_posted.push_front(make(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                           static_cast<WPARAM>(ch), msg->lParam));
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  Window* w = find_window(msg->hwnd);
  if (!w) return 0;
  return send(*w, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
  g_quit = true;
  g_quit_code = exitCode;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = find_window(window);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(window, &ps);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT:
      SetWindowTextA(window, reinterpret_cast<LPCSTR>(lParam));
      return TRUE;
    case WM_GETTEXT:
      return GetWindowTextA(window, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_F1 + 3))  // Alt+F4
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      if (w->is_child() && w->parent) return SendMessageA(w->parent, message, wParam, lParam);
      return 0;
    case WM_SETCURSOR:
      if (w->cls && w->cls->cursor) {
        if (Backend* b = backend()) b->cursor_changed(*w, w->cls->cursor);
        return TRUE;
      }
      return FALSE;
    default:
      return 0;
  }
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (window && !find_window(window)) return 0;
  if (!window) id = g_next_timer_id++;
  elapseMs = std::max<UINT>(elapseMs, 10);
  for (Timer& t : g_timers) {
    if (t.window == window && t.id == id) {
      t.elapse = elapseMs;
      t.proc = proc;
      t.due = now_ms() + elapseMs;
      return window ? 1 : id;
    }
  }
  g_timers.push_back(Timer{window, id, elapseMs, proc, now_ms() + elapseMs});
  return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  auto it = std::find_if(g_timers.begin(), g_timers.end(),
                         [&](const Timer& t) { return t.window == window && t.id == id; });
  if (it == g_timers.end()) return FALSE;
  g_timers.erase(it);
  return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) {
  if (!window) {
    for (Window* w : all_windows()) w->invalid = true;
    return TRUE;
  }
  Window* w = find_window(window);
  if (!w) return FALSE;
  w->invalid = true;
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT*) {
  Window* w = find_window(window);
  if (!w) return FALSE;
  w->invalid = false;
  return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  Window* w = find_window(window);
  if (!w) return nullptr;
  HDC dc = window_dc(*w);
  if (paint) {
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = w->client_rect();
  }
  w->invalid = false;
  return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) {
  Window* w = find_window(window);
  if (!w) return FALSE;
  if (!w->pixel_format)
    if (Backend* b = backend()) b->window_painted(*w);
  return TRUE;
}

HWND SetCapture(HWND window) {
  HWND old = capture_window();
  Window* w = find_window(window);
  if (!w) return old;
  g_capture = window;
  if (Backend* b = backend()) b->capture_changed(w);
  return old;
}

BOOL ReleaseCapture() {
  if (g_capture) {
    g_capture = nullptr;
    if (Backend* b = backend()) b->capture_changed(nullptr);
  }
  return TRUE;
}

HWND GetCapture() { return capture_window(); }

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  Backend* b = backend();
  *point = b ? b->cursor_pos() : POINT{0, 0};
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  Backend* b = backend();
  if (!b) return FALSE;
  b->set_cursor_pos(x, y);
  return TRUE;
}

DWORD GetTickCount() { return static_cast<DWORD>(now_ms()); }

void Sleep(DWORD ms) {
  struct timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  nanosleep(&ts, nullptr);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  Backend* b = backend();
  if (b) return b->message_box(owner, text ? text : "", caption ? caption : "Error", type);
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
  std::fflush(stderr);
  return IDOK;
}
