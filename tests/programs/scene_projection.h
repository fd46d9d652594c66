// Where a scene point lands in a program's screenshot: the fixed-function
// transform (modelview, then gluPerspective(45, w/h, 0.1, 1000), then the
// viewport of the 794 by 578 client area) redone in double precision.
#pragma once

#include <array>
#include <optional>

namespace programs_test {

constexpr int kClientWidth = 794;  // an 800 by 600 window's client area
constexpr int kClientHeight = 578;

// A 4 by 4 matrix, column after column as OpenGL keeps it; the builders
// multiply on the right as glTranslatef and glRotatef do.
class Transform {
 public:
  Transform();  // identity
  Transform& translate(double x, double y, double z);
  Transform& rotate(double degrees, double x, double y, double z);
  std::array<double, 4> apply(double x, double y, double z) const;

 private:
  Transform& multiply(const std::array<double, 16>& right);
  std::array<double, 16> m_;
};

struct ScreenPoint {
  double x;  // pixels from the left edge
  double y;  // pixels from the top edge (screenshot rows run top to bottom)
  int column() const { return static_cast<int>(x); }
  int row() const { return static_cast<int>(y); }
};

// The screen position of a scene point under `modelview` and the programs'
// perspective; nothing when the point is behind the eye or outside the near
// and far planes.
std::optional<ScreenPoint> project(const Transform& modelview, double x, double y, double z);

}  // namespace programs_test
