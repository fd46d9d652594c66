// boxshot end to end: which box stops which bullet on which frame, the row
// moved by the keys, and the wire boxes switched by holding V.
#include "program_run.h"
#include "scene_projection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace programs_test {
namespace {

// The trace line of a frame: W S A D V held, VIEWBOX, TIMER[1], then per
// bullet x y z and the box that contains it (-1 for none).
struct BoxshotFrame {
  const std::vector<double>& v;
  bool held(char key) const {
    const std::string keys = "WSADV";
    return v.at(keys.find(key)) != 0;
  }
  bool viewbox() const { return v.at(5) != 0; }
  double x(int bullet) const { return v.at(7 + 4 * bullet); }
  double y(int bullet) const { return v.at(8 + 4 * bullet); }
  double z(int bullet) const { return v.at(9 + 4 * bullet); }
  int box(int bullet) const { return static_cast<int>(v.at(10 + 4 * bullet)); }
};

constexpr int kBullets = 11;
constexpr int kTraceWidth = 7 + 4 * kBullets;

// The program's camera.
Transform camera() { return Transform().translate(0, -5, -40).rotate(40, 1, 0, 0).rotate(10, 0, 1, 0); }

int frames_held(const ProgramRun& run, char key) {
  int n = 0;
  for (const auto& f : run.frames) n += BoxshotFrame{f}.held(key) ? 1 : 0;
  return n;
}

// The first frame (1-based) on which the bullet is reported inside a box.
int first_hit(const ProgramRun& run, int bullet) {
  for (size_t k = 0; k < run.frames.size(); ++k) {
    if (BoxshotFrame{run.frames[k]}.box(bullet) != -1) return static_cast<int>(k) + 1;
  }
  return -1;
}

bool bullet_grey(Rgb c) {  // unlit 0.4 grey
  return std::abs(c[0] - 102) <= 3 && std::abs(c[1] - 102) <= 3 && std::abs(c[2] - 102) <= 3;
}

TEST(Boxshot, WithoutKeysEachBulletStopsInItsBoxAndStartsAgainAtDepth12) {
  const ProgramRun run = run_program("boxshot",
                                     "50 screenshot {dir}/hit.png\n"
                                     "51 screenshot {dir}/restart.png\n"
                                     "120 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.size(), 121u);
  for (const auto& f : run.frames) ASSERT_EQ(f.size(), static_cast<size_t>(kTraceWidth));

  // Frame 1 starts every bullet at depth 6 without advancing it; from then
  // on it advances 0.1 a frame, so its k-th advancing frame is frame k + 1.
  struct Case {
    int bullet;
    int box;
    int advancing_frames;
    double depth;
  } cases[] = {
      {0, 2, 49, 1.1},   {1, 2, 49, 1.1},   {2, 2, 49, 1.1},  {4, 3, 49, 1.1},
      {5, 3, 49, 1.1},   {6, 3, 49, 1.1},   {9, 4, 49, 1.1},  {10, 4, 49, 1.1},
      {3, 5, 109, -4.9}, {7, 5, 109, -4.9}, {8, 5, 109, -4.9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("bullet " + std::to_string(c.bullet));
    const int hit = first_hit(run, c.bullet);
    ASSERT_EQ(hit, c.advancing_frames + 1);
    const BoxshotFrame at_hit{run.frames[hit - 1]}, before{run.frames[hit - 2]},
        after{run.frames[hit]};
    EXPECT_EQ(at_hit.box(c.bullet), c.box);
    EXPECT_NEAR(at_hit.z(c.bullet), c.depth, 1e-4);
    EXPECT_NEAR(before.z(c.bullet), c.depth + 0.1, 1e-4);
    EXPECT_EQ(after.z(c.bullet), 12);
    EXPECT_EQ(after.box(c.bullet), -1);
    EXPECT_EQ(at_hit.x(c.bullet), c.bullet);
    EXPECT_EQ(at_hit.y(c.bullet), 3);
  }

  // Bullet 0 is drawn where it hit on frame 50 and at depth 12 on frame 51.
  const auto hit_shot = load_screenshot(run, "hit.png");
  const auto restart_shot = load_screenshot(run, "restart.png");
  const auto at_box = project(camera(), 0, 3, 1.1);
  const auto at_start = project(camera(), 0, 3, 12);
  ASSERT_TRUE(at_box && at_start);
  EXPECT_TRUE(bullet_grey(pixel(hit_shot, at_box->column(), at_box->row())));
  EXPECT_FALSE(bullet_grey(pixel(hit_shot, at_start->column(), at_start->row())));
  EXPECT_TRUE(bullet_grey(pixel(restart_shot, at_start->column(), at_start->row())));
  EXPECT_FALSE(bullet_grey(pixel(restart_shot, at_box->column(), at_box->row())));
}

TEST(Boxshot, HoldingDMovesTheRowRightOntoThePillars) {
  const ProgramRun run = run_program("boxshot",
                                     "5 key down D\n"
                                     "15 key up D\n"
                                     "120 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.size(), 121u);
  EXPECT_EQ(frames_held(run, 'D'), 10);
  const BoxshotFrame first{run.frames.front()}, last{run.frames.back()};
  for (int b = 0; b < kBullets; ++b) {
    EXPECT_EQ(first.x(b), b);
    EXPECT_NEAR(last.x(b), b + 3, 1e-4) << "bullet " << b;
    EXPECT_EQ(last.y(b), 3);
  }
  // Three units right, bullet 0 flies through the left opening to the wall
  // behind, and bullet 3, which used to pass, hits the middle pillar.
  const BoxshotFrame at_pillars{run.frames[49]};
  EXPECT_EQ(at_pillars.box(3), 3);
  EXPECT_EQ(at_pillars.box(0), -1);
  EXPECT_EQ(first_hit(run, 0), 110);
  EXPECT_EQ(BoxshotFrame{run.frames[109]}.box(0), 5);
}

TEST(Boxshot, AboveEveryBoxNoBulletIsSentBack) {
  const ProgramRun run = run_program("boxshot",
                                     "5 key down W\n"
                                     "23 key up W\n"
                                     "300 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.size(), 301u);
  ASSERT_EQ(frames_held(run, 'W'), 18);
  for (size_t k = 24; k < run.frames.size(); ++k) {
    const BoxshotFrame prev{run.frames[k - 1]}, now{run.frames[k]};
    for (int b = 0; b < kBullets; ++b) {
      ASSERT_NEAR(now.y(b), 8.4, 1e-4);
      ASSERT_EQ(now.box(b), -1) << "frame " << k + 1 << " bullet " << b;
      ASSERT_NEAR(now.z(b), prev.z(b) - 0.1, 1e-4) << "frame " << k + 1 << " bullet " << b;
    }
  }
}

TEST(Boxshot, HoldingVTogglesTheWireBoxesOnItsThirdFrameAndEveryTenthAfter) {
  // The wire box of the side block (6): its top front edge, in the open.
  const auto edge = project(camera(), -5, 6.15, 4.15);
  ASSERT_TRUE(edge);
  auto wire = [](Rgb c) {  // (0.39, 0.7, 0.85), unlit
    return std::abs(c[0] - 99) <= 3 && std::abs(c[1] - 179) <= 3 && std::abs(c[2] - 217) <= 3;
  };
  struct Case {
    int held;
    bool shown;
  } cases[] = {{2, false}, {3, true}, {12, true}, {13, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE("V held " + std::to_string(c.held) + " frames");
    // V goes down on frame 6 and up after frame 5 + held.
    const ProgramRun run =
        run_program("boxshot", "5 key down V\n" + std::to_string(5 + c.held) +
                                   " key up V\n40 screenshot {dir}/shot.png\n41 key down Escape\n");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    ASSERT_EQ(frames_held(run, 'V'), c.held);
    EXPECT_EQ(BoxshotFrame{run.frames.back()}.viewbox(), c.shown);
    const auto shot = load_screenshot(run, "shot.png");
    EXPECT_EQ(any_near(shot, edge->column(), edge->row(), 2, wire), c.shown);
  }
}

}  // namespace
}  // namespace programs_test
