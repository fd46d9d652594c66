// Device contexts and the GDI objects selected into them: window DCs, memory
// DCs, the screen DC, selection, deletion and bit-block transfers.
#include "core.h"
#include "window_internal.h"

#include <algorithm>

namespace vlmr {

HBITMAP new_bitmap(int width, int height, int bpp, bool top_down);

namespace {

// A memory DC starts with a 1 by 1 monochrome bitmap selected, as on Win32.
HBITMAP default_bitmap() {
  static HBITMAP stock = [] {
    HBITMAP b = new_bitmap(1, 1, 1, false);
    Bitmap* bm = find<Bitmap>(b);
    bm->stock = true;
    bm->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    return b;
  }();
  return stock;
}

HDC new_dc(HWND window, bool memory, bool screen) {
  auto dc = std::make_unique<Dc>();
  dc->window = window;
  dc->memory = memory;
  dc->screen = screen;
  if (memory) {
    dc->bitmap = default_bitmap();
    dc->default_bitmap = dc->bitmap;
  }
  return to_handle<HDC>(add_object(std::move(dc)));
}

// Where a DC's pixels live: a bitmap for a memory DC, a window's surface for a
// window DC. Reads and writes 0x00RRGGBB pixels.
struct Surface {
  Bitmap* bitmap = nullptr;
  std::vector<uint32_t>* pixels = nullptr;
  int width = 0, height = 0;
  Window* window = nullptr;

  uint32_t get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    if (bitmap) return bitmap->pixel(x, y);
    return (*pixels)[static_cast<size_t>(y) * width + x];
  }
  void put(int x, int y, uint32_t c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    if (bitmap) bitmap->set_pixel(x, y, c);
    else (*pixels)[static_cast<size_t>(y) * width + x] = c;
  }
};

bool surface_of(Dc& dc, Surface& s) {
  if (dc.memory) {
    Bitmap* bm = find<Bitmap>(dc.bitmap);
    if (!bm) return false;
    s.bitmap = bm;
    s.width = bm->width;
    s.height = bm->height;
    return true;
  }
  Window* w = find_window(dc.window);
  if (!w) return false;
  s.window = w;
  s.pixels = &window_surface(*w);
  RECT c = w->client_rect();
  s.width = c.right;
  s.height = c.bottom;
  return true;
}

HGDIOBJ stock_brush(int key, COLORREF color, bool hollow) {
  static std::map<int, HGDIOBJ> made;
  auto it = made.find(key);
  if (it != made.end()) return it->second;
  auto b = std::make_unique<Brush>();
  b->stock = true;
  b->color = color;
  b->hollow = hollow;
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(add_object(std::move(b)));
  made[key] = h;
  return h;
}

HCURSOR stock_cursor(int id) {
  static std::map<int, HCURSOR> made;
  auto it = made.find(id);
  if (it != made.end()) return it->second;
  auto c = std::make_unique<Cursor>();
  c->stock = true;
  c->shape = id;
  HCURSOR h = to_handle<HCURSOR>(add_object(std::move(c)));
  made[id] = h;
  return h;
}

}  // namespace

HDC window_dc(Window& w) {
  if (!find<Dc>(w.dc)) w.dc = new_dc(w.hwnd(), false, false);
  return w.dc;
}

}  // namespace vlmr

using namespace vlmr;

HDC GetDC(HWND window) {
  if (!window) return new_dc(nullptr, false, true);
  Window* w = find_window(window);
  return w ? window_dc(*w) : nullptr;
}

int ReleaseDC(HWND window, HDC dc) {
  Dc* d = find<Dc>(dc);
  if (!d) return 0;
  if (d->screen && !window) {
    remove_object(dc);
    return 1;
  }
  // A window keeps its own DC for its whole life.
  return d->window == window && find_window(window) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !find<Dc>(dc)) return nullptr;
  return new_dc(nullptr, true, false);
}

BOOL DeleteDC(HDC dc) {
  Dc* d = find<Dc>(dc);
  if (!d || (!d->memory && !d->screen)) return FALSE;
  if (Bitmap* bm = find<Bitmap>(d->bitmap)) bm->selected_in = nullptr;
  remove_object(dc);
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  Dc* d = find<Dc>(dc);
  Object* o = find_object(object);
  if (!d || !o) return nullptr;
  switch (o->kind) {
    case Kind::Bitmap: {
      auto* bm = static_cast<Bitmap*>(o);
      if (!d->memory) return nullptr;
      if (bm->selected_in && bm->selected_in != dc && !bm->stock) return nullptr;
      HBITMAP old = d->bitmap;
      if (Bitmap* prev = find<Bitmap>(old); prev && !prev->stock) prev->selected_in = nullptr;
      d->bitmap = to_handle<HBITMAP>(o->handle);
      if (!bm->stock) bm->selected_in = dc;
      return old;
    }
    case Kind::Font: {
      HFONT old = d->font;
      d->font = to_handle<HFONT>(o->handle);
      // The first selection answers with the DC's default font, which this
      // platform represents as none.
      return old ? reinterpret_cast<HGDIOBJ>(old) : object;
    }
    case Kind::Brush: {
      HBRUSH old = d->brush;
      d->brush = to_handle<HBRUSH>(o->handle);
      return old ? reinterpret_cast<HGDIOBJ>(old) : GetStockObject(WHITE_BRUSH);
    }
    case Kind::Region: {
      d->clip = to_handle<HRGN>(o->handle);
      return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(SIMPLEREGION));
    }
    default:
      return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ object) {
  Object* o = find_object(object);
  if (!o) return FALSE;
  if (o->stock) return TRUE;
  switch (o->kind) {
    case Kind::Bitmap:
      if (static_cast<Bitmap*>(o)->selected_in && find<Dc>(static_cast<Bitmap*>(o)->selected_in))
        return FALSE;  // still selected into a DC
      break;
    case Kind::Palette:
    case Kind::Region:
    case Kind::Font:
    case Kind::Brush:
      break;
    default:
      return FALSE;
  }
  remove_object(object);
  return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            DWORD rop) {
  Dc* d = find<Dc>(dest);
  Dc* s = find<Dc>(src);
  if (!d || !s || rop != SRCCOPY) return FALSE;
  Surface to, from;
  if (!surface_of(*d, to) || !surface_of(*s, from)) return FALSE;
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i) {
      int sx = srcX + i, sy = srcY + j;
      if (sx < 0 || sy < 0 || sx >= from.width || sy >= from.height) continue;
      to.put(x + i, y + j, from.get(sx, sy));
    }
  if (to.window && !to.window->pixel_format)
    if (Backend* b = backend()) b->window_painted(*to.window);
  return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  Dc* d = find<Dc>(dc);
  Surface s;
  if (!d || !surface_of(*d, s) || x < 0 || y < 0 || x >= s.width || y >= s.height)
    return 0xFFFFFFFF;  // CLR_INVALID
  uint32_t p = s.get(x, y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
  Dc* d = find<Dc>(dc);
  if (!d || !d->memory || !colors) return 0;
  Bitmap* bm = find<Bitmap>(d->bitmap);
  if (!bm || bm->stock || bm->bits_per_pixel > 8) return 0;
  UINT n = 0;
  for (UINT i = start; i < bm->colors.size() && n < count; ++i) colors[n++] = bm->colors[i];
  return n;
}

HGDIOBJ GetStockObject(int index) {
  switch (index) {
    case WHITE_BRUSH: return stock_brush(WHITE_BRUSH, RGB(255, 255, 255), false);
    case BLACK_BRUSH: return stock_brush(BLACK_BRUSH, RGB(0, 0, 0), false);
    case NULL_BRUSH: return stock_brush(NULL_BRUSH, 0, true);
    default: return nullptr;
  }
}

HBRUSH GetSysColorBrush(int index) {
  if (index != COLOR_BTNFACE) return nullptr;
  return static_cast<HBRUSH>(stock_brush(1000 + index, RGB(240, 240, 240), false));
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (instance || id == 0 || id > 0xFFFF) return nullptr;  // no resources of our own
  if (id != 32512 && (id < 32513 || id > 32518)) return nullptr;
  return to_handle<HICON>(reinterpret_cast<uintptr_t>(stock_cursor(-static_cast<int>(id))));
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (instance || id == 0 || id > 0xFFFF) return nullptr;
  static const int known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                              32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
  if (std::find(std::begin(known), std::end(known), static_cast<int>(id)) == std::end(known))
    return nullptr;
  return stock_cursor(static_cast<int>(id));
}

HCURSOR LoadCursorFromFileA(LPCSTR fileName) {
  if (!fileName || !*fileName) return nullptr;
  FILE* f = std::fopen(fileName, "rb");
  if (!f) return nullptr;
  unsigned char head[4] = {};
  size_t n = std::fread(head, 1, 4, f);
  std::fclose(f);
  // A .cur/.ico file starts with reserved 0 and type 1 or 2; .ani with "RIFF".
  bool cur = n == 4 && head[0] == 0 && head[1] == 0 && (head[2] == 1 || head[2] == 2) && head[3] == 0;
  bool ani = n == 4 && head[0] == 'R' && head[1] == 'I' && head[2] == 'F' && head[3] == 'F';
  if (!cur && !ani) return nullptr;
  auto c = std::make_unique<Cursor>();
  c->file = fileName;
  return to_handle<HCURSOR>(add_object(std::move(c)));
}

HCURSOR SetCursor(HCURSOR cursor) {
  static HCURSOR current = nullptr;
  HCURSOR old = current;
  current = cursor;
  return old;
}
