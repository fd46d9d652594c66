// An Xvfb server of our own for the X11 tests: started on a display number
// it picks itself (-displayfd), stopped when the object goes.
#pragma once

#include <sys/types.h>

#include <string>

namespace vlmr_x11_test {

class XServer {
 public:
  XServer() = default;
  ~XServer() { stop(); }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // Starts `Xvfb -screen 0 WIDTHxHEIGHTx24` and waits until it accepts
  // connections. False (with why) when Xvfb is missing or does not start.
  bool start(int width, int height, std::string& error);
  void stop();
  bool running() const { return pid_ > 0; }
  // ":N"
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace vlmr_x11_test
