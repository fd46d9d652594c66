// Bounds-checked arrays, overflow-checked integer arithmetic and the run-time
// error exit. An index outside an array's declared bounds, an integer overflow
// or a floating-point fault ends the program at once with exit code 217, after a
// message box captioned "Error" that names the fault.
#pragma once

#include <cstdint>
#include <cstddef>

namespace vlmr {

// Shows the "Error" box with `what` and exits with code 217. Never returns.
[[noreturn]] void run_time_error(const char* what);
[[noreturn]] void range_error(long index, long low, long high);
[[noreturn]] void overflow_error();
[[noreturn]] void float_error(const char* what);
[[noreturn]] void read_error(const char* file);

// An array with the bounds it was declared with: Array<int32_t, 1, 20> has the
// indexes 1..20. Its storage is contiguous, so data() can be handed to OpenGL.
template <class T, long Lo, long Hi>
struct Array {
  static_assert(Hi >= Lo);
  static constexpr long low = Lo;
  static constexpr long high = Hi;
  static constexpr size_t count = static_cast<size_t>(Hi - Lo + 1);

  T items[count]{};

  T& operator[](long i) {
    if (i < Lo || i > Hi) range_error(i, Lo, Hi);
    return items[i - Lo];
  }
  const T& operator[](long i) const {
    if (i < Lo || i > Hi) range_error(i, Lo, Hi);
    return items[i - Lo];
  }
  T* data() { return items; }
  const T* data() const { return items; }
  T* begin() { return items; }
  T* end() { return items + count; }
  const T* begin() const { return items; }
  const T* end() const { return items + count; }
};

// Two-dimensional: Array2<float, 0, 300, 0, 300> is indexed [i][l], both checked.
template <class T, long Lo1, long Hi1, long Lo2, long Hi2>
using Array2 = Array<Array<T, Lo2, Hi2>, Lo1, Hi1>;

// 32-bit signed arithmetic that ends the program on overflow.
inline int32_t checked_add(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) overflow_error();
  return r;
}
inline int32_t checked_sub(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) overflow_error();
  return r;
}
inline int32_t checked_mul(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) overflow_error();
  return r;
}

// Floating-point division that treats x/0 as the fault it is (0/0 is an
// invalid operation, x/0 a division by zero).
inline double checked_div(double a, double b) {
  if (b == 0.0) float_error(a == 0.0 ? "Invalid floating point operation" : "Division by zero");
  return a / b;
}

}  // namespace vlmr
