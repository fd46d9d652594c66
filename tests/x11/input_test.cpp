// Real X input reaches the program as Win32 input: a held key, and left drags
// that leave the window.
#include "probe_fixture.h"

#include <chrono>
#include <thread>

namespace vlmr_x11_test {
namespace {

using namespace std::chrono_literals;

// Longer than the server's auto-repeat delay (660 ms), so the key repeats.
constexpr auto kHold = 1200ms;

TEST_F(ProbeTest, HeldKeyRepeatsAsKeyDownsAndEndsWithOneKeyUp) {
  ASSERT_NO_FATAL_FAILURE(start());
  const size_t pressed = run_->mark();
  ASSERT_NO_FATAL_FAILURE(xdo({"keydown", "w"}));
  ASSERT_TRUE(run_->wait_frame([](const Frame& f) { return f["key_W"] != 0; }, pressed))
      << "the key press never showed";
  std::this_thread::sleep_for(kHold);
  const size_t released = run_->mark();
  ASSERT_NO_FATAL_FAILURE(xdo({"keyup", "w"}));
  ASSERT_TRUE(run_->wait_frame([](const Frame& f) { return is_message(f, kKeyUp, kKeyW); },
                               released))
      << "the key release never showed";
  ASSERT_TRUE(run_->skip_frames(20));

  // From the first frame with W down to the last, W is down on every frame
  // (the key table holds -1 for a key that is down); the held key repeats as
  // key-downs alone, and only the real release is a key-up.
  const std::vector<Frame> frames = run_->frames();
  size_t first = frames.size(), last = 0;
  int downs = 0, ups = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    downs += is_message(frames[i], kKeyDown, kKeyW);
    ups += is_message(frames[i], kKeyUp, kKeyW);
    if (frames[i]["key_W"] == 0) continue;
    first = std::min(first, i);
    last = i;
  }
  ASSERT_LT(first, frames.size());
  for (size_t i = first; i <= last; ++i)
    ASSERT_EQ(frames[i]["key_W"], -1) << "frame " << frames[i]["frame"];
  EXPECT_GE(frames[last].when - frames[first].when, kHold - 100ms);
  EXPECT_GE(downs, 3) << "no auto-repeat";
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(frames.back()["key_W"], 0);
}

// A left drag turns the view by half the pointer's travel times the mouse
// speed (2): horizontal travel turns YROT, vertical travel XROT.
struct Drag {
  const char* name;
  int x0, y0;  // press, client coordinates
  int x1, y1;  // release
};

void PrintTo(const Drag& d, std::ostream* os) {
  *os << d.name << " (" << d.x0 << "," << d.y0 << ")-(" << d.x1 << "," << d.y1 << ")";
}

class DragTest : public ProbeTest, public testing::WithParamInterface<Drag> {
 protected:
  void move_to(int x, int y) {
    xdo({"mousemove", std::to_string(origin_x_ + x), std::to_string(origin_y_ + y)});
  }
  int origin_x_ = 0, origin_y_ = 0;
};

TEST_P(DragTest, TurnsTheViewAndEndsOnRelease) {
  const Drag d = GetParam();
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(client_origin(origin_x_, origin_y_));
  const auto before = run_->skip_frames(1);
  ASSERT_TRUE(before);
  ASSERT_NO_FATAL_FAILURE(move_to(d.x0, d.y0));
  ASSERT_NO_FATAL_FAILURE(xdo({"mousedown", "1"}));
  ASSERT_NO_FATAL_FAILURE(move_to((d.x0 + d.x1) / 2, (d.y0 + d.y1) / 2));
  ASSERT_NO_FATAL_FAILURE(move_to(d.x1, d.y1));
  ASSERT_NO_FATAL_FAILURE(xdo({"mouseup", "1"}));
  // Once released, moving the pointer (back into the window) turns nothing.
  ASSERT_NO_FATAL_FAILURE(move_to(d.x1 - 60, d.y1 - 40));
  ASSERT_NO_FATAL_FAILURE(move_to(d.x0, d.y0));
  // A key tap after the pointer input: when it shows, all before it was read.
  const size_t tapped = run_->mark();
  ASSERT_NO_FATAL_FAILURE(xdo({"key", "w"}));
  const auto after =
      run_->wait_frame([](const Frame& f) { return is_message(f, kKeyUp, kKeyW); }, tapped);
  ASSERT_TRUE(after) << "the marker key never showed";
  EXPECT_EQ((*after)["yrot"] - (*before)["yrot"], d.x1 - d.x0);
  EXPECT_EQ((*after)["xrot"] - (*before)["xrot"], d.y1 - d.y0);
  EXPECT_EQ((*after)["left"], 0) << "the left button still counts as held";
}

INSTANTIATE_TEST_SUITE_P(
    X11, DragTest,
    testing::Values(Drag{"inside", 200, 150, 300, 210},
                    // Past the right and bottom edges (the client is 794x578):
                    // the window keeps the pointer until the release.
                    Drag{"released_outside", 600, 400, 900, 700}),
    [](const testing::TestParamInfo<Drag>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vlmr_x11_test
