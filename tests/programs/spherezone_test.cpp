// spherezone end to end: the platform's path, the colour of each sample point
// at known heights, and the keys that switch the point classes and the mode.
#include "program_run.h"
#include "scene_projection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace programs_test {
namespace {

// The trace line of a frame: the platform's z and INVERT, AREAIN, AREAOUT,
// AREACUBE, keys 1 2 3 held.
struct SpherezoneFrame {
  const std::vector<double>& v;
  double z() const { return v.at(0); }
  bool area_in() const { return v.at(2) != 0; }
  bool area_out() const { return v.at(3) != 0; }
  bool lattice() const { return v.at(4) != 0; }
};

Transform camera() { return Transform().translate(0, 0, -60).rotate(45, -1, 0, 0); }

bool red(Rgb c) { return c[0] > 200 && c[1] < 60 && c[2] < 60; }
bool green(Rgb c) { return c[1] > 200 && c[0] < 60 && c[2] < 60; }

bool anywhere(const vlmr::test::PngImage& image, bool (*test)(Rgb)) {
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (test(pixel(image, x, y))) return true;
    }
  }
  return false;
}

// The help text is drawn first, in front of the scene: its three lines start
// at the window's left edge, their baselines 16 overlay units apart from
// 255 down, so they cover the top-left corner (measured: about 345 by 70
// pixels at this window size).
bool under_help_text(const ScreenPoint& p) { return p.x < 360 && p.y < 80; }

// The sample cube at a scene point shows `expected` and not the other class.
void expect_sample(const vlmr::test::PngImage& image, double x, double y, double z,
                   bool expect_red) {
  const auto at = project(camera(), x, y, z);
  ASSERT_TRUE(at);
  const int c = at->column(), r = at->row();
  EXPECT_TRUE(any_near(image, c, r, 1, expect_red ? red : green))
      << "(" << x << ", " << y << ", " << z << ") should be " << (expect_red ? "red" : "green");
  EXPECT_FALSE(any_near(image, c, r, 1, expect_red ? green : red))
      << "(" << x << ", " << y << ", " << z << ")";
}

// Starting at 0 and climbing, 0.5 a frame, turning at 16 and -16.
double platform_after(int frame) {
  const int phase = (frame + 32) % 128;  // 0 at -16, 64 at 16
  return phase <= 64 ? -16 + 0.5 * phase : 16 - 0.5 * (phase - 64);
}

TEST(Spherezone, ThePlatformClimbsAndDescendsBetweenExactly16AndMinus16) {
  const ProgramRun run = run_program("spherezone", "300 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.size(), 301u);
  for (size_t k = 0; k < run.frames.size(); ++k) {
    ASSERT_EQ(SpherezoneFrame{run.frames[k]}.z(), platform_after(static_cast<int>(k) + 1))
        << "frame " << k + 1;
  }
  // It turns exactly at the ends.
  EXPECT_EQ(SpherezoneFrame{run.frames[31]}.z(), 16);
  EXPECT_EQ(SpherezoneFrame{run.frames[32]}.z(), 15.5);
  EXPECT_EQ(SpherezoneFrame{run.frames[95]}.z(), -16);
  EXPECT_EQ(SpherezoneFrame{run.frames[96]}.z(), -15.5);
}

TEST(Spherezone, PointsStrictlyInsideTheSphereAreRedAndTheRestGreen) {
  struct Case {
    int frame;
    double z;
  } cases[] = {{64, 0}, {30, 15}, {32, 16}, {94, -15}, {96, -16}};
  std::string script;
  for (const Case& c : cases) {
    script += std::to_string(c.frame) + " screenshot {dir}/f" + std::to_string(c.frame) + ".png\n";
  }
  const ProgramRun run = run_program("spherezone", script + "100 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.size(), 101u);
  for (const Case& c : cases) {
    SCOPED_TRACE("platform at " + std::to_string(c.z));
    ASSERT_EQ(SpherezoneFrame{run.frames[c.frame - 1]}.z(), c.z);
    const auto shot = load_screenshot(run, "f" + std::to_string(c.frame) + ".png");
    ASSERT_EQ(shot.width, kClientWidth);
    for (int i = -15; i <= 15; ++i) {
      for (int l = -15; l <= 15; ++l) {
        const auto at = project(camera(), i, l, c.z);
        if (at && under_help_text(*at)) continue;
        expect_sample(shot, i, l, c.z, i * i + l * l + c.z * c.z < 225);
      }
    }
    if (c.z != 0) {
      EXPECT_FALSE(anywhere(shot, red));
    }
  }
}

TEST(Spherezone, Key3SwitchesToTheLatticeAndBackWithoutResettingThePlatform) {
  const ProgramRun run = run_program("spherezone",
                                     "5 key down 3\n8 key up 3\n"
                                     "40 screenshot {dir}/lattice.png\n"
                                     "50 key down 3\n53 key up 3\n"
                                     "70 screenshot {dir}/plane.png\n"
                                     "71 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(run.frames.size(), 72u);
  for (size_t k = 0; k < run.frames.size(); ++k) {
    const SpherezoneFrame f{run.frames[k]};
    const int frame = static_cast<int>(k) + 1;
    EXPECT_EQ(f.lattice(), frame >= 8 && frame < 53) << "frame " << frame;
    EXPECT_EQ(f.z(), platform_after(frame)) << "frame " << frame;
  }
  const auto lattice = load_screenshot(run, "lattice.png");
  expect_sample(lattice, 15, 0, 0, false);    // exactly on the sphere: outside
  expect_sample(lattice, 12.5, 7.5, 0, true);  // 25 + 9 < 36 lattice steps
  expect_sample(lattice, 0, 0, 15, false);     // the lattice's top
  // Back on the plane (at z = -3 on frame 70): nothing at the lattice's top.
  const auto plane = load_screenshot(run, "plane.png");
  expect_sample(plane, 0, 0, -3, true);
  const auto top = project(camera(), 0, 0, 15);
  EXPECT_FALSE(any_near(plane, top->column(), top->row(), 2, green));
}

TEST(Spherezone, Keys1And2HideTheInsideAndOutsidePoints) {
  const ProgramRun run = run_program("spherezone",
                                     "5 key down 1\n8 key up 1\n"
                                     "20 screenshot {dir}/no_inside.png\n"
                                     "25 key down 2\n28 key up 2\n"
                                     "45 screenshot {dir}/none.png\n"
                                     "50 key down 1\n53 key up 1\n"
                                     "70 screenshot {dir}/no_outside.png\n"
                                     "71 key down Escape\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  struct Case {
    const char* shot;
    int frame;
    bool in, out;
  } cases[] = {{"no_inside.png", 20, false, true},
               {"none.png", 45, false, false},
               {"no_outside.png", 70, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shot);
    const SpherezoneFrame f{run.frames.at(c.frame - 1)};
    ASSERT_EQ(f.area_in(), c.in);
    ASSERT_EQ(f.area_out(), c.out);
    ASSERT_LT(std::abs(f.z()), 14);  // both classes are on the plane
    const auto shot = load_screenshot(run, c.shot);
    EXPECT_EQ(anywhere(shot, red), c.in);
    EXPECT_EQ(anywhere(shot, green), c.out);
  }
}

}  // namespace
}  // namespace programs_test
