// Optional reports of a program run, each switched on by an environment
// variable and written nowhere otherwise:
//   VELMORA_TRACE=file   one line per frame: the frame number and the
//                        program's state after it
//   VELMORA_TIMING=file  at the end: milliseconds from start-up to the end of
//                        the first frame, and the median frame time
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace skeleton {

class FrameReport {
 public:
  FrameReport();  // reads the environment; the start-up clock starts here
  ~FrameReport();
  FrameReport(const FrameReport&) = delete;
  FrameReport& operator=(const FrameReport&) = delete;

  bool tracing() const { return trace_ != nullptr; }
  void frame_begins();
  // After the frame's buffers were swapped; `state` is written when tracing.
  void frame_ends(const std::string& state);

 private:
  using Clock = std::chrono::steady_clock;
  std::FILE* trace_ = nullptr;
  std::string timing_path_;
  Clock::time_point start_;
  Clock::time_point frame_start_;
  double first_frame_ms_ = -1;
  std::vector<double> frame_ms_;
  long frame_ = 0;
};

}  // namespace skeleton
