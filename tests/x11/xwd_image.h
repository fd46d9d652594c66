// Reading the XWD files xwd writes (a window or the screen as the X server
// holds it): true-colour ZPixmap images of 24 or 32 bits per pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vlmr_x11_test {

struct XwdImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, top row first
  uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

// nullopt, with why in error, for a file that is not such an image.
std::optional<XwdImage> read_xwd(const std::string& path, std::string& error);

}  // namespace vlmr_x11_test
