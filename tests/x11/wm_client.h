// What a window manager would send a window: the close request
// (WM_DELETE_WINDOW), from a connection of the test's own.
#pragma once

#include <string>

namespace vlmr_x11_test {

// Sends WM_PROTOCOLS/WM_DELETE_WINDOW to the window on the named display.
bool send_delete_window(const std::string& display, unsigned long window);

}  // namespace vlmr_x11_test
