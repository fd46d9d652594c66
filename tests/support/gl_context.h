// A current OpenGL (compatibility) context on an off-screen pbuffer, made with
// EGL on Mesa's surfaceless platform, for tests that need GL but not the
// platform layer. One context per object; it is current on the creating
// thread for the object's lifetime.
#pragma once

#include <cstdint>
#include <vector>

namespace vlmr_test {

class GlContext {
 public:
  // Throws std::runtime_error naming the EGL step that failed.
  explicit GlContext(int width = 256, int height = 256);
  ~GlContext();
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  // The colour buffer as RGBA bytes, bottom row first (as glReadPixels gives
  // it): pixel (x, y) starts at index 4 * (y * width() + x).
  std::vector<uint8_t> read_pixels() const;

 private:
  void release();

  int width_, height_;
  void* display_ = nullptr;
  void* surface_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace vlmr_test
