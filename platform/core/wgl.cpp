// Pixel formats, rendering contexts and buffer swapping on a window's DC.
#include "core.h"
#include "window_internal.h"

namespace vlmr {
namespace {

HGLRC g_current = nullptr;
HDC g_current_dc = nullptr;
long g_frames = 0;

Window* window_of_dc(HDC dc) {
  Dc* d = find<Dc>(dc);
  if (!d || d->memory || d->screen) return nullptr;
  return find_window(d->window);
}

}  // namespace
}  // namespace vlmr

using namespace vlmr;

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
  Window* w = window_of_dc(dc);
  Backend* b = backend();
  if (!w || !pfd || !b) return 0;
  return b->choose_pixel_format(*pfd);
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
  Window* w = window_of_dc(dc);
  Backend* b = backend();
  if (!w || !b || format <= 0 || w->pixel_format) return FALSE;  // set once per window
  if (!b->set_pixel_format(*w, format)) return FALSE;
  w->pixel_format = format;
  return TRUE;
}

int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
  if (!window_of_dc(dc) || format != 1) return 0;
  if (pfd && size >= sizeof(PIXELFORMATDESCRIPTOR)) {
    *pfd = PIXELFORMATDESCRIPTOR{};
    pfd->nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd->nVersion = 1;
    pfd->dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd->iPixelType = PFD_TYPE_RGBA;
    pfd->cColorBits = 32;
    pfd->cRedBits = pfd->cGreenBits = pfd->cBlueBits = pfd->cAlphaBits = 8;
    pfd->cDepthBits = 24;
    pfd->cStencilBits = 8;
  }
  return 1;
}

HGLRC wglCreateContext(HDC dc) {
  Window* w = window_of_dc(dc);
  Backend* b = backend();
  if (!w || !b || !w->pixel_format) return nullptr;
  void* native = b->create_context(*w);
  if (!native) return nullptr;
  auto c = std::make_unique<Context>();
  c->window = w->hwnd();
  c->native = native;
  return to_handle<HGLRC>(add_object(std::move(c)));
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
  Backend* b = backend();
  if (!b) return FALSE;
  if (!context) {
    // Releasing the current context needs no valid DC.
    if (g_current) b->make_current(nullptr, nullptr);
    g_current = nullptr;
    g_current_dc = nullptr;
    return TRUE;
  }
  Context* c = find<Context>(context);
  Window* w = window_of_dc(dc);
  if (!c || !w) return FALSE;
  if (!b->make_current(w, c->native)) return FALSE;
  g_current = context;
  g_current_dc = dc;
  return TRUE;
}

BOOL wglDeleteContext(HGLRC context) {
  Context* c = find<Context>(context);
  Backend* b = backend();
  if (!c || !b) return FALSE;
  if (g_current == context) {
    b->make_current(nullptr, nullptr);
    g_current = nullptr;
    g_current_dc = nullptr;
  }
  b->delete_context(c->native);
  remove_object(context);
  return TRUE;
}

HGLRC wglGetCurrentContext() { return find<Context>(g_current) ? g_current : nullptr; }
HDC wglGetCurrentDC() { return find<Dc>(g_current_dc) ? g_current_dc : nullptr; }

BOOL SwapBuffers(HDC dc) {
  Window* w = window_of_dc(dc);
  Backend* b = backend();
  if (!w || !b || !w->pixel_format || w->destroying) return FALSE;
  HWND h = w->hwnd();
  ++g_frames;
  driver_before_present(*w);
  if (!(w = find_window(h))) return FALSE;
  BOOL ok = b->swap_buffers(*w) ? TRUE : FALSE;
  if ((w = find_window(h))) driver_after_present(*w);
  return ok;
}

long VlmrFrameCount() { return g_frames; }
