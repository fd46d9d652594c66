#include "tool_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

namespace vlmr_x11_test {

std::string find_program(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

ToolResult run_tool(const std::vector<std::string>& argv, int timeout_ms) {
  ToolResult result;
  int out[2];
  if (argv.empty() || pipe2(out, O_CLOEXEC) != 0) return result;
  pid_t pid = fork();
  if (pid < 0) {
    close(out[0]);
    close(out[1]);
    return result;
  }
  if (pid == 0) {
    dup2(out[1], 1);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) dup2(devnull, 0);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  char buf[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      close(out[0]);
      return result;
    }
    pollfd fd{out[0], POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left)) <= 0) continue;
    ssize_t n = read(out[0], buf, sizeof buf);
    if (n <= 0) break;
    result.out.append(buf, static_cast<size_t>(n));
  }
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

}  // namespace vlmr_x11_test
