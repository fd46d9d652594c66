// Outline face selection: fontconfig picks a scalable face for a font request,
// FreeType opens it. Faces are opened once per request and kept for the life
// of the process. Not thread-safe: callers serialize.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace vlmr::font {

struct FontFace {
  FT_Face face = nullptr;
  // The matched face lacks the asked-for style; the outlines are slanted or
  // emboldened by hand instead.
  bool synthetic_italic = false;
  bool synthetic_bold = false;
};

// The face for a family name (empty: the default sans-serif face), a Win32
// weight (100..900; 0 means "don't care": bold for the default face, regular
// for a named one) and an italic flag. Null when no outline face can be opened.
const FontFace* find_face(const std::string& family, int weight, bool italic);

}  // namespace vlmr::font
