// The buttons example on a real X server, clicked with real pointer input: its
// image buttons show as shaped child windows over the scene, a click on a
// button changes the spinning box, and a click on a button's cut-away corner
// reaches the window beneath instead.
#include "probe_fixture.h"
#include "tool_run.h"
#include "xwd_image.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <thread>

namespace vlmr_x11_test {
namespace {

const std::string kFolder = VLMR_BINARY_DIR "/examples";

// Client coordinates: the colour button covers (16, 16)-(128, 56) with its
// corners cut round, the shape button stands 48 pixels lower.
struct Point {
  int x, y;
};
constexpr Point kColourButton{72, 36};
constexpr Point kShapeButton{72, 84};
constexpr Point kColourCorner{17, 17};  // cut away from the colour button
constexpr Point kBackground{200, 36};   // the scene's clear colour, nothing drawn
// The box is centred; its upper part is covered by the cube at every turn but
// never by the flat slab.
constexpr Point kBoxCentre{397, 289};
constexpr Point kBoxUpper{397, 180};

enum class Hue { Red, Green, Black, Other };
void PrintTo(Hue h, std::ostream* os) {
  static const char* const names[] = {"red", "green", "black", "other"};
  *os << names[static_cast<int>(h)];
}

Hue hue_of(uint32_t rgb) {
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  if (r + g + b < 30) return Hue::Black;
  if (r > 100 && g < r / 2 && b < r / 2) return Hue::Red;
  if (g > 100 && r < g / 2 && b < g / 2) return Hue::Green;
  return Hue::Other;
}

Hue hue_at(const XwdImage& shot, Point p) { return hue_of(shot.at(p.x, p.y)); }

class ButtonsExampleTest : public ProbeTest {
 protected:
  void SetUp() override {
    if (!xvfb().server.running()) GTEST_SKIP() << "no X server: " << xvfb().error;
    for (const char* tool : {"xdotool", "xwd"})
      if (find_program(tool).empty()) GTEST_SKIP() << tool << " is not installed";
    probe_ = kFolder + "/buttons_example";
    if (access(probe_.c_str(), X_OK) != 0) GTEST_SKIP() << probe_ << " is not built";
    shot_path_ = (std::filesystem::temp_directory_path() /
                  ("vlmr-x11-buttons-" + std::to_string(getpid()) + ".xwd"))
                     .string();
  }
  void TearDown() override { std::filesystem::remove(shot_path_); }

  // Runs the example from its folder (it reads its bitmaps from there) and
  // finds its window; the title gains the frame rate after a while.
  void start_example() {
    run_ = std::make_unique<ProbeRun>(
        probe_, ProbeRun::Env{{"VELMORA_PLATFORM", "x11"}, {"DISPLAY", xvfb().server.display()}},
        kFolder);
    const ToolResult found =
        run_tool({"xdotool", "search", "--sync", "--onlyvisible", "--pid",
                  std::to_string(run_->pid()), "--name", "^Pulsanti immagine"});
    ASSERT_EQ(found.exit_code, 0) << "the example's window was not found; stderr:\n"
                                  << run_->stderr_text();
    window_ = found.out.substr(0, found.out.find('\n'));
    ASSERT_FALSE(window_.empty());
    ASSERT_NO_FATAL_FAILURE(client_origin(origin_x_, origin_y_));
  }

  // The window as the server shows it, its child windows included.
  std::optional<XwdImage> shot() {
    if (run_tool({"xwd", "-silent", "-id", window_, "-out", shot_path_}).exit_code != 0)
      return std::nullopt;
    std::string error;
    std::optional<XwdImage> image = read_xwd(shot_path_, error);
    if (!image || image->width <= kBoxCentre.x || image->height <= kBoxCentre.y)
      return std::nullopt;
    return image;
  }

  // Reads the window until the picture passes the test, for up to 5 seconds;
  // the last picture read either way.
  std::optional<XwdImage> wait_shot(const std::function<bool(const XwdImage&)>& test) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::optional<XwdImage> last;
    for (;;) {
      if (std::optional<XwdImage> now = shot()) last = std::move(now);
      if ((last && test(*last)) || std::chrono::steady_clock::now() >= deadline) return last;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  void click(Point p) {
    ASSERT_NO_FATAL_FAILURE(
        xdo({"mousemove", std::to_string(origin_x_ + p.x), std::to_string(origin_y_ + p.y)}));
    ASSERT_NO_FATAL_FAILURE(xdo({"click", "1"}));
  }

  std::string shot_path_;
  int origin_x_ = 0, origin_y_ = 0;
};

TEST_F(ButtonsExampleTest, ClicksOnTheButtonsChangeTheScene) {
  ASSERT_NO_FATAL_FAILURE(start_example());

  // A red cube at first.
  std::optional<XwdImage> seen = wait_shot([](const XwdImage& s) {
    return hue_at(s, kBoxCentre) == Hue::Red && hue_at(s, kBoxUpper) == Hue::Red;
  });
  ASSERT_TRUE(seen) << "the window could not be read";
  ASSERT_EQ(hue_at(*seen, kBoxCentre), Hue::Red) << run_->stderr_text();
  ASSERT_EQ(hue_at(*seen, kBoxUpper), Hue::Red);

  // The buttons stand over the scene; the cut-away corner shows the scene.
  const uint32_t background = seen->at(kBackground.x, kBackground.y);
  EXPECT_EQ(hue_of(background), Hue::Black);
  for (Point p : {kColourButton, kShapeButton})
    EXPECT_NE(seen->at(p.x, p.y), background) << "no button at " << p.x << "," << p.y;
  EXPECT_EQ(seen->at(kColourCorner.x, kColourCorner.y), background)
      << "the button's cut-away corner is shown: " << std::hex
      << seen->at(kColourCorner.x, kColourCorner.y);

  // One click on the colour button: the cube turns green.
  ASSERT_NO_FATAL_FAILURE(click(kColourButton));
  seen = wait_shot([](const XwdImage& s) { return hue_at(s, kBoxCentre) != Hue::Red; });
  ASSERT_TRUE(seen);
  EXPECT_EQ(hue_at(*seen, kBoxCentre), Hue::Green);
  EXPECT_EQ(hue_at(*seen, kBoxUpper), Hue::Green);

  // A click on the colour button's corner, then one on the shape button: once
  // the flat slab shows, the corner's click was read too, and the colour has
  // not moved on to the next one.
  ASSERT_NO_FATAL_FAILURE(click(kColourCorner));
  ASSERT_NO_FATAL_FAILURE(click(kShapeButton));
  seen = wait_shot([](const XwdImage& s) { return hue_at(s, kBoxUpper) != Hue::Green; });
  ASSERT_TRUE(seen);
  EXPECT_EQ(hue_at(*seen, kBoxUpper), Hue::Black) << "the shape button changed nothing";
  EXPECT_EQ(hue_at(*seen, kBoxCentre), Hue::Green)
      << "the click on the cut-away corner reached the button";

  ASSERT_NO_FATAL_FAILURE(xdo({"key", "Escape"}));
  const std::optional<int> code = run_->wait_exit(10000);
  ASSERT_TRUE(code) << "the example did not exit; stderr:\n" << run_->stderr_text();
  EXPECT_EQ(*code, 0) << run_->stderr_text();
}

}  // namespace
}  // namespace vlmr_x11_test
