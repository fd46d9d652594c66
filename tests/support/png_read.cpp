#include "png_read.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace vlmr::test {

std::optional<PngImage> read_png(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return std::nullopt;

  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return std::nullopt;
  }

  // libpng reports errors by longjmp back here. The C++ objects are created
  // before setjmp, so their destructors still run on the error return.
  PngImage image;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }

  png_init_io(png, file.get());
  png_read_info(png, info);
  const png_byte colour_type = png_get_color_type(png, info);
  image.has_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) != 0 ||
                    png_get_valid(png, info, PNG_INFO_tRNS) != 0;

  // Expand everything to 8-bit RGBA; 16-bit samples are rounded to 8 bits.
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  image.width = int(png_get_image_width(png, info));
  image.height = int(png_get_image_height(png, info));
  const size_t row_bytes = png_get_rowbytes(png, info);
  if (row_bytes != size_t(image.width) * 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }
  image.rgba.resize(row_bytes * size_t(image.height));
  rows.resize(size_t(image.height));
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = image.rgba.data() + y * row_bytes;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return image;
}

}  // namespace vlmr::test
