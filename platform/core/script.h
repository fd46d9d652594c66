// The driving script (VELMORA_SCRIPT): its lines, how they are read, and the
// key names and key messages they turn into. Internal to the platform layer;
// the driver (driver.cpp) plays the actions, the tests call the parser.
#pragma once

#include "vlmr_platform.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vlmr {

enum class ScriptVerb {
  KeyDown, KeyUp, MouseDown, MouseUp, MouseMove, Drag, Screenshot, Close, Resize
};
enum class MouseButton { Left, Right, Middle };

// One line `FRAME ACTION ARGS`, played after frame FRAME (1 is the first frame).
struct ScriptAction {
  long frame = 0;
  int line = 0;                 // 1-based line in the script file
  ScriptVerb verb = ScriptVerb::Close;
  int key = 0;                  // virtual-key code (KeyDown, KeyUp)
  MouseButton button = MouseButton::Left;  // MouseDown, MouseUp, Drag
  int x = 0, y = 0;             // client point; Drag: start; Resize: outer width, height
  int x2 = 0, y2 = 0;           // Drag: end point
  int steps = 1;                // Drag: number of moves from start to end
  std::string path;             // Screenshot: the PNG file

  bool operator==(const ScriptAction&) const = default;
};

// Reads a whole script. Blank lines and lines whose first non-blank character
// is '#' are skipped. The actions come back in frame order (lines of the same
// frame in file order). On the first bad line returns nullopt and sets error
// to "FILE:LINE: what is wrong".
std::optional<std::vector<ScriptAction>> parse_script(std::istream& in, const std::string& file,
                                                      std::string& error);

// The virtual-key code of a key name, case-insensitive: A-Z, a single digit
// 0-9, Escape, Return/Enter, Space, Tab, Backspace, Left, Right, Up, Down,
// F1-F12, Shift, Control/Ctrl, Alt, Insert, Delete, Home, End, PageUp,
// PageDown, or a decimal code of two or more digits (1..254, e.g. "08" for
// Backspace). -1 for anything else.
int key_code(std::string_view name);

// The message a key press or release posts, as Win32 forms it: WM_KEYDOWN /
// WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP for Alt and for keys pressed while
// Alt is held. lParam: repeat count 1, the keyboard scan code (bits 16-23),
// the extended-key bit 24, the Alt context bit 29, the previous-state bit 30
// (set when the key was already down) and the transition bit 31 (release).
struct KeyMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
// alt_held: Alt is down, not counting vk itself.
KeyMessage key_message(int vk, bool down, bool was_down, bool alt_held);

}  // namespace vlmr
