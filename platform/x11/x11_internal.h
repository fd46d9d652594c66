// Shared state and helpers of the X11 backend. Only the files of platform/x11
// include this header: Xlib's names (None, Bool, Window, Cursor, Font...) must
// not reach the library. The core's header comes first, so inside namespace
// vlmr the names Window, Cursor and Font keep meaning the core's records; the
// X types are spelled XWindow, XCursor and XFontId here.
#pragma once

#include "core.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <GL/glx.h>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

using XWindow = ::Window;
using XCursor = ::Cursor;
using XFontId = ::Font;

namespace vlmr::x11 {

// The colours of the controls this backend draws itself (the message box and
// the status bar), as 0x00RRGGBB.
constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDarkShadow = 0x404040;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kText = 0x000000;

struct Atoms {
  Atom wm_protocols = 0, wm_delete_window = 0, wm_state = 0, net_wm_ping = 0;
  Atom net_wm_name = 0, net_wm_icon_name = 0, utf8_string = 0, net_wm_pid = 0;
  Atom net_wm_state = 0, net_wm_state_hidden = 0, net_wm_state_modal = 0;
  Atom net_wm_window_type = 0, net_wm_window_type_dialog = 0, motif_wm_hints = 0;
};

// The X side of a core window (Window::native).
struct Native {
  XWindow xid = 0;           // 0 once the X window is gone
  int border = 0;            // X border width: the frame of a bordered pop-up or child
  Colormap colormap = 0;     // own colormap of a window recreated for another visual
  GLXFBConfig config = nullptr;  // the pixel format's configuration, once set
  bool mapped = false;       // the server reported it mapped
  bool minimized = false;    // WM_SIZE minimized was posted and not yet undone
};

// A rendering context (Context::native).
struct GlContext {
  GLXContext context = nullptr;
  GLXFBConfig config = nullptr;
};

// The connection and everything the backend keeps for it.
struct Conn {
  Display* dpy = nullptr;
  int screen = 0;
  XWindow root = 0;
  Atoms atoms;

  // Every window is made with the visual of the default OpenGL configuration,
  // so a pixel format of that configuration needs no new X window.
  GLXFBConfig window_config = nullptr;
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = 0;
  bool own_colormap = false;
  VisualID visual_id = 0;
  GC gc = nullptr;           // for drawing on windows of that depth
  XFontStruct* font = nullptr;  // status bar and message box text

  std::vector<GLXFBConfig> formats;  // pixel format n is formats[n - 1]
  bool has_shape = false;
  bool detectable_repeat = false;

  std::unordered_map<XWindow, HWND> windows;  // every X window made for a core window
  std::unordered_map<int, XCursor> cursors;   // font cursors by X cursor shape

  // While an event is being translated, where its pointer was: the messages it
  // posts carry that position without asking the server.
  bool in_event = false;
  POINT event_pointer{0, 0};

  // Keys held, by keycode: the virtual key each went down as (0: not held).
  std::array<uint8_t, 256> held{};
};

// ------------------------------------------------------------ connection
// Opens the display named by DISPLAY and installs the error handlers.
bool open_display(Conn& c, std::string& error);
void close_display(Conn& c);
// Protocol errors seen so far (they are recorded and ignored).
unsigned long error_count();
// The core window an X window was made for, if it still lives.
Window* window_of(Conn& c, XWindow xid);
Native* native_of(Window& w);
XWindow xid_of(Window& w);
// The top-level window a window belongs to (itself for a top-level window).
Window* top_level_of(Window& w);
// The pixel value of 0x00RRGGBB in the windows' visual.
unsigned long pixel_of(const Conn& c, uint32_t rgb);
// The core font for status bar and message box text, loaded on first use.
XFontStruct* text_font(Conn& c);

// ----------------------------------------------------------------- GLX
// Picks the configuration windows are made with; false when there is none.
bool choose_window_config(Conn& c, std::string& error);
// Pixel format number (>= 1) for a descriptor, 0 when nothing fits.
int choose_format(Conn& c, const PIXELFORMATDESCRIPTOR& pfd);
GlContext* create_gl_context(Conn& c, GLXFBConfig config);

// ------------------------------------------------------------- windows
void create_native(Conn& c, Window& w);
void destroy_native(Conn& c, Window& w);
void move_native(Conn& c, Window& w);
void show_native(Conn& c, Window& w);
void title_native(Conn& c, Window& w);
void shape_native(Conn& c, Window& w);
void paint_native(Conn& c, Window& w);
// Gives the window an X window of another visual (for a pixel format whose
// configuration differs from the default one); false when that fails.
bool use_visual(Conn& c, Window& w, XVisualInfo& visual);
void define_cursor(Conn& c, Window& w, HCURSOR cursor);
// Copies 0x00RRGGBB pixels (width * height, top row first) to a drawable.
void put_pixels(Conn& c, Drawable d, int x, int y, const uint32_t* rgb, int width, int height);

// --------------------------------------------------------------- input
// Translates one event into core messages. During a message box (modal),
// input meant for other windows is dropped.
void handle_event(Conn& c, XEvent& ev, bool modal);
// Virtual-key code of a key symbol, 0 for a key without one.
int virtual_key(KeySym sym);

// ------------------------------------------------------ drawn by the backend
void draw_status_bar(Conn& c, Window& w);
int show_message_box(Conn& c, HWND owner, const char* text, const char* caption);

// ---------------------------------------------------------------- text
// Windows-1252 bytes as UTF-8, and as Latin-1 (characters Latin-1 lacks
// become '?').
std::string cp1252_to_utf8(std::string_view text);
std::string cp1252_to_latin1(std::string_view text);
// Windows-1252 text in the core font (text_font) with the gc's colour and
// clip: its width in pixels, and drawing it with its baseline at y.
int text_width(const XFontStruct* font, std::string_view text);
void draw_text(Conn& c, Drawable d, int x, int baseline, std::string_view text);

}  // namespace vlmr::x11
