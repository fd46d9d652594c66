// Reading a window's pixels back: the GL frame for a window with a rendering
// context, the GDI surface for any other window.
#include "core.h"
#include "window_internal.h"

using namespace vlmr;

BOOL VlmrReadWindowPixels(HWND window, DWORD* out, int width, int height) {
  Window* w = find_window(window);
  if (!w || !out || width <= 0 || height <= 0) return FALSE;
  RECT c = w->client_rect();
  if (w->pixel_format) {
    int gw = 0, gh = 0;
    std::vector<uint8_t> rgba = read_gl_pixels(*w, gw, gh);
    if (rgba.empty()) return FALSE;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        DWORD v = 0;
        if (x < gw && y < gh) {
          const uint8_t* p = &rgba[(static_cast<size_t>(y) * gw + x) * 4];
          v = (DWORD(p[0]) << 16) | (DWORD(p[1]) << 8) | p[2];
        }
        out[static_cast<size_t>(y) * width + x] = v;
      }
    return TRUE;
  }
  const std::vector<uint32_t>& s = window_surface(*w);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out[static_cast<size_t>(y) * width + x] =
          (x < c.right && y < c.bottom) ? s[static_cast<size_t>(y) * c.right + x] : 0;
  return TRUE;
}
