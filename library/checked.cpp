// The run-time error exit: an "Error" box naming the fault, then exit code 217.
#include "checked.h"

#include "vlmr_platform.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vlmr {

void run_time_error(const char* what) {
  MessageBoxA(nullptr, what, "Error", MB_OK | MB_ICONERROR);
  std::fflush(stderr);
  std::_Exit(217);
}

void range_error(long index, long low, long high) {
  std::string text = "Range check error: index " + std::to_string(index) + " outside " +
                     std::to_string(low) + ".." + std::to_string(high);
  run_time_error(text.c_str());
}

void overflow_error() { run_time_error("Arithmetic overflow"); }

void float_error(const char* what) { run_time_error(what); }

void read_error(const char* file) {
  std::string text = std::string("Read error: ") + (file ? file : "") + " is shorter than its header";
  run_time_error(text.c_str());
}

}  // namespace vlmr
