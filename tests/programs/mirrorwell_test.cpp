// mirrorwell end to end: the stencil keeps the water (and the well's inside)
// to the opening and the floor to the area around it, the water ripples from
// the second frame on, a missing texture leaves its surface plain, a left drag
// turns the view, and the light's marker never shows.
#include "program_run.h"
#include "scene_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

namespace programs_test {
namespace {

// The program's view, then the mouse camera's turn about x (the tests drag
// only vertically, so YROT and DEPTH stay 0).
Transform camera(double xrot = 0) {
  return Transform().translate(0, -0.5, -9).rotate(30, -1, 0, 0).rotate(xrot, 1, 0, 0);
}

// The opening's outline on screen: the circle of radius r at z = 0.
class ScreenOutline {
 public:
  ScreenOutline(const Transform& view, double r) {
    for (int k = 0; k < 90; ++k) {
      const double a = 2 * std::numbers::pi * k / 90;
      const auto p = project(view, r * std::cos(a), r * std::sin(a), 0);
      if (p) points_.push_back(*p);
    }
  }
  // Whether a pixel's centre lies inside (the outline is convex).
  bool contains(int column, int row) const {
    const double x = column + 0.5, y = row + 0.5;
    int sign = 0;
    for (size_t i = 0; i < points_.size(); ++i) {
      const ScreenPoint& a = points_[i];
      const ScreenPoint& b = points_[(i + 1) % points_.size()];
      const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
      const int s = cross > 0 ? 1 : -1;
      if (sign == 0) sign = s;
      if (s != sign) return false;
    }
    return true;
  }

 private:
  std::vector<ScreenPoint> points_;
};

// The pixels in which two screenshots differ.
std::vector<std::pair<int, int>> differing(const vlmr::test::PngImage& a,
                                           const vlmr::test::PngImage& b) {
  std::vector<std::pair<int, int>> out;
  if (a.width != b.width || a.height != b.height) {
    ADD_FAILURE() << "screenshots of different sizes";
    return out;
  }
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      if (pixel(a, x, y) != pixel(b, x, y)) out.emplace_back(x, y);
    }
  }
  return out;
}

// Lit but untextured: a plain grey.
bool plain_grey(Rgb c) { return std::abs(c[0] - c[1]) <= 2 && std::abs(c[1] - c[2]) <= 2; }

// A folder holding the program's textures except `missing`.
ScratchDir textures_without(const std::string& missing) {
  ScratchDir dir("velmora-textures");
  for (const char* name : {"nubi.bmp", "pietre.bmp", "floor09.bmp"}) {
    if (missing == name) continue;
    std::filesystem::copy_file(programs_dir() + "/" + name, dir.path() + "/" + name);
  }
  return dir;
}

TEST(Mirrorwell, WaterRipplesFromTheSecondFrameOnAndOnlyInsideTheOpening) {
  const ProgramRun run = run_program("mirrorwell",
                                     "1 screenshot {dir}/1.png\n2 screenshot {dir}/2.png\n"
                                     "3 screenshot {dir}/3.png\n30 screenshot {dir}/30.png\n"
                                     "31 screenshot {dir}/31.png\n31 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const ScreenOutline opening(camera(), 2.5);
  for (auto [first, second] : {std::pair{1, 2}, {2, 3}, {30, 31}}) {
    SCOPED_TRACE("frames " + std::to_string(first) + " and " + std::to_string(second));
    const auto changed = differing(load_screenshot(run, std::to_string(first) + ".png"),
                                   load_screenshot(run, std::to_string(second) + ".png"));
    EXPECT_FALSE(changed.empty());
    for (auto [x, y] : changed) {
      ASSERT_TRUE(opening.contains(x, y)) << "pixel " << x << ", " << y << " changed";
    }
  }
}

TEST(Mirrorwell, MissingTexturesLeaveTheirSurfacesPlainAndTheStencilKeepsThemApart) {
  // The first frame's still water makes runs comparable pixel for pixel.
  const char* script = "1 screenshot {dir}/shot.png\n2 key down Escape\n";
  const ProgramRun full = run_program("mirrorwell", script);
  ASSERT_EQ(full.exit_code, 0) << full.err;
  const auto reference = load_screenshot(full, "shot.png");
  const ScreenOutline inner(camera(), 2.45), outer(camera(), 2.55);

  struct Case {
    const char* missing;
    bool changes_inside, changes_outside;  // relative to the opening
    bool opaque;                           // drawn alone, so it shows plain grey
    double x, y, z;                        // a point of the surface it covers
  } cases[] = {
      {"floor09.bmp", false, true, true, -5, 6, 0},  // the floor, behind the well
      {"nubi.bmp", true, false, false, 0, 0, 0},     // the water, blended over the bottom
      {"pietre.bmp", true, true, true, 0, -2.6, 2},  // the rim's top, in front
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("without ") + c.missing);
    const ScratchDir textures = textures_without(c.missing);
    const ProgramRun run = run_program("mirrorwell", script, {}, textures.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    ASSERT_EQ(run.frames.size(), 3u);
    const auto shot = load_screenshot(run, "shot.png");
    bool inside = false, outside = false;
    for (auto [x, y] : differing(reference, shot)) {
      if (outer.contains(x, y) && !inner.contains(x, y)) continue;  // the outline itself
      (inner.contains(x, y) ? inside : outside) = true;
    }
    EXPECT_EQ(inside, c.changes_inside);
    EXPECT_EQ(outside, c.changes_outside);
    if (!c.opaque) continue;
    const auto at = project(camera(), c.x, c.y, c.z);
    ASSERT_TRUE(at);
    EXPECT_TRUE(plain_grey(pixel(shot, at->column(), at->row())));
    EXPECT_FALSE(plain_grey(pixel(reference, at->column(), at->row())));
  }
}

TEST(Mirrorwell, LeftDragTurnsTheViewOneQueuedMessagePerFrame) {
  // The whole drag is queued at once; each frame handles one message.
  const ProgramRun run = run_program("mirrorwell",
                                     "5 mouse down left 400 300\n5 mouse move 400 310\n"
                                     "5 mouse move 400 320\n5 mouse up left 400 320\n"
                                     "30 screenshot {dir}/a.png\n31 screenshot {dir}/b.png\n"
                                     "31 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.size(), 32u);
  // 10 pixels down per move at speed 2: XROT grows by 10 degrees a move.
  const std::vector<double> xrot_after = {0, 0, 0, 0, 0, 0, 10, 20, 20};
  for (size_t k = 0; k < xrot_after.size(); ++k) {
    EXPECT_EQ(run.frames[k], (std::vector<double>{xrot_after[k], 0, 0})) << "frame " << k + 1;
  }
  ASSERT_EQ(run.frames.back(), (std::vector<double>{20, 0, 0}));
  const ScreenOutline turned(camera(20), 2.5), unturned(camera(), 2.5);
  const auto ripples = differing(load_screenshot(run, "a.png"), load_screenshot(run, "b.png"));
  ASSERT_FALSE(ripples.empty());
  int beyond_unturned = 0;
  for (auto [x, y] : ripples) {
    ASSERT_TRUE(turned.contains(x, y)) << "pixel " << x << ", " << y;
    beyond_unturned += unturned.contains(x, y) ? 0 : 1;
  }
  EXPECT_GT(beyond_unturned, 0);
}

TEST(Mirrorwell, TheLightsMarkerNeverShows) {
  // A drag 150 pixels up turns the view by -150 degrees: seen from below, the
  // marker's point (8, -8, 12) is on screen over empty background, where a
  // marker that survived the stencil set-up's clear would show.
  const ProgramRun run = run_program("mirrorwell",
                                     "5 mouse down left 400 400\n6 mouse move 400 250\n"
                                     "7 mouse up left 400 250\n20 screenshot {dir}/shot.png\n"
                                     "21 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.back(), (std::vector<double>{-150, 0, 0}));
  const auto at = project(camera(-150), 8, -8, 12);
  ASSERT_TRUE(at);
  const auto shot = load_screenshot(run, "shot.png");
  ASSERT_TRUE(inside_image(shot, at->column(), at->row()));
  EXPECT_FALSE(any_near(shot, at->column(), at->row(), 3, [](Rgb c) { return c != Rgb{0, 0, 0}; }));
}

}  // namespace
}  // namespace programs_test
