// The common-controls status window: a child strip along the bottom of its
// parent that keeps its parts (right edges) and a text per part.
#include "core.h"
#include "window_internal.h"

#include <algorithm>

namespace vlmr {
namespace {

void place_at_bottom(Window& w) {
  Window* par = find_window(w.parent);
  if (!par) return;
  RECT c = par->client_rect();
  MoveWindow(w.hwnd(), 0, std::max<LONG>(0, c.bottom - kStatusHeight), c.right, kStatusHeight,
             TRUE);
}

LRESULT status_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = find_window(hwnd);
  if (!w) return 0;
  switch (message) {
    case WM_CREATE:
      w->parts = {-1};
      w->part_texts = {w->text};
      place_at_bottom(*w);
      return 0;
    case WM_SIZE:
      return 0;
    case SB_SETPARTS: {
      int n = static_cast<int>(wParam);
      const int* edges = reinterpret_cast<const int*>(lParam);
      if (n <= 0 || n > SB_MAX_PARTS || !edges) return FALSE;
      w->parts.assign(edges, edges + n);
      w->part_texts.resize(static_cast<size_t>(n));
      w->invalid = true;
      return TRUE;
    }
    case SB_GETPARTS: {
      int n = static_cast<int>(wParam);
      int* edges = reinterpret_cast<int*>(lParam);
      for (int i = 0; edges && i < n && i < static_cast<int>(w->parts.size()); ++i)
        edges[i] = w->parts[static_cast<size_t>(i)];
      return static_cast<LRESULT>(w->parts.size());
    }
    case SB_SETTEXTA: {
      size_t part = wParam & 0xFF;
      if (part >= w->part_texts.size()) return FALSE;
      w->part_texts[part] = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (part == 0) w->text = w->part_texts[0];
      w->invalid = true;
      if (Backend* b = backend()) b->window_painted(*w);
      return TRUE;
    }
    case SB_GETTEXTA: {
      size_t part = wParam & 0xFF;
      if (part >= w->part_texts.size()) return 0;
      const std::string& t = w->part_texts[part];
      if (char* out = reinterpret_cast<char*>(lParam)) {
        std::memcpy(out, t.c_str(), t.size() + 1);
      }
      return static_cast<LRESULT>(t.size());
    }
    case SB_GETTEXTLENGTHA: {
      size_t part = wParam & 0xFF;
      return part < w->part_texts.size() ? static_cast<LRESULT>(w->part_texts[part].size()) : 0;
    }
    case WM_SETTEXT:
      if (!w->part_texts.empty()) w->part_texts[0] = lParam ? reinterpret_cast<const char*>(lParam) : "";
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

void ensure_system_classes() {
  static bool done = false;
  if (done) return;
  done = true;
  register_system_class(kStatusClass, status_proc);
}

}  // namespace vlmr

HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id) {
  return CreateWindowExA(0, vlmr::kStatusClass, text, static_cast<DWORD>(style), 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr,
                         nullptr);
}
