#include "scene_projection.h"

#include <cmath>
#include <numbers>

namespace programs_test {

Transform::Transform() : m_{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

Transform& Transform::multiply(const std::array<double, 16>& r) {
  std::array<double, 16> out{};
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += m_[k * 4 + row] * r[col * 4 + k];
      out[col * 4 + row] = sum;
    }
  }
  m_ = out;
  return *this;
}

Transform& Transform::translate(double x, double y, double z) {
  return multiply({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}

Transform& Transform::rotate(double degrees, double x, double y, double z) {
  const double len = std::sqrt(x * x + y * y + z * z);
  x /= len;
  y /= len;
  z /= len;
  const double a = degrees * std::numbers::pi / 180;
  const double c = std::cos(a), s = std::sin(a), t = 1 - c;
  return multiply({x * x * t + c, y * x * t + z * s, z * x * t - y * s, 0,  //
                   x * y * t - z * s, y * y * t + c, z * y * t + x * s, 0,  //
                   x * z * t + y * s, y * z * t - x * s, z * z * t + c, 0,  //
                   0, 0, 0, 1});
}

std::array<double, 4> Transform::apply(double x, double y, double z) const {
  std::array<double, 4> out{};
  for (int row = 0; row < 4; ++row) {
    out[row] = m_[row] * x + m_[4 + row] * y + m_[8 + row] * z + m_[12 + row];
  }
  return out;
}

std::optional<ScreenPoint> project(const Transform& modelview, double x, double y, double z) {
  const auto eye = modelview.apply(x, y, z);
  const double near = 0.1, far = 1000;
  const double depth = -eye[2];  // distance in front of the eye
  if (depth < near || depth > far) return std::nullopt;
  const double aspect = static_cast<double>(kClientWidth) / kClientHeight;
  const double f = 1 / std::tan(45.0 / 2 * std::numbers::pi / 180);
  const double ndc_x = f / aspect * eye[0] / depth;
  const double ndc_y = f * eye[1] / depth;
  return ScreenPoint{(ndc_x + 1) / 2 * kClientWidth, (1 - ndc_y) / 2 * kClientHeight};
}

}  // namespace programs_test
