#include "program_run.h"

#include "child_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace programs_test {

std::string programs_dir() { return std::string(VLMR_BINARY_DIR) + "/programs"; }

ScratchDir::ScratchDir(const std::string& prefix)
    : path_(new std::string(vlmr_test::make_temp_dir(prefix)), [](const std::string* path) {
        if (!path->empty() && !::testing::Test::HasFailure()) {
          std::error_code ignored;
          std::filesystem::remove_all(*path, ignored);
        }
        delete path;
      }) {
  if (path_->empty()) ADD_FAILURE() << "cannot make a folder for " << prefix;
}

ProgramRun run_program(const std::string& program, const std::string& script,
                       const std::vector<std::pair<std::string, std::string>>& env,
                       const std::string& cwd) {
  ProgramRun run;
  const std::string& dir = run.dir();
  std::string text = script;
  for (size_t at; (at = text.find("{dir}")) != std::string::npos;) text.replace(at, 5, dir);
  if (dir.empty() || !vlmr_test::write_file(dir + "/script.txt", text)) {
    ADD_FAILURE() << "cannot prepare a folder for " << program;
    return run;
  }
  std::vector<std::pair<std::string, std::string>> all_env = {
      {"VELMORA_PLATFORM", "headless"},
      {"VELMORA_SCRIPT", dir + "/script.txt"},
      {"VELMORA_TRACE", dir + "/trace.txt"}};
  all_env.insert(all_env.end(), env.begin(), env.end());
  const auto result = vlmr_test::run_child({programs_dir() + "/" + program}, all_env,
                                           cwd.empty() ? programs_dir() : cwd);
  run.exit_code = result.exit_code;
  run.err = result.err;

  std::ifstream trace(dir + "/trace.txt");
  std::string line;
  while (std::getline(trace, line)) {
    std::istringstream words(line);
    long frame = 0;
    words >> frame;
    if (frame != static_cast<long>(run.frames.size()) + 1) {
      ADD_FAILURE() << "trace line out of order: " << line;
      break;
    }
    std::vector<double> numbers;
    double value;
    while (words >> value) numbers.push_back(value);
    run.frames.push_back(std::move(numbers));
  }
  return run;
}

vlmr::test::PngImage load_screenshot(const ProgramRun& run, const std::string& name) {
  auto image = vlmr::test::read_png(run.dir() + "/" + name);
  if (!image) {
    ADD_FAILURE() << "no screenshot " << name << "; stderr: " << run.err;
    return {};
  }
  return *image;
}

bool inside_image(const vlmr::test::PngImage& image, int x, int y) {
  return x >= 0 && y >= 0 && x < image.width && y < image.height;
}

Rgb pixel(const vlmr::test::PngImage& image, int x, int y) {
  const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
  return {p[0], p[1], p[2]};
}

}  // namespace programs_test
