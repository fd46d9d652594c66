// The window procedure of the library's window: turns messages into the
// global input state that programs poll (key table, mouse buttons and
// positions, the mouse camera, ACTIVE) and keeps the frame-rate title.
#include "Velmora.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace Velmora {
namespace {

// The common tail of every message that does not return at once.
LRESULT common_tail(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_) {
  if (WPARAM_ == 0) UpdateWindow(HSTATUS);
  return DefWindowProcA(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
}

long key_index(WPARAM key) {
  return key > 0x7FFFFFFF ? -1 : static_cast<long>(key);
}

float clamp60(double v) { return static_cast<float>(std::clamp(v, -60.0, 60.0)); }

void mouse_camera(int32_t x, int32_t y) {
  SETOMX = x;
  SETOMY = y;
  if (LEFTMOUSEDOWN) {
    const double dx = static_cast<double>(y - YCOORD) / 2 * MSPEED;
    const double dy = static_cast<double>(x - XCOORD) / 2 * MSPEED;
    XROT = static_cast<float>(XROT + dx);
    YROT = static_cast<float>(YROT + dy);
    XROT2 = static_cast<float>(XROT2 + dx);
    YROT2 = static_cast<float>(YROT2 + dy);
    XCOORD = x;
    YCOORD = y;
  }
  if (RIGHTMOUSEDOWN && !MOUSEFREE) {
    const double dz = static_cast<double>(y - ZCOORD) / 10 * MSPEED;
    DEPTH = static_cast<float>(DEPTH - dz);
    DEPTH2 = static_cast<float>(DEPTH2 - dz);
    ZCOORD = y;
  }
  if (MOUSEFREE && GetForegroundWindow() == HWINDOW) {
    GetCursorPos(&MPOS);
    const int32_t cx = WIDTH / 2, cy = HEIGHT / 2;
    SetCursorPos(cx, cy);
    const double dx = static_cast<double>(MPOS.x - cx) / 100 * MSPEED;
    const double dy = static_cast<double>(cy - MPOS.y) / 100 * MSPEED;
    XROT = static_cast<float>(XROT + dx);
    YROT = clamp60(static_cast<double>(YROT) - dy);
    XROT2 = static_cast<float>(XROT2 + dx);
    YROT2 = clamp60(static_cast<double>(YROT2) - dy);
  }
}

void frame_rate_tick() {
  const int32_t frames = vlmr::checked_mul(vlmr::checked_mul(FORCEFPS, 1000), FPSCOUNT);
  const double rate = vlmr::checked_div(static_cast<double>(frames), ADDINTERVALFPS);
  // Nearest integer, halves to even (the default rounding mode).
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(rate);
  if (rounded > 2147483647.0 || rounded < -2147483648.0) vlmr::overflow_error();
  FPSCOUNT = static_cast<int32_t>(rounded);
  if (ADDFORCEFPS > 1) {
    if (FPSCOUNT < ADDFORCEFPS) FORCEFPS = vlmr::checked_add(FORCEFPS, 1);
    if (FPSCOUNT > ADDFORCEFPS) FORCEFPS = vlmr::checked_sub(FORCEFPS, 1);
  }
  if (FPSCOUNT < 1) FPSCOUNT = 1;
  const std::string title = std::string(SETTITLENAME ? SETTITLENAME : "") + " - FPS [" +
                            std::to_string(FPSCOUNT) + "]";
  SetWindowTextA(HWINDOW, title.c_str());
  FPSCOUNTSTR = std::to_string(FPSCOUNT);
  FPSCOUNT = 0;
}

}  // namespace

LRESULT GLWNDPROC(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_) {
  const int32_t x = LOWORD(static_cast<uintptr_t>(LPARAM_));
  const int32_t y = HIWORD(static_cast<uintptr_t>(LPARAM_));
  switch (AMESSAGE) {
    case WM_CREATE:
      ACTIVE = true;
      return 0;
    case WM_DESTROY:
      ACTIVE = false;
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      GLRESIZEWINDOW(x, y);
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(WINDOW, &ps);
      RECT client;
      GetClientRect(WINDOW, &client);
      UpdateWindow(HSTATUS);
      EndPaint(WINDOW, &ps);
      return 0;
    }
    case WM_CONTEXTMENU:
      if (SHOWMENUBAR && CREATEMOUSEMENU) CREATEMOUSEMENU();
      break;
    case WM_KEYDOWN:
      if (WPARAM_ == static_cast<WPARAM>(VK_ESCAPE)) {
        SendMessageA(HWINDOW, WM_DESTROY, 0, 0);
        return 0;
      }
      SETKEY[key_index(WPARAM_)] = -1;
      break;
    case WM_KEYUP:
      SETKEY[key_index(WPARAM_)] = 0;
      MOUSEFREE = false;
      break;
    case WM_COMMAND:
      if (SHOWMENUBAR && GETINPUTCOMMAND) GETINPUTCOMMAND(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
      return 0;
    case WM_TIMER:
      if (VIEWFPS && WPARAM_ == static_cast<WPARAM>(FPS_TIMER)) frame_rate_tick();
      break;
    case WM_MOUSEMOVE:
      mouse_camera(x, y);
      break;
    case WM_LBUTTONDOWN:
      ReleaseCapture();
      SetCapture(HWINDOW);
      LEFTMOUSEDOWN = true;
      LEFTMOUSEDOWN2 = true;
      XCOORD = x;
      YCOORD = y;
      SETMX = x;
      SETMY = y;
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      LEFTMOUSEDOWN = false;
      LEFTMOUSEDOWN2 = false;
      XCOORD = 0;
      YCOORD = 0;
      SETMX = 0;
      SETMY = 0;
      break;
    case WM_RBUTTONDOWN:
      ReleaseCapture();
      SetCapture(HWINDOW);
      RIGHTMOUSEDOWN = true;
      RIGHTMOUSEDOWN2 = true;
      ZCOORD = y;
      break;
    case WM_RBUTTONUP:
      ReleaseCapture();
      RIGHTMOUSEDOWN = false;
      RIGHTMOUSEDOWN2 = false;
      break;
    default:
      break;
  }
  return common_tail(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
}

bool SETGLKEY(char KEY) { return SETKEY[static_cast<unsigned char>(KEY)] != 0; }

}  // namespace Velmora
