// Reading the driving script and naming keys (see script.h).
#include "script.h"

#include <algorithm>
#include <charconv>
#include <istream>

namespace vlmr {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// A named key: its virtual-key code, its PC keyboard (set 1) scan code, and
// whether it is one of the extended keys (the grey navigation block).
struct NamedKey {
  const char* name;
  int vk;
  int scan;
  bool extended;
};

constexpr NamedKey kNamedKeys[] = {
    {"escape", VK_ESCAPE, 0x01, false},  {"return", VK_RETURN, 0x1C, false},
    {"enter", VK_RETURN, 0x1C, false},   {"space", VK_SPACE, 0x39, false},
    {"tab", VK_TAB, 0x0F, false},        {"backspace", VK_BACK, 0x0E, false},
    {"left", VK_LEFT, 0x4B, true},       {"right", VK_RIGHT, 0x4D, true},
    {"up", VK_UP, 0x48, true},           {"down", VK_DOWN, 0x50, true},
    {"shift", VK_SHIFT, 0x2A, false},    {"control", VK_CONTROL, 0x1D, false},
    {"ctrl", VK_CONTROL, 0x1D, false},   {"alt", VK_MENU, 0x38, false},
    {"insert", VK_INSERT, 0x52, true},   {"delete", VK_DELETE, 0x53, true},
    {"home", VK_HOME, 0x47, true},       {"end", VK_END, 0x4F, true},
    {"pageup", VK_PRIOR, 0x49, true},    {"pagedown", VK_NEXT, 0x51, true},
};

// Scan codes of the letters A-Z on a US layout, and of F1-F12.
constexpr int kLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                 0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
constexpr int kFunctionScan[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40,
                                   0x41, 0x42, 0x43, 0x44, 0x57, 0x58};

// Scan code and extended bit of a virtual-key code; 0 for keys without one.
int scan_bits(int vk) {
  if (vk >= 'A' && vk <= 'Z') return kLetterScan[vk - 'A'];
  if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
  if (vk == '0') return 0x0B;
  if (vk >= VK_F1 && vk <= VK_F12) return kFunctionScan[vk - VK_F1];
  for (const NamedKey& k : kNamedKeys) {
    if (k.vk == vk) return k.scan | (k.extended ? 0x100 : 0);
  }
  return 0;
}

template <class T>
bool to_number(std::string_view s, T& out) {
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && p == end;
}

// One script line being read: its words, and the error it raises.
class LineReader {
 public:
  LineReader(std::string_view text, const std::string& file, int line)
      : text_(text), file_(file), line_(line) {
    size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && is_space(text[i])) ++i;
      size_t start = i;
      while (i < text.size() && !is_space(text[i])) ++i;
      if (i > start) words_.push_back({start, i});
    }
  }

  bool empty() const { return words_.empty(); }
  bool comment() const { return !words_.empty() && text_[words_[0].first] == '#'; }
  size_t size() const { return words_.size(); }
  std::string_view word(size_t i) const {
    return text_.substr(words_[i].first, words_[i].second - words_[i].first);
  }
  // Everything from word i to the end of the line, trailing blanks removed.
  std::string_view rest(size_t i) const {
    return text_.substr(words_[i].first, words_.back().second - words_[i].first);
  }

  bool fail(std::string& error, const std::string& what) const {
    error = file_ + ":" + std::to_string(line_) + ": " + what;
    return false;
  }
  // Word i must exist; `what` names it in the error.
  bool need(size_t i, std::string& error, const std::string& what) const {
    if (i < words_.size()) return true;
    return fail(error, "missing " + what);
  }
  bool no_more(size_t i, std::string& error) const {
    if (i >= words_.size()) return true;
    return fail(error, "unexpected '" + std::string(word(i)) + "' at the end of the line");
  }
  bool number(size_t i, int& out, std::string& error, const std::string& what) const {
    if (!need(i, error, what)) return false;
    if (to_number(word(i), out)) return true;
    return fail(error, what + ": '" + std::string(word(i)) + "' is not a number");
  }
  bool button(size_t i, MouseButton& out, std::string& error) const {
    if (!need(i, error, "mouse button (left, right or middle)")) return false;
    const std::string b = lower(word(i));
    if (b == "left") out = MouseButton::Left;
    else if (b == "right") out = MouseButton::Right;
    else if (b == "middle") out = MouseButton::Middle;
    else return fail(error, "'" + std::string(word(i)) +
                              "' is not a mouse button (left, right or middle)");
    return true;
  }

 private:
  std::string_view text_;
  const std::string& file_;
  int line_;
  std::vector<std::pair<size_t, size_t>> words_;
};

bool parse_line(const LineReader& r, ScriptAction& a, std::string& error) {
  if (!to_number(r.word(0), a.frame) || a.frame < 1) {
    return r.fail(error, "'" + std::string(r.word(0)) + "' is not a frame number (1 or more)");
  }
  if (!r.need(1, error, "action after the frame number")) return false;
  const std::string action = lower(r.word(1));

  if (action == "key") {
    if (!r.need(2, error, "'down' or 'up' after 'key'")) return false;
    const std::string dir = lower(r.word(2));
    if (dir == "down") a.verb = ScriptVerb::KeyDown;
    else if (dir == "up") a.verb = ScriptVerb::KeyUp;
    else return r.fail(error, "expected 'down' or 'up' after 'key', not '" +
                                  std::string(r.word(2)) + "'");
    if (!r.need(3, error, "key name")) return false;
    a.key = key_code(r.word(3));
    if (a.key < 0) return r.fail(error, "'" + std::string(r.word(3)) + "' is not a key name");
    return r.no_more(4, error);
  }
  if (action == "mouse") {
    if (!r.need(2, error, "'down', 'up' or 'move' after 'mouse'")) return false;
    const std::string what = lower(r.word(2));
    size_t i = 3;
    if (what == "move") {
      a.verb = ScriptVerb::MouseMove;
    } else if (what == "down" || what == "up") {
      a.verb = what == "down" ? ScriptVerb::MouseDown : ScriptVerb::MouseUp;
      if (!r.button(i++, a.button, error)) return false;
    } else {
      return r.fail(error, "expected 'down', 'up' or 'move' after 'mouse', not '" +
                               std::string(r.word(2)) + "'");
    }
    if (!r.number(i, a.x, error, "x") || !r.number(i + 1, a.y, error, "y")) return false;
    return r.no_more(i + 2, error);
  }
  if (action == "drag") {
    a.verb = ScriptVerb::Drag;
    if (!r.button(2, a.button, error) || !r.number(3, a.x, error, "x1") ||
        !r.number(4, a.y, error, "y1") || !r.number(5, a.x2, error, "x2") ||
        !r.number(6, a.y2, error, "y2")) {
      return false;
    }
    if (r.size() > 7) {
      if (!r.number(7, a.steps, error, "steps")) return false;
      if (a.steps < 1) return r.fail(error, "steps must be 1 or more");
    }
    return r.no_more(8, error);
  }
  if (action == "screenshot") {
    a.verb = ScriptVerb::Screenshot;
    if (!r.need(2, error, "file name after 'screenshot'")) return false;
    a.path = std::string(r.rest(2));  // may contain blanks
    return true;
  }
  if (action == "close") {
    a.verb = ScriptVerb::Close;
    return r.no_more(2, error);
  }
  if (action == "resize") {
    a.verb = ScriptVerb::Resize;
    if (!r.number(2, a.x, error, "width") || !r.number(3, a.y, error, "height")) return false;
    if (a.x < 1 || a.y < 1) return r.fail(error, "width and height must be 1 or more");
    return r.no_more(4, error);
  }
  return r.fail(error, "unknown action '" + std::string(r.word(1)) + "'");
}

}  // namespace

std::optional<std::vector<ScriptAction>> parse_script(std::istream& in, const std::string& file,
                                                      std::string& error) {
  std::vector<ScriptAction> actions;
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    LineReader r(text, file, line);
    if (r.empty() || r.comment()) continue;
    ScriptAction a;
    a.line = line;
    if (!parse_line(r, a, error)) return std::nullopt;
    actions.push_back(std::move(a));
  }
  if (in.bad()) {
    error = file + ": read error";
    return std::nullopt;
  }
  std::stable_sort(actions.begin(), actions.end(),
                   [](const ScriptAction& a, const ScriptAction& b) { return a.frame < b.frame; });
  return actions;
}

int key_code(std::string_view name) {
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return -1;
  }
  if (std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    int code = 0;
    if (to_number(name, code) && code >= 1 && code <= 254) return code;
    return -1;
  }
  const std::string n = lower(name);
  if (n[0] == 'f') {
    int f = 0;
    if (to_number(std::string_view(n).substr(1), f) && f >= 1 && f <= 12 && n[1] != '0') {
      return VK_F1 + f - 1;
    }
  }
  for (const NamedKey& k : kNamedKeys) {
    if (n == k.name) return k.vk;
  }
  return -1;
}

KeyMessage key_message(int vk, bool down, bool was_down, bool alt_held) {
  const bool sys = vk == VK_MENU || alt_held;
  // The context code is set while Alt is down: for Alt's own press and for
  // keys pressed or released with Alt held, but not for Alt's release.
  const bool alt_context = vk == VK_MENU ? down : alt_held;
  KeyMessage m;
  m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  m.wParam = static_cast<WPARAM>(vk);
  uint32_t bits = 1;                                    // repeat count
  bits |= static_cast<uint32_t>(scan_bits(vk)) << 16;  // scan code and extended bit 24
  if (alt_context) bits |= 1u << 29;
  if (was_down || !down) bits |= 1u << 30;
  if (!down) bits |= 1u << 31;
  m.lParam = static_cast<LPARAM>(bits);  // a 32-bit value, as Win32 delivers it
  return m;
}

}  // namespace vlmr
