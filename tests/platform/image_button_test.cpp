// The image button driven by mouse input as the platform routes it: hover and
// press states, the picture each state paints, the click it reports to its
// parent, its shape for hit testing, and what its destruction leaves behind.
#include "Velmora.h"
#include "bmp_writer.h"
#include "child_process.h"
#include "core.h"
#include "gl_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace Velmora;
using vlmr_test::Picture;

namespace {

constexpr int kW = 40, kH = 24;   // button pictures
constexpr int kCut = 6;           // magenta triangles of this size in each corner
constexpr int kX = 20, kY = 30;   // the button's place in the parent's client area
constexpr int kId = 77;
constexpr const char* kParentClass = "VlmrButtonTestParent";

// Messages the parent received that matter here.
std::vector<MSG> g_parent_log;

LRESULT parent_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND || msg == WM_LBUTTONDOWN) {
    MSG m{};
    m.hwnd = wnd;
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    g_parent_log.push_back(m);
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

bool in_corner(int x, int y) {
  const int dx = std::min(x, kW - 1 - x), dy = std::min(y, kH - 1 - y);
  return dx + dy < kCut;
}

// One picture per state: a gradient in its own colour, corners cut away.
Picture picture(uint32_t base) {
  Picture p{kW, kH, {}};
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      p.pixels.push_back(in_corner(x, y) ? 0xFF00FF : base + static_cast<uint32_t>(x * 2 + y));
  return p;
}
const Picture kNormal = picture(0x204000), kHover = picture(0x008000), kPressed = picture(0x800000);

class ImageButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vlmr_test::use_headless_platform();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    if (!GetClassInfoExA(instance, SZHOVERCLASS, &wc)) {
      wc = WNDCLASSEXA{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = HOVERBUTTONHANDLER;
      wc.hInstance = instance;
      wc.lpszClassName = SZHOVERCLASS;
      ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    WNDCLASSA pc{};
    pc.lpfnWndProc = parent_proc;
    pc.hInstance = instance;
    pc.lpszClassName = kParentClass;
    RegisterClassA(&pc);  // fails harmlessly when an earlier test made it

    dir_ = vlmr_test::make_temp_dir("velmora-button");
    ASSERT_FALSE(dir_.empty());
    vlmr_test::write_bmp(dir_ + "/PLAYN.BMP", kNormal, 24);
    vlmr_test::write_bmp(dir_ + "/PLAYH.BMP", kHover, 24);
    vlmr_test::write_bmp(dir_ + "/PLAYP.BMP", kPressed, 24);

    parent_ = CreateWindowExA(0, kParentClass, "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                              20, 300, 200, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(parent_, nullptr);
    g_parent_log.clear();
  }

  void TearDown() override {
    vlmr::set_key_state(VK_LBUTTON, false);
    vlmr::set_key_state(VK_RBUTTON, false);
    ReleaseCapture();
    if (IsWindow(parent_)) DestroyWindow(parent_);
    BMPTYPE.clear();
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }

  HWND create_button(const std::string& base = "PLAY") {
    BMPTYPE = dir_ + "/" + base;
    return CreateWindowExA(0, SZHOVERCLASS, "", WS_CHILD | WS_VISIBLE, kX, kY, 5, 5, parent_,
                           reinterpret_cast<HMENU>(static_cast<uintptr_t>(kId)),
                           GetModuleHandleA(nullptr), nullptr);
  }

  // Mouse input at a point of the parent's client area, routed as real input.
  void mouse(UINT message, int x, int y) {
    vlmr::Window* top = vlmr::find_window(parent_);
    ASSERT_NE(top, nullptr);
    vlmr::deliver_mouse(*top, message, x, y, vlmr::mouse_key_flags());
  }

  static void pump() {
    MSG m;
    for (int guard = 0; guard < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++guard)
      DispatchMessageA(&m);
  }

  static uintptr_t state(HWND button) {
    return reinterpret_cast<uintptr_t>(GetPropA(button, HOVERMODE));
  }

  // The button's pixels as painted, against a picture.
  static bool shows(HWND button, const Picture& p) {
    std::vector<DWORD> pixels(kW * kH);
    if (!VlmrReadWindowPixels(button, pixels.data(), kW, kH)) return false;
    for (size_t i = 0; i < pixels.size(); ++i)
      if (pixels[i] != p.pixels[i]) return false;
    return true;
  }

  std::vector<MSG> commands() const {
    std::vector<MSG> out;
    for (const MSG& m : g_parent_log)
      if (m.message == WM_COMMAND) out.push_back(m);
    return out;
  }

  std::string dir_;
  HWND parent_ = nullptr;
};

TEST_F(ImageButtonTest, TakesTheSizeAndShapeOfItsNormalPicture) {
  HWND button = create_button();
  ASSERT_NE(button, nullptr);
  RECT r, parent_client{0, 0, 0, 0};
  ASSERT_TRUE(GetWindowRect(button, &r));
  ClientToScreen(parent_, reinterpret_cast<POINT*>(&parent_client));
  EXPECT_EQ(r.left - parent_client.left, kX);
  EXPECT_EQ(r.top - parent_client.top, kY);
  EXPECT_EQ(r.right - r.left, kW);
  EXPECT_EQ(r.bottom - r.top, kH);
  EXPECT_EQ(state(button), 1u);

  pump();
  EXPECT_TRUE(shows(button, kNormal));

  // The corners belong to the window beneath; the picture's inside is the
  // button's, for WindowFromPoint and for routed clicks alike.
  const struct {
    int x, y;  // in the button
    bool on_button;
  } points[] = {{0, 0, false},          {kW - 1, 0, false}, {0, kH - 1, false},
                {kW - 1, kH - 1, false}, {kCut - 2, 1, false}, {kCut, 0, true},
                {kW / 2, kH / 2, true},  {kW - 1, kH / 2, true}};
  for (const auto& p : points) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    POINT screen{r.left + p.x, r.top + p.y};
    EXPECT_EQ(WindowFromPoint(screen), p.on_button ? button : parent_);
    g_parent_log.clear();
    vlmr::set_key_state(VK_LBUTTON, true);
    mouse(WM_LBUTTONDOWN, kX + p.x, kY + p.y);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
    EXPECT_EQ(m.hwnd, p.on_button ? button : parent_);
    pump();
    vlmr::set_key_state(VK_LBUTTON, false);
    mouse(WM_LBUTTONUP, kX + p.x, kY + p.y);
    pump();
    // The parent hears of the click: as the button's command, or as its own.
    ASSERT_EQ(g_parent_log.size(), 1u);
    EXPECT_EQ(g_parent_log[0].message, p.on_button ? WM_COMMAND : WM_LBUTTONDOWN);
  }
}

// Mouse input step by step: the state after each step and the picture the
// button paints for it, then the commands the parent got.
TEST_F(ImageButtonTest, FollowsTheMouseAndReportsClicks) {
  enum Act { Move, LeftDown, LeftUp, RightDown };
  struct Step {
    Act act;
    int x, y;  // parent client coordinates
    uintptr_t state;
  };
  const int in_x = kX + kW / 2, in_y = kY + kH / 2;
  const int out_x = 250, out_y = 150;
  const int corner_x = kX, corner_y = kY;  // magenta corner: outside the shape
  const struct {
    const char* name;
    std::vector<Step> steps;
    size_t commands;
  } cases[] = {
      {"hover in and out", {{Move, in_x, in_y, 2}, {Move, in_x + 3, in_y, 2},
                            {Move, corner_x, corner_y, 1}, {Move, out_x, out_y, 1}}, 0},
      {"click", {{Move, in_x, in_y, 2}, {LeftDown, in_x, in_y, 3}, {LeftUp, in_x, in_y, 1}}, 1},
      {"click without a move first", {{LeftDown, in_x, in_y, 3}, {LeftUp, in_x + 1, in_y, 1}}, 1},
      {"two clicks", {{LeftDown, in_x, in_y, 3}, {LeftUp, in_x, in_y, 1},
                      {LeftDown, in_x, in_y, 3}, {LeftUp, in_x, in_y, 1}}, 2},
      {"press, drag off, release outside",
       {{Move, in_x, in_y, 2}, {LeftDown, in_x, in_y, 3}, {Move, out_x, out_y, 1},
        {LeftUp, out_x, out_y, 1}}, 0},
      {"press, drag onto a corner, release there",
       {{LeftDown, in_x, in_y, 3}, {Move, corner_x, corner_y, 1}, {LeftUp, corner_x, corner_y, 1}},
       0},
      {"enter with the left button held, release on it",
       {{LeftDown, out_x, out_y, 1}, {Move, in_x, in_y, 3}, {LeftUp, in_x, in_y, 1}}, 1},
      {"enter with the right button held",
       {{RightDown, out_x, out_y, 1}, {Move, in_x, in_y, 3}, {Move, out_x, out_y, 1}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND button = create_button();
    ASSERT_NE(button, nullptr);
    pump();
    g_parent_log.clear();
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      SCOPED_TRACE("step " + std::to_string(i));
      switch (s.act) {
        case Move: mouse(WM_MOUSEMOVE, s.x, s.y); break;
        case LeftDown:
          vlmr::set_key_state(VK_LBUTTON, true);
          mouse(WM_LBUTTONDOWN, s.x, s.y);
          break;
        case LeftUp:
          vlmr::set_key_state(VK_LBUTTON, false);
          mouse(WM_LBUTTONUP, s.x, s.y);
          break;
        case RightDown:
          vlmr::set_key_state(VK_RBUTTON, true);
          mouse(WM_RBUTTONDOWN, s.x, s.y);
          break;
      }
      pump();
      ASSERT_EQ(state(button), s.state);
      const Picture& want = s.state == 3 ? kPressed : s.state == 2 ? kHover : kNormal;
      EXPECT_TRUE(shows(button, want));
      // Held while hovered or pressed, so the button sees the pointer leave.
      EXPECT_EQ(GetCapture(), s.state == 1 ? nullptr : button);
    }
    const std::vector<MSG> got = commands();
    ASSERT_EQ(got.size(), c.commands);
    for (const MSG& m : got) {
      EXPECT_EQ(m.hwnd, parent_);
      EXPECT_EQ(m.wParam, static_cast<WPARAM>(kId));
      EXPECT_EQ(m.lParam, 0);
    }
    vlmr::set_key_state(VK_RBUTTON, false);
    DestroyWindow(button);
  }
}

TEST_F(ImageButtonTest, DestructionRemovesItsPropertiesAndObjects) {
  const int before = VlmrGdiObjectCount();
  HWND button = create_button();
  ASSERT_NE(button, nullptr);
  pump();
  EXPECT_GT(VlmrGdiObjectCount(), before);
  for (const char* name : {NORMALBMP, HOVERBMP, PRESSBMP, BUTTONRGN, HOVERMODE})
    EXPECT_NE(GetPropA(button, name), nullptr) << name;

  // Messages it does not handle get default processing.
  EXPECT_EQ(SendMessageA(button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("play")), TRUE);
  char text[16] = {};
  GetWindowTextA(button, text, sizeof text);
  EXPECT_STREQ(text, "play");

  EXPECT_EQ(SendMessageA(button, WM_DESTROY, 0, 0), 0);
  for (const char* name : {NORMALBMP, HOVERBMP, PRESSBMP, BUTTONRGN, HOVERMODE})
    EXPECT_EQ(GetPropA(button, name), nullptr) << name;
  // The window still holds its shape until it is really destroyed.
  EXPECT_TRUE(DestroyWindow(button));
  EXPECT_EQ(VlmrGdiObjectCount(), before);

  // Destroyed with its parent, the same.
  ASSERT_NE(create_button(), nullptr);
  pump();
  DestroyWindow(parent_);
  EXPECT_EQ(VlmrGdiObjectCount(), before);
}

TEST_F(ImageButtonTest, WithoutItsNormalPictureItKeepsItsSizeAndIgnoresHovering) {
  std::remove((dir_ + "/PLAYN.BMP").c_str());
  const int before = VlmrGdiObjectCount();
  HWND button = create_button();
  ASSERT_NE(button, nullptr);
  RECT r;
  GetWindowRect(button, &r);
  EXPECT_EQ(r.right - r.left, 5);
  EXPECT_EQ(r.bottom - r.top, 5);
  EXPECT_EQ(GetPropA(button, BUTTONRGN), nullptr);
  EXPECT_EQ(state(button), 1u);
  pump();
  mouse(WM_MOUSEMOVE, kX + 2, kY + 2);
  pump();
  EXPECT_EQ(state(button), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
  // A press still shows the pressed picture and a release still reports.
  vlmr::set_key_state(VK_LBUTTON, true);
  mouse(WM_LBUTTONDOWN, kX + 2, kY + 2);
  pump();
  EXPECT_EQ(state(button), 3u);
  std::vector<DWORD> pixels(25);
  ASSERT_TRUE(VlmrReadWindowPixels(button, pixels.data(), 5, 5));
  EXPECT_EQ(pixels[0], kPressed.at(0, 0));
  EXPECT_EQ(pixels[4 * 5 + 4], kPressed.at(4, 4));
  vlmr::set_key_state(VK_LBUTTON, false);
  mouse(WM_LBUTTONUP, kX + 2, kY + 2);
  pump();
  EXPECT_EQ(commands().size(), 1u);
  DestroyWindow(button);
  EXPECT_EQ(VlmrGdiObjectCount(), before);
}

}  // namespace
