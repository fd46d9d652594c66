// What the three programs share: Escape and the close button end the run
// with exit code 0 once the current frame is done, and a program started
// where its texture files are missing runs on.
#include "program_run.h"
#include "scene_projection.h"

#include <gtest/gtest.h>


namespace programs_test {
namespace {

class EveryProgram : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryProgram, EscapeOrCloseEndsTheRunAfterTheCurrentFrame) {
  struct Case {
    const char* script;
    size_t frames;  // the action is pumped in the next frame, which still finishes
  } cases[] = {{"10 key down Escape\n", 11}, {"20 close\n", 21}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const ProgramRun run = run_program(GetParam(), c.script);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.frames.size(), c.frames);
  }
}

TEST_P(EveryProgram, RunsOnWithoutTextureFiles) {
  const ScratchDir empty("velmora-empty");
  const ProgramRun run = run_program(GetParam(), "5 screenshot {dir}/shot.png\n8 key down Escape\n",
                                     {}, empty.path());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.frames.size(), 9u);
  const auto shot = load_screenshot(run, "shot.png");
  ASSERT_EQ(shot.width, kClientWidth);
  // The scene is still drawn: the frame is not just the black clear colour.
  bool drawn = false;
  for (int y = 0; y < shot.height && !drawn; ++y) {
    for (int x = 0; x < shot.width && !drawn; ++x) drawn = pixel(shot, x, y) != Rgb{0, 0, 0};
  }
  EXPECT_TRUE(drawn);
}

INSTANTIATE_TEST_SUITE_P(Programs, EveryProgram,
                         ::testing::Values("mirrorwell", "boxshot", "spherezone"));

}  // namespace
}  // namespace programs_test
