#include "probe_fixture.h"

#include "tool_run.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace vlmr_x11_test {

void XvfbEnvironment::SetUp() {
  if (!server.start(kScreenWidth, kScreenHeight, error)) return;
  setenv("DISPLAY", server.display().c_str(), 1);
}

XvfbEnvironment& xvfb() {
  static XvfbEnvironment* const env =
      static_cast<XvfbEnvironment*>(testing::AddGlobalTestEnvironment(new XvfbEnvironment));
  return *env;
}

// Registered before main runs, so the server starts before the first test.
[[maybe_unused]] static XvfbEnvironment& g_registered = xvfb();

void ProbeTest::SetUp() {
  if (!xvfb().server.running()) GTEST_SKIP() << "no X server: " << xvfb().error;
  for (const char* tool : {"xdotool", "xwd"})
    if (find_program(tool).empty()) GTEST_SKIP() << tool << " is not installed";
  probe_ = VLMR_BINARY_DIR "/tests/vlmr_probe";
  if (access(probe_.c_str(), X_OK) != 0) GTEST_SKIP() << probe_ << " is not built";
}

void ProbeTest::start(const ProbeRun::Env& extra) {
  ProbeRun::Env env = {{"VELMORA_PLATFORM", "x11"}, {"DISPLAY", xvfb().server.display()}};
  env.insert(env.end(), extra.begin(), extra.end());
  run_ = std::make_unique<ProbeRun>(probe_, env);
  ASSERT_TRUE(run_->wait_frame([](const Frame&) { return true; }, 0))
      << "no frame from the probe; stderr:\n" << run_->stderr_text();
  const ToolResult found =
      run_tool({"xdotool", "search", "--sync", "--onlyvisible", "--pid",
                std::to_string(run_->pid()), "--name", "^Velmora probe$"});
  ASSERT_EQ(found.exit_code, 0) << "the probe's window was not found";
  window_ = found.out.substr(0, found.out.find('\n'));
  ASSERT_FALSE(window_.empty());
}

void ProbeTest::xdo(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  const ToolResult r = run_tool(argv);
  std::string line;
  for (const auto& a : argv) line += a + " ";
  ASSERT_EQ(r.exit_code, 0) << line;
}

void ProbeTest::client_origin(int& x, int& y) {
  // "Window N\n  Position: X,Y (screen: 0)\n  Geometry: WxH\n"
  const ToolResult r = run_tool({"xdotool", "getwindowgeometry", window_});
  ASSERT_EQ(r.exit_code, 0);
  const size_t at = r.out.find("Position:");
  ASSERT_NE(at, std::string::npos) << r.out;
  ASSERT_EQ(std::sscanf(r.out.c_str() + at, "Position: %d,%d", &x, &y), 2) << r.out;
}

}  // namespace vlmr_x11_test
