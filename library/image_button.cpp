// The image button: a child window of class "IMAGEBUTTON" shaped by its normal
// bitmap (magenta cut away) and painted from three bitmaps, normal, hover and
// pressed, which it shows as the mouse moves over it and presses it. A click
// is posted to the parent as WM_COMMAND with the button's control identifier.
#include "Velmora.h"

#include <map>
#include <string>

namespace Velmora {

std::string BMPTYPE;

namespace {

constexpr COLORREF kOutlineColour = 16711935;  // magenta
constexpr uint8_t kOutlineTolerance = 1;

enum State : uintptr_t { kNone = 0, kNormal = 1, kHover = 2, kPressed = 3 };

// The bitmaps and palettes a button loaded at creation, kept by window so
// that its destruction can delete them after their device contexts.
struct Pictures {
  HBITMAP bitmaps[3] = {};
  HPALETTE palettes[3] = {};
};
std::map<HWND, Pictures>& loaded_pictures() {
  static std::map<HWND, Pictures> table;
  return table;
}

State state_of(HWND wnd) {
  return static_cast<State>(reinterpret_cast<uintptr_t>(GetPropA(wnd, HOVERMODE)));
}

void set_state(HWND wnd, State state) {
  SetPropA(wnd, HOVERMODE, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(state)));
}

// A memory DC showing one picture with its palette realised, stored in the
// property `name`. A picture that could not be loaded leaves the DC empty.
void keep_picture(HWND wnd, const char* name, HBITMAP bitmap, HPALETTE palette) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  SetPropA(wnd, name, dc);
}

void on_create(HWND wnd) {
  const std::string normal_file = BMPTYPE + "N.BMP";
  const std::string hover_file = BMPTYPE + "H.BMP";
  const std::string pressed_file = BMPTYPE + "P.BMP";
  Pictures pictures;

  RECT own{}, parent{};
  GetWindowRect(wnd, &own);
  GetWindowRect(GetParent(wnd), &parent);
  int width = own.right - own.left;
  int height = own.bottom - own.top;
  pictures.bitmaps[0] = LOADBMPFROMFILE(normal_file.c_str(), pictures.palettes[0]);
  if (pictures.bitmaps[0]) {
    BITMAP description{};
    GetObjectA(pictures.bitmaps[0], sizeof description, &description);
    width = description.bmWidth;
    height = description.bmHeight;
  }
  // Measured from the parent's outer corner, less a 3-pixel frame and a
  // 19-pixel caption: the place the button was created at in such a parent.
  MoveWindow(wnd, own.left - parent.left - 3, own.top - parent.top - 19, width, height, FALSE);

  keep_picture(wnd, NORMALBMP, pictures.bitmaps[0], pictures.palettes[0]);
  pictures.bitmaps[1] = LOADBMPFROMFILE(hover_file.c_str(), pictures.palettes[1]);
  keep_picture(wnd, HOVERBMP, pictures.bitmaps[1], pictures.palettes[1]);
  pictures.bitmaps[2] = LOADBMPFROMFILE(pressed_file.c_str(), pictures.palettes[2]);
  keep_picture(wnd, PRESSBMP, pictures.bitmaps[2], pictures.palettes[2]);
  loaded_pictures()[wnd] = pictures;

  set_state(wnd, kNormal);

  HRGN shape = BITMAPTOREGION(normal_file.c_str(), kOutlineColour, kOutlineTolerance);
  if (!shape) return;
  SetWindowRgn(wnd, shape, FALSE);  // the window owns this one
  SetPropA(wnd, BUTTONRGN,
           BITMAPTOREGION(normal_file.c_str(), kOutlineColour, kOutlineTolerance));
}

void on_mouse_move(HWND wnd, WPARAM keys, LPARAM position) {
  auto hit_region = static_cast<HRGN>(GetPropA(wnd, BUTTONRGN));
  const State state = state_of(wnd);
  if (!hit_region || state == kNone) return;
  // Unsigned words: a captured pointer left of or above the button reads as
  // a large number, outside the region.
  const int x = LOWORD(static_cast<uintptr_t>(position));
  const int y = HIWORD(static_cast<uintptr_t>(position));
  if (PtInRegion(hit_region, x, y)) {
    if (state == kNormal) {
      set_state(wnd, (keys & (MK_LBUTTON | MK_RBUTTON)) ? kPressed : kHover);
      // Holding the capture lets the button see the pointer leave it.
      SetCapture(wnd);
      InvalidateRect(wnd, nullptr, FALSE);
    }
  } else {
    set_state(wnd, kNormal);
    ReleaseCapture();
    InvalidateRect(wnd, nullptr, FALSE);
  }
}

void on_left_down(HWND wnd) {
  SetCapture(wnd);
  set_state(wnd, kPressed);
  InvalidateRect(wnd, nullptr, FALSE);
}

void on_left_up(HWND wnd) {
  if (state_of(wnd) == kPressed) {
    PostMessageA(GetParent(wnd), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(wnd)), 0), 0);
  }
  set_state(wnd, kNormal);
  ReleaseCapture();
  InvalidateRect(wnd, nullptr, FALSE);
}

void on_paint(HWND wnd) {
  RECT own{};
  GetWindowRect(wnd, &own);
  const char* picture = nullptr;
  switch (state_of(wnd)) {
    case kNormal: picture = NORMALBMP; break;
    case kHover: picture = HOVERBMP; break;
    case kPressed: picture = PRESSBMP; break;
    default: break;
  }
  if (!picture) return;  // nothing to show: the button stays invalid
  auto source = static_cast<HDC>(GetPropA(wnd, picture));
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(wnd, &paint);
  BitBlt(dc, 0, 0, own.right - own.left, own.bottom - own.top, source, 0, 0, SRCCOPY);
  EndPaint(wnd, &paint);
}

void on_destroy(HWND wnd) {
  RemovePropA(wnd, HOVERMODE);
  if (auto hit_region = static_cast<HRGN>(GetPropA(wnd, BUTTONRGN))) DeleteObject(hit_region);
  RemovePropA(wnd, BUTTONRGN);
  for (const char* picture : {PRESSBMP, HOVERBMP, NORMALBMP}) {
    if (auto dc = static_cast<HDC>(GetPropA(wnd, picture))) DeleteDC(dc);
    RemovePropA(wnd, picture);
  }
  // With their device contexts gone the pictures can go too.
  auto& table = loaded_pictures();
  if (auto it = table.find(wnd); it != table.end()) {
    for (int i = 0; i < 3; ++i) {
      if (it->second.bitmaps[i]) DeleteObject(it->second.bitmaps[i]);
      if (it->second.palettes[i]) DeleteObject(it->second.palettes[i]);
    }
    table.erase(it);
  }
}

}  // namespace

LRESULT HOVERBUTTONHANDLER(HWND WND, UINT IMSG, WPARAM WPARAM_, LPARAM LPARAM_) {
  switch (IMSG) {
    case WM_CREATE: on_create(WND); return 0;
    case WM_MOUSEMOVE: on_mouse_move(WND, WPARAM_, LPARAM_); return 0;
    case WM_LBUTTONDOWN: on_left_down(WND); return 0;
    case WM_LBUTTONUP: on_left_up(WND); return 0;
    case WM_PAINT: on_paint(WND); return 0;
    case WM_DESTROY: on_destroy(WND); return 0;
    default: return DefWindowProcA(WND, IMSG, WPARAM_, LPARAM_);
  }
}

}  // namespace Velmora
