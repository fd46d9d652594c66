// Driving a program without a person, on every backend: the script of input
// (VELMORA_SCRIPT), the frame limit (VELMORA_FRAMES) and the screenshot of the
// last frame (VELMORA_SCREENSHOT). SwapBuffers counts the frames and calls in
// here around each present; the actions of a frame are posted after it.
#include "core.h"
#include "script.h"
#include "virtual_pointer.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>

namespace vlmr {
namespace {

struct Driver {
  std::vector<ScriptAction> actions;  // in frame order
  size_t next = 0;                    // first action not yet played
  long close_after = 0;               // VELMORA_FRAMES, 0 for none
  std::string screenshot;             // VELMORA_SCREENSHOT, empty for none
  long frame = 0;                     // the frame being presented

  // The last frame drawn, kept only while VELMORA_SCREENSHOT is set.
  std::vector<uint8_t> last;
  int last_width = 0, last_height = 0;
  HWND last_window = nullptr;
  bool screenshot_done = false;

  std::set<int> keys_down;  // keys the script holds down
};

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  std::exit(2);
}

std::vector<ScriptAction> read_script(const char* file) {
  std::ifstream in(file);
  if (!in) fail(std::string("VELMORA_SCRIPT: ") + file + ": cannot open: " + std::strerror(errno));
  std::string error;
  auto actions = parse_script(in, file, error);
  if (!actions) fail("VELMORA_SCRIPT: " + error);
  return std::move(*actions);
}

long read_frames(const char* text) {
  long n = 0;
  const char* end = text + std::strlen(text);
  auto [p, ec] = std::from_chars(text, end, n);
  if (ec != std::errc() || p != end || n < 1) {
    fail(std::string("VELMORA_FRAMES: '") + text + "' is not a frame count (1 or more)");
  }
  return n;
}

// The environment is read once, on first use.
Driver& driver() {
  static Driver d = [] {
    Driver d;
    if (const char* s = std::getenv("VELMORA_SCRIPT"); s && *s) d.actions = read_script(s);
    if (const char* s = std::getenv("VELMORA_FRAMES"); s && *s) d.close_after = read_frames(s);
    if (const char* s = std::getenv("VELMORA_SCREENSHOT"); s && *s) d.screenshot = s;
    return d;
  }();
  return d;
}

void write_png(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
               const char* origin) {
  // A screenshot shows what the window shows: the window is opaque whatever
  // alpha the program cleared or drew with.
  std::vector<uint8_t> opaque = rgba;
  for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
  if (opaque.empty() || !VlmrWritePng(path.c_str(), opaque.data(), width, height)) {
    std::fprintf(stderr, "%s: cannot write screenshot %s\n", origin, path.c_str());
    return;
  }
  std::fprintf(stderr, "screenshot written to %s\n", path.c_str());
}

void play_key(Driver& d, Window& target, int vk, bool down) {
  const bool was_down = d.keys_down.count(vk) != 0;
  const bool alt_held = vk != VK_MENU && d.keys_down.count(VK_MENU) != 0;
  if (down) d.keys_down.insert(vk);
  else d.keys_down.erase(vk);
  set_key_state(vk, down);
  const KeyMessage m = key_message(vk, down, was_down, alt_held);
  post(target.hwnd(), m.message, m.wParam, m.lParam);
}

// Scripted mouse messages come from the pointer: it moves there first.
void deliver(Window& target, UINT message, int x, int y) {
  const POINT origin = target.client_origin();
  set_virtual_pointer(POINT{origin.x + x, origin.y + y});
  deliver_mouse(target, message, x, y, mouse_key_flags());
}

void play_button(Window& target, MouseButton button, bool down, int x, int y) {
  static constexpr struct {
    int vk;
    UINT down, up;
  } kButtons[] = {{VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP},
                  {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP},
                  {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP}};
  const auto& b = kButtons[static_cast<int>(button)];
  // The button state changes first, so the message's MK_ flags show it as a
  // real press or release would.
  set_key_state(b.vk, down);
  deliver(target, down ? b.down : b.up, x, y);
}

void play_move(Window& target, int x, int y) { deliver(target, WM_MOUSEMOVE, x, y); }

// Posts the messages of one action (all but screenshots, which are taken
// before the present).
void play(Driver& d, const ScriptAction& a) {
  Window* target = main_window();
  if (target == nullptr) return;
  switch (a.verb) {
    case ScriptVerb::KeyDown:
    case ScriptVerb::KeyUp:
      play_key(d, *target, a.key, a.verb == ScriptVerb::KeyDown);
      break;
    case ScriptVerb::MouseDown:
    case ScriptVerb::MouseUp:
      play_button(*target, a.button, a.verb == ScriptVerb::MouseDown, a.x, a.y);
      break;
    case ScriptVerb::MouseMove:
      play_move(*target, a.x, a.y);
      break;
    case ScriptVerb::Drag:
      play_button(*target, a.button, true, a.x, a.y);
      for (int i = 1; i <= a.steps; ++i) {
        const long long dx = static_cast<long long>(a.x2) - a.x;
        const long long dy = static_cast<long long>(a.y2) - a.y;
        play_move(*target, static_cast<int>(a.x + dx * i / a.steps),
                  static_cast<int>(a.y + dy * i / a.steps));
      }
      play_button(*target, a.button, false, a.x2, a.y2);
      break;
    case ScriptVerb::Close:
      request_close(*target);
      break;
    case ScriptVerb::Resize:
      MoveWindow(target->hwnd(), target->rect.left, target->rect.top, a.x, a.y, TRUE);
      break;
    case ScriptVerb::Screenshot:
      break;
  }
}

POINT g_pointer{0, 0};

}  // namespace

POINT virtual_pointer() { return g_pointer; }
void set_virtual_pointer(POINT screen) { g_pointer = screen; }

std::vector<uint8_t> read_gl_pixels(Window& w, int& width, int& height) {
  const RECT r = w.client_rect();
  width = r.right - r.left;
  height = r.bottom - r.top;
  if (width <= 0 || height <= 0) {
    width = height = 0;
    return {};
  }
  const size_t row = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> bottom_up(row * static_cast<size_t>(height));

  // Read what is being drawn (the back buffer of a double-buffered window),
  // with tight rows, leaving the program's pixel-store and read state as it was.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
  glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
  GLint read_buffer = 0, draw_buffer = 0;
  glGetIntegerv(GL_READ_BUFFER, &read_buffer);
  glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
  glReadBuffer(static_cast<GLenum>(draw_buffer));
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
  glReadBuffer(static_cast<GLenum>(read_buffer));
  glPopClientAttrib();

  // GL rows run bottom to top; pictures are written top row first.
  std::vector<uint8_t> pixels(bottom_up.size());
  for (int y = 0; y < height; ++y) {
    std::memcpy(pixels.data() + static_cast<size_t>(y) * row,
                bottom_up.data() + static_cast<size_t>(height - 1 - y) * row, row);
  }
  return pixels;
}

namespace {

// Child windows painted with GDI (image buttons, a status bar that drew
// itself) lie over the GL scene: a screenshot shows them where the window
// shows them, each within its own shape.
void compose_children(Window& parent, std::vector<uint8_t>& rgba, int width, int height) {
  for (Window* child : children_of(parent.hwnd())) {
    if (!child->visible || child->surface.empty()) continue;
    const RECT c = child->client_rect();
    const POINT origin{child->rect.left + child->frame_left(), child->rect.top + child->frame_top()};
    for (int y = 0; y < c.bottom; ++y) {
      for (int x = 0; x < c.right; ++x) {
        const int px = origin.x + x, py = origin.y + y;
        if (px < 0 || py < 0 || px >= width || py >= height) continue;
        if (child->region && !PtInRegion(child->region, x, y)) continue;
        const uint32_t v = child->surface[static_cast<size_t>(y) * c.right + x];
        uint8_t* p = &rgba[(static_cast<size_t>(py) * width + px) * 4];
        p[0] = static_cast<uint8_t>(v >> 16);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v);
        p[3] = 255;
      }
    }
  }
}

}  // namespace

void driver_before_present(Window& w) {
  Driver& d = driver();
  d.frame = VlmrFrameCount();  // SwapBuffers has counted this frame

  std::vector<uint8_t> pixels;
  int width = 0, height = 0;
  bool have_pixels = false;
  auto frame_pixels = [&]() -> const std::vector<uint8_t>& {
    if (!have_pixels) {
      pixels = read_gl_pixels(w, width, height);
      compose_children(w, pixels, width, height);
      have_pixels = true;
    }
    return pixels;
  };

  for (size_t i = d.next; i < d.actions.size() && d.actions[i].frame <= d.frame; ++i) {
    const ScriptAction& a = d.actions[i];
    if (a.verb != ScriptVerb::Screenshot) continue;
    const std::vector<uint8_t>& rgba = frame_pixels();  // sets width and height
    write_png(a.path, rgba, width, height, "VELMORA_SCRIPT");
  }
  if (!d.screenshot.empty()) {
    frame_pixels();
    d.last = std::move(pixels);
    d.last_width = width;
    d.last_height = height;
    d.last_window = w.hwnd();
  }
}

void driver_after_present(Window&) {
  Driver& d = driver();
  while (d.next < d.actions.size() && d.actions[d.next].frame <= d.frame) {
    play(d, d.actions[d.next++]);
  }
  if (d.close_after != 0 && d.frame == d.close_after) {
    if (Window* target = main_window()) request_close(*target);
  }
}

void driver_window_closing(Window& w) {
  Driver& d = driver();
  if (d.screenshot.empty()) return;
  if (d.last_window == w.hwnd()) {
    write_png(d.screenshot, d.last, d.last_width, d.last_height, "VELMORA_SCREENSHOT");
    d.last.clear();
    d.last_window = nullptr;
    d.screenshot_done = true;
  } else if (d.last_window == nullptr && !d.screenshot_done) {
    std::fprintf(stderr, "VELMORA_SCREENSHOT: no frame was drawn, %s not written\n",
                 d.screenshot.c_str());
  }
}

}  // namespace vlmr
