#include "probe_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vlmr_x11_test {
namespace {

std::optional<Frame> parse_frame(const std::string& line) {
  std::istringstream in(line);
  Frame f;
  std::string name;
  double value = 0;
  while (in >> name >> value) f.values[name] = value;
  if (!f.values.count("frame")) return std::nullopt;
  f.when = std::chrono::steady_clock::now();
  return f;
}

}  // namespace

ProbeRun::ProbeRun(const std::string& program, const Env& env, const std::string& dir) {
  char err_template[] = "/tmp/vlmr-probe-stderr-XXXXXX";
  int err_fd = mkstemp(err_template);
  err_path_ = err_template;
  int out[2];
  if (err_fd < 0 || pipe2(out, O_CLOEXEC) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], 1);
    dup2(err_fd, 2);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  close(err_fd);
  if (pid_ < 0) {
    close(out[0]);
    return;
  }
  reader_ = std::thread([this, fd = out[0]] { read_lines(fd); });
}

ProbeRun::~ProbeRun() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (reader_.joinable()) reader_.join();
  if (!err_path_.empty()) unlink(err_path_.c_str());
}

void ProbeRun::read_lines(int fd) {
  std::string pending;
  char buf[4096];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    pending.append(buf, static_cast<size_t>(n));
    size_t nl;
    while ((nl = pending.find('\n')) != std::string::npos) {
      std::optional<Frame> f = parse_frame(pending.substr(0, nl));
      pending.erase(0, nl + 1);
      if (!f) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      frames_.push_back(std::move(*f));
      changed_.notify_all();
    }
  }
  close(fd);
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  changed_.notify_all();
}

size_t ProbeRun::mark() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_.size();
}

std::optional<Frame> ProbeRun::wait_frame(const std::function<bool(const Frame&)>& test,
                                          size_t since, int timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  size_t next = since == kNow ? frames_.size() : since;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    for (; next < frames_.size(); ++next)
      if (test(frames_[next])) return frames_[next];
    if (ended_) return std::nullopt;
    if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) return std::nullopt;
  }
}

std::optional<Frame> ProbeRun::skip_frames(int count) {
  int seen = 0;
  return wait_frame([&](const Frame&) { return ++seen >= count; });
}

std::vector<Frame> ProbeRun::frames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_;
}

std::optional<int> ProbeRun::wait_exit(int timeout_ms) {
  if (pid_ <= 0) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!exited_) {
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
      exited_ = true;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    usleep(5000);
  }
  if (!WIFEXITED(status_)) return std::nullopt;
  return WEXITSTATUS(status_);
}

std::string ProbeRun::stderr_text() {
  std::ifstream in(err_path_);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace vlmr_x11_test
