// Writing uncompressed BMP files (BI_RGB, bottom row first), the form the
// programs' texture loader reads.
#pragma once

#include "picture.h"

#include <string>

namespace texgen {

// Writes `picture` as a 24-bit (bits = 24) or 32-bit (bits = 32, alpha in the
// fourth byte) BMP file. False if the file cannot be written.
bool write_bmp(const std::string& path, const Picture& picture, int bits);

}  // namespace texgen
