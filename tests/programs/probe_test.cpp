// A small program on the library, run headless end to end: a script holds a
// key, drags the mouse, takes a screenshot and presses Escape; the state the
// program printed each frame must follow what the script did.
#include "child_process.h"
#include "png_read.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Frame = std::map<std::string, double>;

std::vector<Frame> parse(const std::string& out) {
  std::vector<Frame> frames;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    Frame f;
    std::string key;
    double value;
    while (words >> key >> value) f[key] = value;
    if (f.count("frame")) frames.push_back(f);
  }
  return frames;
}

std::string probe() { return std::string(VLMR_BINARY_DIR) + "/tests/vlmr_probe"; }

TEST(Probe, ScriptedKeysDragScreenshotAndEscape) {
  const std::string dir = vlmr_test::make_temp_dir("velmora-probe");
  ASSERT_FALSE(dir.empty());
  ASSERT_TRUE(vlmr_test::write_file(dir + "/script.txt",
                                    "# hold W, drag, screenshot, Escape\n"
                                    "5 key down W\n"
                                    "15 key up W\n"
                                    "20 mouse down left 400 300\n"
                                    "22 mouse move 410 320\n"
                                    "24 mouse up left 410 320\n"
                                    "30 screenshot shot.png\n"
                                    "60 key down Escape\n"));
  auto r = vlmr_test::run_child({probe()},
                                {{"VELMORA_PLATFORM", "headless"}, {"VELMORA_SCRIPT", "script.txt"}},
                                dir);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::vector<Frame> frames = parse(r.out);
  ASSERT_GE(frames.size(), 60u);
  // The program ends after the frame that handled Escape.
  EXPECT_EQ(frames.back()["active"], 0);
  EXPECT_EQ(frames[frames.size() - 2]["active"], 1);

  // W is down from the frame after it was pressed until the frame its release
  // was pumped (one message per frame: the key's character comes between).
  bool seen_down = false;
  int ups = 0;
  for (const Frame& f : frames) {
    if (f.at("msg") == 257 && f.at("wparam") == 'W') ++ups;
    if (f.at("key_W") != 0) seen_down = true;
  }
  EXPECT_TRUE(seen_down);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(frames[5]["key_W"], -1);   // frame 6: pressed after frame 5
  EXPECT_EQ(frames[14]["key_W"], -1);  // still held on frame 15
  EXPECT_EQ(frames[20]["key_W"], 0);

  // Drag of 10 pixels right and 20 down at speed 2: XROT +20, YROT +10.
  const Frame& after = frames[40];
  EXPECT_FLOAT_EQ(after.at("xrot"), 20);
  EXPECT_FLOAT_EQ(after.at("yrot"), 10);
  EXPECT_EQ(after.at("left"), 0);
  EXPECT_EQ(after.at("width"), 794);
  EXPECT_EQ(after.at("height"), 578);

  auto shot = vlmr::test::read_png(dir + "/shot.png");
  ASSERT_TRUE(shot.has_value()) << r.err;
  EXPECT_EQ(shot->width, 794);
  EXPECT_EQ(shot->height, 578);
  auto pixel = [&](int x, int y) {
    const uint8_t* p = &shot->rgba[(static_cast<size_t>(y) * shot->width + x) * 4];
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  // The corner shows the dark blue clear colour, the square stays visible
  // near the centre even after the 20-degree tilt.
  EXPECT_NEAR(pixel(5, 5)[2], 128, 2);
  EXPECT_NEAR(pixel(5, 5)[0], 26, 2);
  EXPECT_EQ(pixel(397, 289)[1], 255);
}

TEST(Probe, CloseButtonAndFrameLimitEndWithExitZero) {
  const std::string dir = vlmr_test::make_temp_dir("velmora-probe");
  ASSERT_TRUE(vlmr_test::write_file(dir + "/close.txt", "3 close\n"));
  auto closed = vlmr_test::run_child(
      {probe()}, {{"VELMORA_PLATFORM", "headless"}, {"VELMORA_SCRIPT", "close.txt"}}, dir);
  EXPECT_EQ(closed.exit_code, 0) << closed.err;
  EXPECT_EQ(parse(closed.out).size(), 4u);  // the frame that handled the close finishes

  auto limited = vlmr_test::run_child({probe()},
                                      {{"VELMORA_PLATFORM", "headless"},
                                       {"VELMORA_FRAMES", "10"},
                                       {"VELMORA_SCREENSHOT", "last.png"}},
                                      dir);
  EXPECT_EQ(limited.exit_code, 0) << limited.err;
  EXPECT_EQ(parse(limited.out).size(), 11u);
  EXPECT_TRUE(vlmr::test::read_png(dir + "/last.png").has_value());
}

TEST(Probe, BadScriptLineIsNamedAndNoDisplayIsExplained) {
  const std::string dir = vlmr_test::make_temp_dir("velmora-probe");
  ASSERT_TRUE(vlmr_test::write_file(dir + "/bad.txt", "3 key down W\n4 jump up\n"));
  auto bad = vlmr_test::run_child(
      {probe()}, {{"VELMORA_PLATFORM", "headless"}, {"VELMORA_SCRIPT", "bad.txt"}}, dir);
  EXPECT_NE(bad.exit_code, 0);
  EXPECT_NE(bad.err.find("bad.txt:2"), std::string::npos) << bad.err;

  // No display for the default backend: the window is not created, the box
  // says so, the hint names the headless backend, and the program exits 0.
  auto nodisplay =
      vlmr_test::run_child({probe()}, {{"VELMORA_PLATFORM", "x11"}, {"DISPLAY", ":9999"}}, dir);
  EXPECT_EQ(nodisplay.exit_code, 0);
  EXPECT_NE(nodisplay.err.find("VELMORA_PLATFORM=headless"), std::string::npos) << nodisplay.err;
  EXPECT_NE(nodisplay.err.find("Impossibile creare la finestra"), std::string::npos);
}

}  // namespace
