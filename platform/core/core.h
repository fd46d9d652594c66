// Internal interface of the platform core: the handle table, the window
// records, the message queue entry points used by the backends, and the
// backend interface itself. Never included by the library or by programs.
#pragma once

#include "vlmr_platform.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vlmr {

// ------------------------------------------------------------- handle table
enum class Kind : uint8_t { Window, Dc, Context, Bitmap, Palette, Region, Font, Brush, Cursor, Icon, Global };

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
  uintptr_t handle = 0;
  bool stock = false;  // stock objects are never deleted nor counted
};

// Handles are numbers from a counter that never reuses a value, so a stale
// handle can always be told apart from a live one.
uintptr_t add_object(std::unique_ptr<Object> object);
Object* find_object(const void* handle);
template <class T>
T* find(const void* handle) {
  Object* o = find_object(handle);
  return (o && o->kind == T::kKind) ? static_cast<T*>(o) : nullptr;
}
void remove_object(const void* handle);
int live_gdi_objects();

template <class H>
H to_handle(uintptr_t v) {
  return reinterpret_cast<H>(v);
}

// ----------------------------------------------------------------- windows
struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  bool system = false;  // provided by the platform (e.g. the status window)
};

struct Window : Object {
  static constexpr Kind kKind = Kind::Window;
  Window() : Object(Kind::Window) {}
  HWND hwnd() const { return to_handle<HWND>(handle); }

  const WindowClass* cls = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD ex_style = 0;
  HWND parent = nullptr;
  int id = 0;                 // control identifier of a child window
  RECT rect{};                // outer rectangle: screen coordinates for a top-level
                              // window, parent client coordinates for a child
  std::string text;
  bool visible = false;
  bool destroying = false;    // DestroyWindow is running: WM_DESTROY sent
  bool invalid = false;       // needs WM_PAINT
  std::map<std::string, HANDLE> props;
  HRGN region = nullptr;      // window shape (owned by the window), client coords
  HDC dc = nullptr;           // the window's own device context (GetDC)
  int pixel_format = 0;
  std::vector<int> parts;     // status window parts (right edges)
  std::vector<std::string> part_texts;
  std::vector<uint32_t> surface;  // what GDI painted into the client area, 0x00RRGGBB
  void* native = nullptr;     // backend data

  int frame_left() const;     // frame thickness of this window's style
  int frame_top() const;
  RECT client_rect() const;   // (0, 0, client width, client height)
  POINT client_origin() const;  // client (0,0) in screen coordinates
  bool is_child() const { return (style & WS_CHILD) != 0; }
};

Window* find_window(HWND h);
std::vector<Window*> top_level_windows();
std::vector<Window*> children_of(HWND parent);
// The first live top-level window that has an OpenGL pixel format, else the
// first live top-level window: where scripted input goes.
Window* main_window();

// ------------------------------------------------------- queue, for backends
void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Routes a mouse message given in the client coordinates of a top-level window:
// to the capture window if any, else to the deepest visible child under the
// point whose shape contains it. The pointer position itself is the backend's
// (a real pointer, or the headless virtual pointer the driver moves).
void deliver_mouse(Window& top, UINT message, int x, int y, WPARAM keyFlags);
// Key state for MK_ flags and GetKeyState-like questions.
void set_key_state(int vk, bool down);
WPARAM mouse_key_flags();
// Sent when the window manager asks the window to close (WM_CLOSE posted).
void request_close(Window& w);
// Called by the backend when the native window's client size changed.
void native_resized(Window& w, int clientWidth, int clientHeight);
void native_moved(Window& w, int screenX, int screenY);
void set_foreground(HWND w);
HWND capture_window();

// ----------------------------------------------------------------- GDI bits
struct Dc : Object {
  static constexpr Kind kKind = Kind::Dc;
  Dc() : Object(Kind::Dc) {}
  HWND window = nullptr;        // window DC (GetDC/BeginPaint) or 0 for memory DC/screen
  bool memory = false;
  bool screen = false;
  HBITMAP bitmap = nullptr;     // selected bitmap (memory DC)
  HBITMAP default_bitmap = nullptr;  // the 1x1 bitmap a memory DC starts with
  HPALETTE palette = nullptr;
  HFONT font = nullptr;
  HBRUSH brush = nullptr;
  HRGN clip = nullptr;
};

struct Bitmap : Object {
  static constexpr Kind kKind = Kind::Bitmap;
  Bitmap() : Object(Kind::Bitmap) {}
  int width = 0;
  int height = 0;              // always positive
  bool top_down = false;       // rows in memory top row first
  int bits_per_pixel = 32;
  int stride = 0;              // bytes per row, multiple of 4
  std::vector<uint8_t> bits;   // rows in memory order
  std::vector<RGBQUAD> colors; // colour table (<= 8 bpp)
  uint32_t masks[3] = {0, 0, 0};  // 16/32-bit channel masks (r, g, b)
  HDC selected_in = nullptr;
  // The pixel at (x, y), y counted from the top of the picture, as 0x00RRGGBB.
  uint32_t pixel(int x, int y) const;
  void set_pixel(int x, int y, uint32_t rgb);
};

struct Palette : Object {
  static constexpr Kind kKind = Kind::Palette;
  Palette() : Object(Kind::Palette) {}
  std::vector<PALETTEENTRY> entries;
};

struct Font : Object {
  static constexpr Kind kKind = Kind::Font;
  Font() : Object(Kind::Font) {}
  int height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  bool italic = false, underline = false, strike_out = false;
  std::string face;  // empty: the platform's default face
};

struct Brush : Object {
  static constexpr Kind kKind = Kind::Brush;
  Brush() : Object(Kind::Brush) {}
  COLORREF color = 0;
  bool hollow = false;
};

struct Cursor : Object {
  static constexpr Kind kKind = Kind::Cursor;
  Cursor() : Object(Kind::Cursor) {}
  int shape = 0;          // the IDC_ / IDI_ resource id, or 0 for a file
  std::string file;
};

struct Context : Object {
  static constexpr Kind kKind = Kind::Context;
  Context() : Object(Kind::Context) {}
  HWND window = nullptr;
  void* native = nullptr;
};

// ----------------------------------------------------------------- backend
class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* name() const = 0;
  // False when the backend cannot start (no display); the message says why.
  virtual bool open(std::string& error) = 0;
  virtual void screen_size(int& width, int& height) = 0;

  // Native windows. The core owns the Window record; the backend keeps its own
  // data in Window::native.
  virtual void window_created(Window& w) = 0;
  virtual void window_destroyed(Window& w) = 0;
  virtual void window_moved(Window& w) = 0;      // rect changed
  virtual void window_shown(Window& w) = 0;      // visible changed
  virtual void window_titled(Window& w) = 0;     // text changed
  virtual void window_shaped(Window& w) = 0;     // region changed
  virtual void window_painted(Window& w) = 0;    // surface changed (GDI drawing)

  // Feeds waiting native events into the core's queue; never blocks.
  virtual void pump() = 0;
  // Blocks until a native event may be waiting or timeout_ms passed.
  virtual void wait(int timeout_ms) = 0;

  // OpenGL.
  virtual int choose_pixel_format(const PIXELFORMATDESCRIPTOR& pfd) = 0;  // >= 1, 0 = none
  virtual bool set_pixel_format(Window& w, int format) = 0;
  virtual void* create_context(Window& w) = 0;
  virtual bool make_current(Window* w, void* context) = 0;  // null window: release
  virtual void delete_context(void* context) = 0;
  virtual bool swap_buffers(Window& w) = 0;

  // Pointer and dialogs.
  virtual POINT cursor_pos() = 0;
  virtual void set_cursor_pos(int x, int y) = 0;
  virtual void capture_changed(Window* w) = 0;   // null: released
  virtual void cursor_changed(Window& w, HCURSOR cursor) = 0;
  virtual int message_box(HWND owner, const char* text, const char* caption, UINT type) = 0;
};

// The backend chosen by VELMORA_PLATFORM (x11 by default), opened on first use.
// Returns null (after writing why on stderr) when it cannot be opened.
Backend* backend();
std::unique_ptr<Backend> make_headless_backend();
std::unique_ptr<Backend> make_x11_backend();

// ------------------------------------------------- driving without a person
// Reads VELMORA_SCRIPT, VELMORA_FRAMES and VELMORA_SCREENSHOT once. Called by
// SwapBuffers before the backend presents (the back buffer still holds the
// frame, the window's context current) and after it.
void driver_before_present(Window& w);
void driver_after_present(Window& w);
// Called by DestroyWindow for a window with a pixel format, while its context
// may still be current: writes VELMORA_SCREENSHOT from the last frame.
void driver_window_closing(Window& w);
// Reads the current GL draw buffer of w's client area as top-row-first RGBA
// (w's context must be current).
std::vector<uint8_t> read_gl_pixels(Window& w, int& width, int& height);

}  // namespace vlmr
