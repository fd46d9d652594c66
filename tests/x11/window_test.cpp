// The probe's window on a real X server: how it ends, what the server shows,
// what the window manager's changes do, and a server that goes away.
#include "probe_fixture.h"
#include "png_read.h"
#include "tool_run.h"
#include "wm_client.h"
#include "xwd_image.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace vlmr_x11_test {
namespace {

// Every way of ending the program ends it normally.
class EndingTest;
struct Ending {
  const char* name;
  void (EndingTest::*act)();
};

void PrintTo(const Ending& e, std::ostream* os) { *os << e.name; }

class EndingTest : public ProbeTest, public testing::WithParamInterface<Ending> {
 public:
  void press_escape() { xdo({"key", "Escape"}); }
  // What a window manager's close button sends.
  void request_close() {
    ASSERT_TRUE(send_delete_window(xvfb().server.display(), std::stoul(window_)));
  }
};

TEST_P(EndingTest, ExitsWithZero) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_TRUE(run_->skip_frames(3));
  ASSERT_NO_FATAL_FAILURE((this->*GetParam().act)());
  const std::optional<int> code = run_->wait_exit(10000);
  ASSERT_TRUE(code) << "the probe did not exit; stderr:\n" << run_->stderr_text();
  EXPECT_EQ(*code, 0) << run_->stderr_text();
}

INSTANTIATE_TEST_SUITE_P(
    X11, EndingTest,
    testing::Values(Ending{"escape_key", &EndingTest::press_escape},
                    Ending{"close_request", &EndingTest::request_close}),
    [](const testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

// The X server shows the frame the program drew: the window's client area,
// read back from the server, equals the last frame the program wrote as PNG.
TEST_F(ProbeTest, ServerShowsTheRenderedFrame) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vlmr-x11-shot-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string png = (dir / "last.png").string();
  const std::string xwd = (dir / "window.xwd").string();
  ASSERT_NO_FATAL_FAILURE(start({{"VELMORA_SCREENSHOT", png}}));
  ASSERT_TRUE(run_->skip_frames(5));
  ASSERT_EQ(run_tool({"xwd", "-silent", "-id", window_, "-out", xwd}).exit_code, 0);
  ASSERT_NO_FATAL_FAILURE(xdo({"key", "Escape"}));
  ASSERT_EQ(run_->wait_exit(), std::optional<int>(0)) << run_->stderr_text();

  std::string error;
  const std::optional<XwdImage> shown = read_xwd(xwd, error);
  ASSERT_TRUE(shown) << error;
  // An 800 by 600 window without its frame (3 pixels each side, 19 on top).
  EXPECT_EQ(shown->width, 794);
  EXPECT_EQ(shown->height, 578);
  const auto drawn = vlmr::test::read_png(png);
  ASSERT_TRUE(drawn) << png;
  ASSERT_EQ(drawn->width, shown->width);
  ASSERT_EQ(drawn->height, shown->height);

  // The probe's scene: a dark blue background (0.1, 0.2, 0.5) and a green
  // square in the middle.
  auto near = [](uint32_t got, uint32_t want) {
    for (int shift : {0, 8, 16})
      if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 2) return false;
    return true;
  };
  EXPECT_TRUE(near(shown->at(10, 10), 0x1A3380)) << std::hex << shown->at(10, 10);
  EXPECT_TRUE(near(shown->at(shown->width / 2, shown->height / 2), 0x00FF00))
      << std::hex << shown->at(shown->width / 2, shown->height / 2);
  int differing = 0;
  uint32_t first_shown = 0, first_drawn = 0;
  for (int y = 0; y < shown->height; ++y) {
    for (int x = 0; x < shown->width; ++x) {
      const uint8_t* p = &drawn->rgba[(static_cast<size_t>(y) * drawn->width + x) * 4];
      const uint32_t expected = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
      const uint32_t got = shown->at(x, y);
      if (!near(got, expected) && differing++ == 0) {
        first_shown = got;
        first_drawn = expected;
      }
    }
  }
  EXPECT_EQ(differing, 0) << "first difference: shown " << std::hex << first_shown
                          << ", drawn " << first_drawn;
  std::filesystem::remove_all(dir);
}

// Resizing reaches the program as a new client size; unmapping the window
// (iconifying it) as a minimised window (a size of 0 by 0), and mapping it
// again as the size it had.
TEST_F(ProbeTest, FollowsResizeAndIconify) {
  ASSERT_NO_FATAL_FAILURE(start());
  auto size_is = [](int width, int height) {
    return [=](const Frame& f) { return f["width"] == width && f["height"] == height; };
  };
  size_t mark = run_->mark();
  ASSERT_NO_FATAL_FAILURE(xdo({"windowsize", window_, "500", "400"}));
  ASSERT_TRUE(run_->wait_frame(size_is(500, 400), mark)) << "the new size never showed";
  mark = run_->mark();
  ASSERT_NO_FATAL_FAILURE(xdo({"windowunmap", window_}));
  ASSERT_TRUE(run_->wait_frame(size_is(0, 0), mark)) << "iconifying never showed";
  mark = run_->mark();
  ASSERT_NO_FATAL_FAILURE(xdo({"windowmap", window_}));
  ASSERT_TRUE(run_->wait_frame(size_is(500, 400), mark))
      << "restoring never showed";
}

// A lost display ends the program at once with a message, instead of a hang.
TEST_F(ProbeTest, LostDisplayEndsTheProgram) {
  XServer own;
  std::string error;
  ASSERT_TRUE(own.start(640, 480, error)) << error;
  ProbeRun run(probe_, {{"VELMORA_PLATFORM", "x11"}, {"DISPLAY", own.display()}});
  ASSERT_TRUE(run.wait_frame([](const Frame&) { return true; }, 0)) << run.stderr_text();
  own.stop();
  const std::optional<int> code = run.wait_exit(5000);
  ASSERT_TRUE(code) << "the probe did not end when its display went";
  EXPECT_EQ(*code, 1);
  EXPECT_NE(run.stderr_text().find("connection to the X display"), std::string::npos)
      << run.stderr_text();
}

// Without a display the program runs no frame and says how to run headless.
TEST_F(ProbeTest, NoDisplayNamesTheHeadlessPlatform) {
  ProbeRun run(probe_, {{"VELMORA_PLATFORM", "x11"}, {"DISPLAY", ":65000"}});
  ASSERT_TRUE(run.wait_exit(10000)) << "the probe did not end";
  EXPECT_TRUE(run.frames().empty());
  EXPECT_NE(run.stderr_text().find("VELMORA_PLATFORM=headless"), std::string::npos)
      << run.stderr_text();
}

}  // namespace
}  // namespace vlmr_x11_test
