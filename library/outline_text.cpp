// Extruded text from outline-font display lists: one list per character code,
// each drawing its glyph at the current position and advancing past it.
#include "Velmora.h"

#include <cstring>
#include <limits>

namespace Velmora {

GLuint BASE = 0;
Array<GLYPHMETRICSFLOAT, 0, 255> GMF;

namespace {

constexpr GLsizei FONT_LISTS = 256;   // lists reserved at BASE, one per byte value
constexpr DWORD FONT_GLYPHS = 255;    // glyphs 0..254 get outlines; list 255 stays empty
constexpr int FONT_HEIGHT = -12;      // character height 12 (not cell height)

// Whether INITTEXT has reserved lists that DELETEGLTEXT has not freed yet.
bool lists_reserved = false;

// Italic and underline flags are unsigned in the font call; a negative value
// is a range error rather than a huge flag.
DWORD as_flag(int32_t value) {
  if (value < 0) vlmr::range_error(value, 0, std::numeric_limits<uint32_t>::max());
  return static_cast<DWORD>(value);
}

// Draws TEXT with its first glyph's origin at (X, Y, Z) and SIZE model units
// per em. A zero size would make the origin X/SIZE undefined; such text has
// no extent anyway, so it is skipped.
void PUTGLTEXT_(float X, float Y, float Z, float SIZE, const char* TEXT) {
  if (SIZE == 0.0f) return;
  glPushMatrix();
  glScalef(SIZE, SIZE, SIZE);
  glTranslatef(static_cast<float>(static_cast<double>(X) / SIZE),
               static_cast<float>(static_cast<double>(Y) / SIZE),
               static_cast<float>(static_cast<double>(Z) / SIZE));
  glPushAttrib(GL_LIST_BIT);
  glListBase(BASE);
  glCallLists(static_cast<GLsizei>(std::strlen(TEXT)), GL_UNSIGNED_BYTE, TEXT);
  glPopAttrib();
  glPopMatrix();
}

}  // namespace

void INITTEXT(float DEPTH, int32_t ANG, int32_t ITAL, int32_t GRAS) {
  BASE = glGenLists(FONT_LISTS);
  lists_reserved = true;
  // Bold whatever the other arguments say; a null face lets the font mapper
  // pick an outline face. The font stays selected in the window's DC for good.
  const HFONT font = CreateFontA(FONT_HEIGHT, 0, ANG, ANG, FW_BOLD, as_flag(ITAL), as_flag(GRAS),
                                 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr);
  SelectObject(DCWINDOW, font);
  wglUseFontOutlinesA(DCWINDOW, 0, FONT_GLYPHS, BASE, 0.0f, DEPTH, WGL_FONT_POLYGONS,
                      GMF.data());
}

void PUTGLTEXT(float X, float Y, float SIZE, const char* TEXT) {
  if (TEXT == nullptr || TEXT[0] == '\0') return;
  PUTGLTEXT_(static_cast<float>(static_cast<double>(X) / 200.0),
             static_cast<float>(static_cast<double>(Y) / 200.0), 0.0f,
             static_cast<float>((static_cast<double>(SIZE) + 1.0) / 10.0), TEXT);
}

// Without a range reserved by INITTEXT there is nothing of ours to delete
// (lists 0..255 may belong to someone else).
void DELETEGLTEXT() {
  if (!lists_reserved) return;
  glDeleteLists(BASE, FONT_LISTS);
  lists_reserved = false;
}

}  // namespace Velmora
