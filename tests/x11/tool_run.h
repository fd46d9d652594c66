// Small process helpers for the X11 tests: finding a program on PATH and
// running a command-line tool (xdotool, xwd) to completion.
#pragma once

#include <string>
#include <vector>

namespace vlmr_x11_test {

// The full path of a program found on PATH, or empty.
std::string find_program(const std::string& name);

struct ToolResult {
  int exit_code = -1;  // -1: did not exit normally or timed out
  std::string out;
};

// Runs argv[0] (looked up on PATH) with the current environment; kills it
// after timeout_ms.
ToolResult run_tool(const std::vector<std::string>& argv, int timeout_ms = 10000);

}  // namespace vlmr_x11_test
