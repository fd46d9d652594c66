// BMP files as OpenGL textures: the header probe, the repeating texture of
// TEXTURELOAD and the clamped water texture of TEXTUREWATER.
#include "Velmora.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace Velmora {

GLuint TEXTUREID = 0;
Array<GLuint, 0, 500> TEXTURE_WATER;
GLuint TEXTURE_SKY3 = 0;

namespace {

constexpr uint16_t BMP_MAGIC = 0x4D42;  // "BM"
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr size_t INFO_HEADER_SIZE = 40;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Reads exactly `count` bytes or ends the program: a short header read is a
// run-time error, as is a file that exists but cannot be read at all.
void read_header(std::FILE* file, uint8_t* out, size_t count, const char* name) {
  if (std::fread(out, 1, count, file) != count) vlmr::read_error(name);
}

// The file decoded by the platform loader as a DIB section, with its
// description. Released by the destructor, i.e. once the upload has copied
// the pixels (or at once when nothing is uploaded).
struct DecodedBitmap {
  HBITMAP handle = nullptr;
  BITMAP bm{};
  bool described = false;

  explicit DecodedBitmap(const char* name) {
    handle = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0,
                                             0, LR_LOADFROMFILE | LR_LOADTRANSPARENT |
                                                    LR_CREATEDIBSECTION));
    if (handle) described = GetObjectA(handle, sizeof(BITMAP), &bm) != 0;
  }
  ~DecodedBitmap() {
    if (handle) DeleteObject(handle);
  }
  DecodedBitmap(const DecodedBitmap&) = delete;
  DecodedBitmap& operator=(const DecodedBitmap&) = delete;

  int32_t width() const { return bm.bmWidth; }
  int32_t height() const { return std::abs(bm.bmHeight); }
  uint8_t* rows() const { return static_cast<uint8_t*>(bm.bmBits); }

  // True when the decoded pixels are `bits` per pixel in rows laid out the way
  // glTexImage2D unpacks them with alignment 4. Anything else (no image, a
  // palette image, an unexpected stride) is never read.
  bool holds(int bits) const {
    if (!described || !bm.bmBits || bm.bmWidth <= 0 || bm.bmHeight == 0) return false;
    if (bm.bmBitsPixel != bits) return false;
    const int64_t stride = (static_cast<int64_t>(bm.bmWidth) * bits + 31) / 32 * 4;
    return bm.bmWidthBytes == stride;
  }

  // Blue-green-red to red-green-blue for a 24-bit image. Rows whose width*3 is
  // not a multiple of 4 end in padding, so each row is swapped on its own:
  // counting width*height groups straight through would let the groups drift
  // across the padding and leave every row after the first with wrong colours.
  void swap_rows() {
    vlmr::checked_mul(width(), height());  // the group count, overflow-checked
    for (int32_t row = 0; row < height(); ++row)
      SWAPRGB(rows() + static_cast<size_t>(row) * bm.bmWidthBytes, width());
  }
};

void set_unpack_defaults() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

void set_filters_and_repeat() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_MIN_FILTER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_MAG_FILTER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

}  // namespace

// SIZE is the number of 3-byte groups; fewer than one group swaps nothing.
void SWAPRGB(uint8_t* DATA, int32_t SIZE) {
  for (int32_t k = 0; k < SIZE; ++k) {
    uint8_t* group = DATA + static_cast<size_t>(k) * 3;
    const uint8_t first = group[0];
    group[0] = group[2];
    group[2] = first;
  }
}

int32_t GETBMPDEPTH(const char* BMPFILE) {
  std::error_code ec;
  const std::filesystem::path path(BMPFILE);
  if (!std::filesystem::exists(path, ec) || std::filesystem::is_directory(path, ec)) return 0;

  std::FILE* file = std::fopen(BMPFILE, "rb");
  if (!file) vlmr::run_time_error((std::string("File access denied: ") + BMPFILE).c_str());

  uint8_t file_header[FILE_HEADER_SIZE];
  read_header(file, file_header, sizeof file_header, BMPFILE);
  if (le16(file_header) != BMP_MAGIC) {
    std::fclose(file);
    return 0;
  }
  uint8_t info_header[INFO_HEADER_SIZE];
  read_header(file, info_header, sizeof info_header, BMPFILE);
  std::fclose(file);
  if (le32(info_header) == CORE_HEADER_SIZE) return 0;
  return le16(info_header + 14);  // biBitCount
}

void TEXTURELOAD(const char* BMPFILE) {
  const int32_t depth = GETBMPDEPTH(BMPFILE);
  DecodedBitmap image(BMPFILE);
  // A file the loader cannot decode, or whose decoded layout does not match
  // its header's depth, gets no image: the texture is still made and bound.
  const bool rgb = depth == 24 && image.holds(24);
  const bool bgra = depth == 32 && image.holds(32);
  if (rgb) image.swap_rows();

  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &TEXTUREID);
  glBindTexture(GL_TEXTURE_2D, TEXTUREID);
  set_unpack_defaults();
  set_filters_and_repeat();
  if (rgb)
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width(), image.height(), 0, GL_RGB,
                 GL_UNSIGNED_BYTE, image.rows());
  if (bgra)
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width(), image.height(), 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, image.rows());
  glBindTexture(GL_TEXTURE_2D, TEXTUREID);
}

void TEXTUREWATER(const char* BMPFILE, int32_t NUM) {
  DecodedBitmap image(BMPFILE);
  // The water texture is always read as 24-bit; a file that decodes to
  // anything else (or not at all) uploads nothing rather than reading bytes
  // the decoded image does not have.
  const bool rgb = image.holds(24);
  if (rgb) image.swap_rows();

  glEnable(GL_TEXTURE_2D);
  GLuint& name = TEXTURE_WATER[NUM];
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  set_unpack_defaults();
  set_filters_and_repeat();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  if (rgb)
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width(), image.height(), 0, GL_RGB,
                 GL_UNSIGNED_BYTE, image.rows());
}

}  // namespace Velmora
