// Runs a program as a child process with extra environment variables, in a
// given folder, and collects its exit code and output; for end-to-end tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vlmr_test {

struct ChildResult {
  int exit_code = -1;   // -1 when it did not exit normally (signal, time-out)
  bool timed_out = false;
  std::string out;
  std::string err;
};

ChildResult run_child(const std::vector<std::string>& argv,
                      const std::vector<std::pair<std::string, std::string>>& env,
                      const std::string& cwd = "", int timeout_seconds = 120);

// A fresh empty folder under the system's temporary directory.
std::string make_temp_dir(const std::string& prefix);
// Writes text to path (overwriting); false on failure.
bool write_file(const std::string& path, const std::string& text);

}  // namespace vlmr_test
