#include "x_server.h"

#include "tool_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace vlmr_x11_test {

bool XServer::start(int width, int height, std::string& error) {
  stop();
  const std::string xvfb = find_program("Xvfb");
  if (xvfb.empty()) {
    error = "Xvfb is not installed";
    return false;
  }
  int ready[2];
  if (pipe(ready) != 0) {
    error = "pipe failed";
    return false;
  }
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_t pid = fork();
  if (pid < 0) {
    error = "fork failed";
    return false;
  }
  if (pid == 0) {
    close(ready[0]);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 0);
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    const std::string fd = std::to_string(ready[1]);
    execl(xvfb.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
          "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  pid_ = pid;
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (number.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now()).count();
    pollfd fd{ready[0], POLLIN, 0};
    char buf[32];
    ssize_t n = 0;
    if (left <= 0 || poll(&fd, 1, static_cast<int>(left)) <= 0 ||
        (n = read(ready[0], buf, sizeof buf)) <= 0) {
      close(ready[0]);
      stop();
      error = "Xvfb did not start";
      return false;
    }
    number.append(buf, static_cast<size_t>(n));
  }
  close(ready[0]);
  display_ = ":" + number.substr(0, number.find('\n'));
  return true;
}

void XServer::stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  // Give it a moment to remove its lock and socket, then make sure.
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace vlmr_x11_test
