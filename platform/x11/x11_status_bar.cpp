// Drawing the status window: its parts side by side on a light grey strip,
// each sunken with its text, in an X core font.
#include "x11_internal.h"

#include <algorithm>

namespace vlmr::x11 {
namespace {

constexpr int kTextInset = 4;

}  // namespace

void draw_status_bar(Conn& c, Window& w) {
  XWindow xid = xid_of(w);
  const RECT client = w.client_rect();
  if (xid == 0 || client.right <= 0 || client.bottom <= 0) return;
  const int width = client.right, height = client.bottom;

  // Drawn off screen first, so the strip does not flicker as texts change.
  Pixmap pixmap = XCreatePixmap(c.dpy, xid, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), static_cast<unsigned>(c.depth));
  GC gc = c.gc;
  XSetForeground(c.dpy, gc, pixel_of(c, kFace));
  XFillRectangle(c.dpy, pixmap, gc, 0, 0, static_cast<unsigned>(width),
                 static_cast<unsigned>(height));

  XFontStruct* font = text_font(c);
  int left = 0;
  for (size_t i = 0; i < w.parts.size() && left < width; ++i) {
    // A right edge of -1 runs to the end of the strip.
    int right = w.parts[i] < 0 ? width : std::min(w.parts[i], width);
    if (right <= left) continue;
    const int top = 2, bottom = height - 1, inner_right = right - 3;
    XSetForeground(c.dpy, gc, pixel_of(c, kShadow));
    XDrawLine(c.dpy, pixmap, gc, left, top, inner_right, top);
    XDrawLine(c.dpy, pixmap, gc, left, top, left, bottom);
    XSetForeground(c.dpy, gc, pixel_of(c, kLight));
    XDrawLine(c.dpy, pixmap, gc, left, bottom, inner_right, bottom);
    XDrawLine(c.dpy, pixmap, gc, inner_right, top, inner_right, bottom);

    if (font != nullptr && i < w.part_texts.size() && !w.part_texts[i].empty()) {
      XRectangle clip{static_cast<short>(left + 1), static_cast<short>(top + 1),
                      static_cast<unsigned short>(std::max(0, inner_right - left - 2)),
                      static_cast<unsigned short>(std::max(0, bottom - top - 1))};
      XSetClipRectangles(c.dpy, gc, 0, 0, &clip, 1, Unsorted);
      XSetForeground(c.dpy, gc, pixel_of(c, kText));
      const int baseline = top + (bottom - top + font->ascent - font->descent) / 2;
      draw_text(c, pixmap, left + kTextInset, baseline, w.part_texts[i]);
      XSetClipMask(c.dpy, gc, None);
    }
    left = right;
  }
  XCopyArea(c.dpy, pixmap, xid, gc, 0, 0, static_cast<unsigned>(width),
            static_cast<unsigned>(height), 0, 0);
  XFreePixmap(c.dpy, pixmap);
}

}  // namespace vlmr::x11
