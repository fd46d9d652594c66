// The fixture of the X11 tests: an Xvfb server for the whole test program,
// and the probe program (tests/apps/probe.cpp) run on it with VELMORA_PLATFORM
// set to x11, its window found, and real input sent with xdotool.
#pragma once

#include "probe_run.h"
#include "x_server.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vlmr_x11_test {

// The server every test shares; DISPLAY names it once it runs.
class XvfbEnvironment : public testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override { server.stop(); }
  XServer server;
  std::string error;
};
XvfbEnvironment& xvfb();

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// The probe prints the message its frame dispatched (it takes one a frame).
constexpr double kKeyDown = 0x0100, kKeyUp = 0x0101;
constexpr double kKeyW = 'W';
inline bool is_message(const Frame& f, double message, double wparam) {
  return f["msg"] == message && f["wparam"] == wparam;
}

class ProbeTest : public testing::Test {
 protected:
  // Skips the test when Xvfb, xdotool, xwd or the probe are missing.
  void SetUp() override;
  // Starts the probe and waits for its first frame and its mapped window.
  void start(const ProbeRun::Env& extra = {});
  // Runs xdotool with these arguments; the test fails if it does.
  void xdo(const std::vector<std::string>& args);
  // Screen position of the window's client area (its X window).
  void client_origin(int& x, int& y);

  std::string probe_;
  std::unique_ptr<ProbeRun> run_;
  std::string window_;  // the X window id, decimal
};

}  // namespace vlmr_x11_test
