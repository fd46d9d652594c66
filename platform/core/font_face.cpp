// Outline face selection with fontconfig and FreeType (see font_face.h).
#include "font_face.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <tuple>

namespace vlmr::font {
namespace {

constexpr const char* kDefaultFamily = "sans-serif";

struct FaceCache {
  FT_Library library = nullptr;
  bool tried_library = false;
  std::map<std::tuple<std::string, int, bool>, std::unique_ptr<FontFace>> faces;

  ~FaceCache() {
    for (auto& [key, entry] : faces)
      if (entry && entry->face) FT_Done_Face(entry->face);
    if (library) FT_Done_FreeType(library);
  }
};

FaceCache& cache() {
  static FaceCache instance;
  return instance;
}

// Opens the face a fontconfig match names if it is a scalable outline face with
// a Unicode character map.
FT_Face open_outline_face(FT_Library library, FcPattern* match) {
  FcChar8* file = nullptr;
  int index = 0;
  FcBool outline = FcFalse;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return nullptr;
  if (FcPatternGetBool(match, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) return nullptr;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FT_Face face = nullptr;
  if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face) || FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 ||
      face->units_per_EM == 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

std::unique_ptr<FontFace> match_face(FT_Library library, const std::string& family,
                                     double fc_weight, bool italic) {
  if (!FcInit()) return nullptr;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddDouble(pattern, FC_WEIGHT, fc_weight);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  // The best match first; later ones are the fallbacks when a match turns out
  // not to be an outline face FreeType can open.
  FcResult result = FcResultNoMatch;
  FcFontSet* candidates = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
  FcPatternDestroy(pattern);
  if (!candidates) return nullptr;

  std::unique_ptr<FontFace> chosen;
  for (int i = 0; i < candidates->nfont && !chosen; ++i) {
    FcPattern* match = candidates->fonts[i];
    FT_Face face = open_outline_face(library, match);
    if (!face) continue;
    chosen = std::make_unique<FontFace>();
    chosen->face = face;
    int slant = FC_SLANT_ROMAN;
    double weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    FcPatternGetDouble(match, FC_WEIGHT, 0, &weight);
    chosen->synthetic_italic = italic && slant == FC_SLANT_ROMAN;
    chosen->synthetic_bold = fc_weight >= FC_WEIGHT_DEMIBOLD && weight < FC_WEIGHT_DEMIBOLD;
  }
  FcFontSetDestroy(candidates);
  return chosen;
}

}  // namespace

const FontFace* find_face(const std::string& family, int weight, bool italic) {
  FaceCache& c = cache();
  if (!c.tried_library) {
    c.tried_library = true;
    if (FT_Init_FreeType(&c.library) != 0) c.library = nullptr;
  }
  if (!c.library) return nullptr;

  const std::string name = family.empty() ? kDefaultFamily : family;
  if (weight <= 0) weight = family.empty() ? 700 : 400;
  if (weight > 1000) weight = 1000;
  const int fc_weight = static_cast<int>(FcWeightFromOpenTypeDouble(weight));
  auto key = std::make_tuple(name, fc_weight, italic);
  auto it = c.faces.find(key);
  if (it == c.faces.end())  // a failed lookup is remembered too (null entry)
    it = c.faces.emplace(key, match_face(c.library, name, fc_weight, italic)).first;
  return it->second.get();
}

}  // namespace vlmr::font
