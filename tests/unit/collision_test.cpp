// The bounding-box table and the point tests of the collision unit.
#include "VLMR_Collision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

namespace C = VLMR_Collision;
using Velmora::TGLVECTOR;

class BoxTable : public ::testing::Test {
 protected:
  void SetUp() override {
    static const decltype(C::BBARRAY) empty{};
    C::BBARRAY = empty;
  }
};

struct PointCase {
  TGLVECTOR point;
  bool inside;
};

void expect_points(int32_t box, std::initializer_list<PointCase> cases) {
  for (const PointCase& c : cases) {
    EXPECT_EQ(C::POINTINSIDEBOX(box, c.point), c.inside)
        << "box " << box << " point " << c.point.X << "," << c.point.Y << "," << c.point.Z;
  }
}

TEST_F(BoxTable, PointsInsideIncludeFacesAndCorners) {
  C::SETBOUNDINGBOX(-1, -1, -1, 1, 1, 1, 0);
  EXPECT_EQ(C::BBARRAY[0].MIN.X, -1);
  EXPECT_EQ(C::BBARRAY[0].MAX.Z, 1);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  expect_points(0, {{{1, 1, 1}, true},
                    {{-1, 0, 0}, true},
                    {{0, 0, 0}, true},
                    {{1.5f, 0, 0}, false},
                    {{0, -1.0001f, 0}, false},
                    {{0, 0, 1.0001f}, false},
                    {{nan, 0, 0}, false}});
}

TEST_F(BoxTable, InvertedBoxesHoldNothingAndFreshOnesOnlyTheOrigin) {
  C::SETBOUNDINGBOX(1, -1, -1, -1, 1, 1, 1);  // x corners swapped: stored as given
  EXPECT_EQ(C::BBARRAY[1].MIN.X, 1);
  expect_points(1, {{{0, 0, 0}, false}, {{1, 0, 0}, false}, {{-1, 0, 0}, false}});
  C::SETBOUNDINGBOX(-1, -1, 1, 1, 1, -1, 2);  // z corners swapped
  expect_points(2, {{{0, 0, 0}, false}, {{0, 0, 1}, false}});

  expect_points(5, {{{0, 0, 0}, true}, {{0, 0, 1e-30f}, false}, {{-1e-30f, 0, 0}, false}});
  expect_points(C::MAXBOX, {{{0, 0, 0}, true}});
}

TEST_F(BoxTable, CollisionFindsTheLowestBoxInRange) {
  // Move every entry away from the origin so that only the boxes set below count.
  for (int32_t i = 0; i <= C::MAXBOX; ++i) C::SETBOUNDINGBOX(100, 100, 100, 101, 101, 101, i);
  C::SETBOUNDINGBOX(-1, -1, -1, 1, 1, 1, 0);
  C::SETBOUNDINGBOX(-2, -2, -2, 2, 2, 2, 3);
  C::SETBOUNDINGBOX(5, 5, 5, 6, 6, 6, C::MAXBOX);

  EXPECT_EQ(C::COLLISIONBOUNDINGBOX(7, {0, 0, 0}), 0);          // in 0 and 3
  EXPECT_EQ(C::COLLISIONBOUNDINGBOX(7, {1.5f, 0, 0}), 3);       // only in 3
  EXPECT_EQ(C::COLLISIONBOUNDINGBOX(2, {1.5f, 0, 0}), -1);      // 3 is out of range
  EXPECT_EQ(C::COLLISIONBOUNDINGBOX(3, {1.5f, 0, 0}), 3);       // the bound is inclusive
  EXPECT_EQ(C::COLLISIONBOUNDINGBOX(-1, {0, 0, 0}), -1);        // nothing tested
  EXPECT_EQ(C::COLLISIONBOUNDINGBOX(C::MAXBOX, {5.5f, 5.5f, 5.5f}), C::MAXBOX);
  EXPECT_EQ(C::COLLISIONBOUNDINGBOX(C::MAXBOX, {50, 0, 0}), -1);
}

struct SphereCase {
  TGLVECTOR p, centre;
  float radius;
  bool inside;
};

TEST(Sphere, InsideIsStrictlyWithinTheRadius) {
  const SphereCase cases[] = {
      {{3, 4, 0}, {0, 0, 0}, 5, false},  // exactly on the surface
      {{3, 4, 0}, {0, 0, 0}, 5.5f, true},
      {{3, 4, 0}, {0, 0, 0}, -6, true},  // only the square counts
      {{0, 0, 0}, {0, 0, 0}, 0, false},
      {{1, 1, 1}, {1, 1, 1}, 0, false},
      {{11, 2, -3}, {10, 2, -3}, 1.0001f, true},
      {{10, 2, -1}, {10, 2, -3}, 1.9999f, false},
  };
  for (const SphereCase& c : cases) {
    EXPECT_EQ(C::POINTINSIDESPHERE(c.p, c.centre, c.radius), c.inside)
        << "point " << c.p.X << "," << c.p.Y << "," << c.p.Z << " radius " << c.radius;
  }
}

// Box indexes outside 0..MAXBOX end the program with the range-error exit.
TEST(BoxTableDeathTest, IndexesOutsideTheTableAreRangeErrors) {
  setenv("VELMORA_PLATFORM", "headless", 1);
  const TGLVECTOR far_away{7, 7, 7};
  EXPECT_EXIT(C::SETBOUNDINGBOX(0, 0, 0, 1, 1, 1, C::MAXBOX + 1),
              ::testing::ExitedWithCode(217), "Range check error");
  EXPECT_EXIT(C::POINTINSIDEBOX(-1, far_away), ::testing::ExitedWithCode(217),
              "Range check error");
  // Every box misses the point, so the search runs on to index MAXBOX + 1.
  EXPECT_EXIT(C::COLLISIONBOUNDINGBOX(C::MAXBOX + 1, far_away), ::testing::ExitedWithCode(217),
              "Range check error");
}

}  // namespace
