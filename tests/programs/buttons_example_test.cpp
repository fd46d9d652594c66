// The buttons example run headless end to end: scripted clicks on its image
// buttons change the spinning box, and clicks that are not a button's press
// and release on it change nothing.
#include "child_process.h"
#include "png_read.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace {

const std::string kFolder = std::string(VLMR_BINARY_DIR) + "/examples";

enum class Hue { Red, Green, Black, Other };
void PrintTo(Hue h, std::ostream* os) {
  static const char* const names[] = {"red", "green", "black", "other"};
  *os << names[static_cast<int>(h)];
}

Hue hue_at(const vlmr::test::PngImage& shot, int x, int y) {
  const uint8_t* p = &shot.rgba[(static_cast<size_t>(y) * shot.width + x) * 4];
  const int r = p[0], g = p[1], b = p[2];
  if (r + g + b < 30) return Hue::Black;
  if (r > 100 && g < r / 2 && b < r / 2) return Hue::Red;
  if (g > 100 && r < g / 2 && b < g / 2) return Hue::Green;
  return Hue::Other;
}

TEST(ButtonsExample, ClicksOnTheButtonsChangeTheScene) {
  const std::string dir = vlmr_test::make_temp_dir("velmora-buttons");
  ASSERT_FALSE(dir.empty());
  // The colour button covers (16, 16)-(128, 56) of the client area with its
  // corners cut round; the shape button stands 48 pixels lower.
  const std::string script =
      "5 screenshot " + dir + "/start.png\n"
      "# hover, press and release on the colour button\n"
      "10 mouse move 72 36\n"
      "12 mouse down left 72 36\n"
      "14 mouse up left 72 36\n"
      "30 screenshot " + dir + "/colour.png\n"
      "# press on it, drag away, release outside\n"
      "40 mouse down left 72 36\n"
      "42 mouse move 400 500\n"
      "44 mouse up left 400 500\n"
      "# a click on its cut-away corner belongs to the window beneath\n"
      "50 mouse down left 17 17\n"
      "52 mouse up left 17 17\n"
      "70 screenshot " + dir + "/unchanged.png\n"
      "80 mouse down left 72 84\n"
      "82 mouse up left 72 84\n"
      "100 screenshot " + dir + "/shape.png\n"
      "110 key down Escape\n";
  ASSERT_TRUE(vlmr_test::write_file(dir + "/script.txt", script));
  auto run = vlmr_test::run_child(
      {kFolder + "/buttons_example"},
      {{"VELMORA_PLATFORM", "headless"}, {"VELMORA_SCRIPT", dir + "/script.txt"}}, kFolder);
  ASSERT_EQ(run.exit_code, 0) << run.err;

  // The box is centred; its upper part is covered by the cube at every turn
  // but never by the flat slab.
  const struct {
    const char* shot;
    Hue centre;
    Hue upper;
  } expected[] = {
      {"start.png", Hue::Red, Hue::Red},
      {"colour.png", Hue::Green, Hue::Green},
      {"unchanged.png", Hue::Green, Hue::Green},
      {"shape.png", Hue::Green, Hue::Black},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.shot);
    auto shot = vlmr::test::read_png(dir + "/" + e.shot);
    ASSERT_TRUE(shot.has_value()) << run.err;
    ASSERT_EQ(shot->width, 794);
    ASSERT_EQ(shot->height, 578);
    EXPECT_EQ(hue_at(*shot, 397, 289), e.centre);
    EXPECT_EQ(hue_at(*shot, 397, 180), e.upper);
  }
  // Kept for a look when something failed.
  if (!::testing::Test::HasFailure()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
}

}  // namespace
