// Running a demonstration program headless for a test: from the folder that
// holds its textures (or another one), with a driving script, its per-frame
// trace (VELMORA_TRACE) read back, and its screenshots loaded.
#pragma once

#include "png_read.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace programs_test {

// The build folder of the programs, where their textures are painted.
std::string programs_dir();

// A fresh folder under the temporary directory, removed again when the last
// copy goes unless the test has failed (then it is kept for a look).
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix);
  const std::string& path() const { return *path_; }

 private:
  std::shared_ptr<const std::string> path_;
};

struct ProgramRun {
  int exit_code = -1;
  std::string err;                          // the program's stderr
  ScratchDir scratch{"velmora-run"};        // the script, trace and screenshots
  const std::string& dir() const { return scratch.path(); }
  std::vector<std::vector<double>> frames;  // trace: frames[k] is frame k + 1's numbers
};

// Runs `program` headless with `script` as its VELMORA_SCRIPT (and any extra
// environment), in `cwd` (the programs' folder when empty). "{dir}" in the
// script stands for the run's own folder (screenshots go there). The trace
// line of each frame is read back without its frame number.
ProgramRun run_program(const std::string& program, const std::string& script,
                       const std::vector<std::pair<std::string, std::string>>& env = {},
                       const std::string& cwd = "");

// A screenshot the script wrote into the run's folder; fails the test if missing.
vlmr::test::PngImage load_screenshot(const ProgramRun& run, const std::string& name);

using Rgb = std::array<int, 3>;
Rgb pixel(const vlmr::test::PngImage& image, int x, int y);
bool inside_image(const vlmr::test::PngImage& image, int x, int y);

// True when some pixel within `radius` of (x, y) satisfies `test`.
template <class Test>
bool any_near(const vlmr::test::PngImage& image, int x, int y, int radius, Test test) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      if (inside_image(image, x + dx, y + dy) && test(pixel(image, x + dx, y + dy))) return true;
    }
  }
  return false;
}

}  // namespace programs_test
