// Display lists of 3D glyph outlines for a font, one list per character.
#pragma once

#include "core.h"

namespace vlmr::font {

// Compiles display list listBase + i for character first + i (a Windows-1252
// byte; values above 255 are taken as Unicode code points), i < count. Glyphs
// are one em tall per unit: filled at z = 0 facing +z (format
// WGL_FONT_POLYGONS), extruded back to z = -extrusion when extrusion > 0, or
// outlined at z = 0 (WGL_FONT_LINES). Every list ends by moving the origin by
// the glyph's advance. deviation is the largest chord error of flattened
// curves in em units, 0 for a fixed fine subdivision. metrics, when not null,
// receives count entries in em units. Needs a current GL context and no list
// being compiled. False, with no list touched, when the arguments are invalid
// or no outline face can be loaded for the font.
bool build_outline_lists(const Font& font, DWORD first, DWORD count, DWORD listBase,
                         float deviation, float extrusion, int format,
                         GLYPHMETRICSFLOAT* metrics);

}  // namespace vlmr::font
