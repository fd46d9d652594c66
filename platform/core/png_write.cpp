// Writing pixels as a PNG file (screenshots), with libpng's simplified API.
#include "vlmr_platform.h"

#include <png.h>

#include <climits>
#include <cstring>

BOOL VlmrWritePng(const char* path, const unsigned char* rgba, int width, int height) {
  if (path == nullptr || rgba == nullptr || width <= 0 || height <= 0) return FALSE;
  if (width > INT_MAX / 4) return FALSE;

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;  // 8 bits per channel, R G B A, top row first
  const int ok = png_image_write_to_file(&image, path, 0, rgba, width * 4, nullptr);
  png_image_free(&image);
  return ok ? TRUE : FALSE;
}
