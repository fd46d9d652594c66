#include "frame_report.h"

#include <algorithm>
#include <cstdlib>

namespace skeleton {
namespace {

double ms_between(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

FrameReport::FrameReport() : start_(Clock::now()) {
  if (const char* path = std::getenv("VELMORA_TRACE"); path && *path) {
    trace_ = std::fopen(path, "w");
    if (trace_ == nullptr) std::fprintf(stderr, "VELMORA_TRACE: cannot write %s\n", path);
  }
  if (const char* path = std::getenv("VELMORA_TIMING"); path && *path) timing_path_ = path;
}

void FrameReport::frame_begins() {
  if (!timing_path_.empty()) frame_start_ = Clock::now();
}

void FrameReport::frame_ends(const std::string& state) {
  ++frame_;
  if (trace_ != nullptr) {
    std::fprintf(trace_, "%ld %s\n", frame_, state.c_str());
    std::fflush(trace_);  // a run-time error exits without unwinding
  }
  if (!timing_path_.empty()) {
    const Clock::time_point now = Clock::now();
    if (first_frame_ms_ < 0) first_frame_ms_ = ms_between(start_, now);
    frame_ms_.push_back(ms_between(frame_start_, now));
  }
}

FrameReport::~FrameReport() {
  if (trace_ != nullptr) std::fclose(trace_);
  if (timing_path_.empty() || frame_ms_.empty()) return;
  std::vector<double> sorted = frame_ms_;
  const auto middle = sorted.begin() + static_cast<long>(sorted.size() / 2);
  std::nth_element(sorted.begin(), middle, sorted.end());
  std::FILE* f = std::fopen(timing_path_.c_str(), "w");
  if (f == nullptr) {
    std::fprintf(stderr, "VELMORA_TIMING: cannot write %s\n", timing_path_.c_str());
    return;
  }
  std::fprintf(f, "first_frame_ms %.3f\nframes %zu\nmedian_frame_ms %.3f\n", first_frame_ms_,
               frame_ms_.size(), *middle);
  std::fclose(f);
}

}  // namespace skeleton
