// Windows-1252 text for X: UTF-8 for the EWMH properties, Latin-1 for the
// ICCCM ones, and two-byte characters for the core font text is drawn in.
#include "x11_internal.h"

namespace vlmr::x11 {
namespace {

// Windows-1252 bytes 0x80..0x9F as Unicode. The five bytes the code page
// leaves undefined keep their C1 control code points, as Windows converts them.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t to_unicode(unsigned char b) { return (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : b; }

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string cp1252_to_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) append_utf8(out, to_unicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string cp1252_to_latin1(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x80 && b <= 0x9F) ch = '?';
  }
  return out;
}

std::vector<XChar2b> cp1252_to_font(const XFontStruct* font, std::string_view text) {
  // A font without a high byte (a Latin-1 one) has no glyphs past U+00FF.
  const bool wide = font != nullptr && font->max_byte1 > 0;
  std::vector<XChar2b> out;
  out.reserve(text.size());
  for (char ch : text) {
    char32_t u = to_unicode(static_cast<unsigned char>(ch));
    if (u > 0xFFFF || (!wide && u > 0xFF)) u = '?';
    out.push_back(XChar2b{static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u & 0xFF)});
  }
  return out;
}

int text_width(const XFontStruct* font, std::string_view text) {
  if (font == nullptr) return static_cast<int>(text.size()) * 6;
  std::vector<XChar2b> chars = cp1252_to_font(font, text);
  return XTextWidth16(const_cast<XFontStruct*>(font), chars.data(), static_cast<int>(chars.size()));
}

void draw_text(Conn& c, Drawable d, int x, int baseline, std::string_view text) {
  XFontStruct* font = text_font(c);
  if (font == nullptr) return;
  std::vector<XChar2b> chars = cp1252_to_font(font, text);
  XSetFont(c.dpy, c.gc, font->fid);
  XDrawString16(c.dpy, d, c.gc, x, baseline, chars.data(), static_cast<int>(chars.size()));
}

}  // namespace vlmr::x11
