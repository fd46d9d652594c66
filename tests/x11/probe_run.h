// A probe program running under the test's X server: its frame lines read as
// they come (`frame N name value name value ...` on stdout), its stderr kept,
// and its exit awaited.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vlmr_x11_test {

struct Frame {
  std::map<std::string, double> values;  // "frame", "key_W", "xrot", ...
  std::chrono::steady_clock::time_point when;
  double operator[](const std::string& name) const {
    auto it = values.find(name);
    return it == values.end() ? -1e300 : it->second;
  }
};

class ProbeRun {
 public:
  using Env = std::vector<std::pair<std::string, std::string>>;
  // Starts the program with extra environment variables, in the folder `dir`
  // (by default the test's own).
  ProbeRun(const std::string& program, const Env& env, const std::string& dir = {});
  ~ProbeRun();  // kills the program if it still runs
  ProbeRun(const ProbeRun&) = delete;
  ProbeRun& operator=(const ProbeRun&) = delete;

  pid_t pid() const { return pid_; }
  // The number of frames read so far: a point to wait from.
  size_t mark();
  // Waits until a frame read after the mark (by default: from now on)
  // satisfies the test; that frame, or nullopt after the timeout or when the
  // output ends. The program may well have read input before the tool that
  // sent it returned, so waits for its effect start from a mark taken before.
  static constexpr size_t kNow = static_cast<size_t>(-1);
  std::optional<Frame> wait_frame(const std::function<bool(const Frame&)>& test,
                                  size_t since = kNow, int timeout_ms = 10000);
  // Waits for `count` more frames; the last one.
  std::optional<Frame> skip_frames(int count);
  // Every frame so far.
  std::vector<Frame> frames();
  // The exit code, or nullopt if it has not exited within the timeout (or
  // ended by a signal).
  std::optional<int> wait_exit(int timeout_ms = 10000);
  std::string stderr_text();

 private:
  void read_lines(int fd);

  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
  std::string err_path_;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Frame> frames_;
  bool ended_ = false;
};

}  // namespace vlmr_x11_test
