// Minimal PNG loader for tests: any PNG, expanded to 8-bit RGBA.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vlmr::test {

struct PngImage {
  int width = 0;
  int height = 0;
  bool has_alpha = false;       // the file carries alpha (alpha channel or tRNS)
  std::vector<uint8_t> rgba;    // width*height*4 bytes, top row first, R,G,B,A
};

// Returns nullopt if the file cannot be opened or is not a valid PNG.
std::optional<PngImage> read_png(const std::string& path);

}  // namespace vlmr::test
