// Window classes: registration and lookup. Class names compare without regard
// to case, as on Win32. A class belongs to the instance that registered it;
// system classes (the status window) belong to none and are found by anyone.
#include "core.h"
#include "window_internal.h"

#include <algorithm>
#include <cctype>
#include <list>

namespace vlmr {
namespace {

std::list<WindowClass>& classes() {
  static std::list<WindowClass> all;
  return all;
}

bool same_name(const std::string& a, const char* b) {
  if (!b) return false;
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

ATOM next_atom = 0xC000;

// The fields WNDCLASSA and WNDCLASSEXA have in common.
template <class Record>
WindowClass class_from(const Record& wc) {
  ensure_system_classes();
  WindowClass c;
  c.name = wc.lpszClassName;
  c.style = wc.style;
  c.proc = wc.lpfnWndProc;
  c.instance = wc.hInstance;
  c.icon = wc.hIcon;
  c.cursor = wc.hCursor;
  c.background = wc.hbrBackground;
  return c;
}

ATOM add_class(WindowClass c) {
  if (c.name.empty() || !c.proc) return 0;
  for (const auto& k : classes())
    if (same_name(k.name, c.name.c_str()) && k.instance == c.instance && !k.system) return 0;
  classes().push_back(std::move(c));
  return next_atom++;
}

}  // namespace

const WindowClass* find_class(const char* name, HINSTANCE instance, bool any_instance) {
  if (!name || reinterpret_cast<uintptr_t>(name) <= 0xFFFF) return nullptr;
  const WindowClass* fallback = nullptr;
  for (const auto& k : classes()) {
    if (!same_name(k.name, name)) continue;
    if (k.system || k.instance == instance) return &k;
    if (any_instance && !fallback) fallback = &k;
  }
  return fallback;
}

void register_system_class(const char* name, WNDPROC proc) {
  WindowClass c;
  c.name = name;
  c.proc = proc;
  c.system = true;
  classes().push_back(std::move(c));
}

}  // namespace vlmr

using namespace vlmr;

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName) return 0;
  return add_class(class_from(*wc));
}

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName) return 0;
  return add_class(class_from(*wc));
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
  auto& all = classes();
  for (auto it = all.begin(); it != all.end(); ++it) {
    if (!it->system && it->instance == instance && same_name(it->name, className)) {
      for (Window* w : all_windows())
        if (w->cls == &*it) return FALSE;  // still in use
      all.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR className, WNDCLASSEXA* out) {
  ensure_system_classes();
  const WindowClass* c = find_class(className, instance, false);
  if (!c || !out) return FALSE;
  out->style = c->style;
  out->lpfnWndProc = c->proc;
  out->cbClsExtra = 0;
  out->cbWndExtra = 0;
  out->hInstance = c->instance;
  out->hIcon = c->icon;
  out->hCursor = c->cursor;
  out->hbrBackground = c->background;
  out->lpszMenuName = nullptr;
  out->lpszClassName = className;
  out->hIconSm = c->icon;
  return TRUE;
}

HINSTANCE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName) return nullptr;
  return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
}
