// Pieces shared by the core's window, queue and GDI files.
#pragma once

#include "core.h"

#include <cstring>
#include <vector>

namespace vlmr {

const WindowClass* find_class(const char* name, HINSTANCE instance, bool any_instance);
void register_system_class(const char* name, WNDPROC proc);
// Registers the platform's own classes (the status window) once.
void ensure_system_classes();

std::vector<Window*> all_windows();
// Calls the window's procedure directly (SendMessage without the lookup).
LRESULT send(Window& w, UINT message, WPARAM wParam, LPARAM lParam);

// Queue housekeeping when a window goes away.
void forget_window_messages(HWND w);
void forget_window_timers(HWND w);
void forget_capture(HWND w);

// The window's own device context, made on first use.
HDC window_dc(Window& w);
// Client-area surface that GDI drawing on a window DC paints into.
std::vector<uint32_t>& window_surface(Window& w);

constexpr const char* kStatusClass = "msctls_statusbar32";
constexpr int kStatusHeight = 20;

}  // namespace vlmr
