// Fonts: CreateFontA records a logical font; wglUseFontOutlinesA turns the
// font selected into a DC into display lists of 3D glyphs.
#include "core.h"
#include "outline_font.h"

#include <memory>

namespace {

constexpr size_t kFaceNameMax = 31;  // Win32 face names hold 31 characters

struct DefaultFont : vlmr::Font {
  DefaultFont() { weight = FW_BOLD; }
};

}  // namespace

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD /*charSet*/,
                  DWORD /*outPrecision*/, DWORD /*clipPrecision*/, DWORD /*quality*/,
                  DWORD /*pitchAndFamily*/, LPCSTR faceName) {
  auto font = std::make_unique<vlmr::Font>();
  font->height = height;
  font->width = width;
  font->escapement = escapement;
  font->orientation = orientation;
  font->weight = weight;
  font->italic = italic != 0;
  font->underline = underline != 0;
  font->strike_out = strikeOut != 0;
  if (faceName) font->face = std::string(faceName).substr(0, kFaceNameMax);
  return vlmr::to_handle<HFONT>(vlmr::add_object(std::move(font)));
}

BOOL wglUseFontOutlinesA(HDC dc, DWORD first, DWORD count, DWORD listBase, FLOAT deviation,
                         FLOAT extrusion, int format, GLYPHMETRICSFLOAT* metrics) {
  const vlmr::Dc* record = vlmr::find<vlmr::Dc>(dc);
  if (!record) return FALSE;
  if (!glGetString(GL_VERSION)) return FALSE;  // no current context

  // A DC with no font selected draws with the default face: bold sans.
  static const DefaultFont default_font;
  const vlmr::Font* font = record->font ? vlmr::find<vlmr::Font>(record->font) : nullptr;
  if (!font) font = &default_font;
  return vlmr::font::build_outline_lists(*font, first, count, listBase, deviation, extrusion,
                                         format, metrics)
             ? TRUE
             : FALSE;
}
