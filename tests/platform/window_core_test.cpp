// The platform core: window lifetime and geometry, class lookup, queue order,
// DefWindowProc, timers, capture, the status window and stale handles.
#include "vlmr_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<MSG> g_seen;

LRESULT recording_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  g_seen.push_back(MSG{w, m, wp, lp, 0, {0, 0}});
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    EndPaint(w, &ps);
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

class WindowCore : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VELMORA_PLATFORM", "headless", 0);
    static bool registered = false;
    if (!registered) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = recording_proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "CoreTest";
      ASSERT_NE(RegisterClassA(&wc), 0);
      registered = true;
    }
    g_seen.clear();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND make(DWORD style, int w = 800, int h = 600) {
    return CreateWindowExA(0, "CoreTest", "core", style, CW_USEDEFAULT, CW_USEDEFAULT, w, h,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  std::vector<UINT> kinds() const {
    std::vector<UINT> k;
    for (const MSG& m : g_seen) k.push_back(m.message);
    return k;
  }
};

TEST_F(WindowCore, CaptionedPopUpHasFramesAndStartsAtTopLeft) {
  struct Case {
    DWORD style;
    RECT client;
  };
  const Case cases[] = {
      {WS_POPUP | WS_CAPTION | WS_SYSMENU, {0, 0, 794, 578}},
      {WS_POPUP | WS_BORDER, {0, 0, 798, 598}},
      {WS_POPUP, {0, 0, 800, 600}},
  };
  for (const Case& c : cases) {
    HWND w = make(c.style);
    ASSERT_NE(w, nullptr);
    RECT outer, client;
    ASSERT_TRUE(GetWindowRect(w, &outer));
    ASSERT_TRUE(GetClientRect(w, &client));
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, 800);
    EXPECT_EQ(outer.bottom, 600);
    EXPECT_EQ(client.right, c.client.right) << std::hex << c.style;
    EXPECT_EQ(client.bottom, c.client.bottom) << std::hex << c.style;
    DestroyWindow(w);
  }
}

TEST_F(WindowCore, CreationSendsCreateThenSizeWithTheClientSize) {
  HWND w = make(WS_POPUP | WS_CAPTION | WS_VISIBLE);
  ASSERT_NE(w, nullptr);
  std::vector<UINT> k = kinds();
  auto create = std::find(k.begin(), k.end(), WM_CREATE);
  auto size = std::find(k.begin(), k.end(), WM_SIZE);
  ASSERT_NE(create, k.end());
  ASSERT_NE(size, k.end());
  EXPECT_LT(create - k.begin(), size - k.begin());
  const MSG& s = g_seen[static_cast<size_t>(size - k.begin())];
  EXPECT_EQ(LOWORD(static_cast<uintptr_t>(s.lParam)), 794);
  EXPECT_EQ(HIWORD(static_cast<uintptr_t>(s.lParam)), 578);
  DestroyWindow(w);
}

TEST_F(WindowCore, ADestroyedWindowRefusesEveryLaterCall) {
  HWND w = make(WS_POPUP | WS_VISIBLE);
  ASSERT_NE(w, nullptr);
  g_seen.clear();
  ASSERT_TRUE(DestroyWindow(w));
  EXPECT_EQ(kinds().front(), WM_DESTROY);
  RECT r;
  char text[8];
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_FALSE(GetClientRect(w, &r));
  EXPECT_FALSE(SetWindowTextA(w, "x"));
  EXPECT_EQ(GetWindowTextA(w, text, 8), 0);
  EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0));
  EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 0);
  EXPECT_EQ(GetDC(w), nullptr);
  EXPECT_FALSE(ShowWindow(w, SW_SHOW));
  // A new window never takes the dead one's handle.
  HWND again = make(WS_POPUP);
  EXPECT_NE(again, w);
  DestroyWindow(again);
}

TEST_F(WindowCore, CloseGoesThroughDefWindowProcToDestruction) {
  HWND w = make(WS_POPUP | WS_VISIBLE);
  PostMessageA(w, WM_CLOSE, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  DispatchMessageA(&m);
  EXPECT_FALSE(IsWindow(w));
  std::vector<UINT> k = kinds();
  EXPECT_NE(std::find(k.begin(), k.end(), WM_DESTROY), k.end());
}

TEST_F(WindowCore, PostedMessagesComeBeforePaintAndTimer) {
  HWND w = make(WS_POPUP | WS_VISIBLE);
  ASSERT_NE(w, nullptr);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);  // first paint
  ASSERT_EQ(SetTimer(w, 7, 10, nullptr), 7u);
  Sleep(30);
  InvalidateRect(w, nullptr, FALSE);
  PostMessageA(w, WM_USER + 1, 0, 0);
  PostMessageA(w, WM_USER + 2, 0, 0);
  std::vector<UINT> order;
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    order.push_back(m.message);
    DispatchMessageA(&m);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER}));
  EXPECT_EQ(m.wParam, 7u);
  // Once dispatched, the timer waits for its next period: nothing is left.
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_TRUE(KillTimer(w, 7));
  EXPECT_FALSE(KillTimer(w, 7));
  DestroyWindow(w);
}

TEST_F(WindowCore, PeekWithoutRemoveLeavesTheMessageForGetMessage) {
  HWND w = make(WS_POPUP);
  PostMessageA(w, WM_USER + 5, 11, 22);
  MSG peeked, got;
  ASSERT_TRUE(PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(GetMessageA(&got, nullptr, 0, 0));
  EXPECT_EQ(peeked.message, WM_USER + 5u);
  EXPECT_EQ(got.message, WM_USER + 5u);
  EXPECT_EQ(got.wParam, 11u);
  EXPECT_FALSE(PeekMessageA(&got, nullptr, 0, 0, PM_NOREMOVE));
  PostQuitMessage(3);
  EXPECT_FALSE(GetMessageA(&got, nullptr, 0, 0));
  EXPECT_EQ(got.message, WM_QUIT);
  EXPECT_EQ(got.wParam, 3u);
  DestroyWindow(w);
}

TEST_F(WindowCore, TranslateMessageMakesTheCharacterTheNextMessage) {
  HWND w = make(WS_POPUP);
  PostMessageA(w, WM_USER, 0, 0);
  MSG key{w, WM_KEYDOWN, 'W', 1, 0, {0, 0}};
  EXPECT_TRUE(TranslateMessage(&key));
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_CHAR);
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('w'));
  MSG arrow{w, WM_KEYDOWN, VK_LEFT, 1, 0, {0, 0}};
  EXPECT_FALSE(TranslateMessage(&arrow));
  DestroyWindow(w);
}

TEST_F(WindowCore, ClassesBelongToTheInstanceThatRegisteredThem) {
  WNDCLASSEXA info{};
  EXPECT_FALSE(GetClassInfoExA(nullptr, "CoreTest", &info));
  EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "coretest", &info));
  EXPECT_EQ(info.lpfnWndProc, recording_proc);
  WNDCLASSA again{};
  again.lpfnWndProc = recording_proc;
  again.hInstance = GetModuleHandleA(nullptr);
  again.lpszClassName = "CORETEST";
  EXPECT_EQ(RegisterClassA(&again), 0);  // the name is taken, whatever its case
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
}

TEST_F(WindowCore, CaptureFollowsSetAndRelease) {
  HWND w = make(WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SetCapture(w), nullptr);
  EXPECT_EQ(GetCapture(), w);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(w);
  DestroyWindow(w);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowCore, StatusWindowKeepsItsTextAndParts) {
  HWND w = make(WS_POPUP | WS_CAPTION | WS_VISIBLE);
  HWND bar = CreateStatusWindowA(static_cast<LONG>(WS_CHILD | WS_VISIBLE), "Percorso file", w, 30482);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetParent(bar), w);
  EXPECT_EQ(GetDlgCtrlID(bar), 30482);
  int edges[3] = {100, 250, -1};
  EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
  int back[3] = {};
  EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(back)), 3);
  EXPECT_EQ(back[1], 250);
  char text[64] = {};
  SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Percorso file");
  SendMessageA(bar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("FPS 60"));
  SendMessageA(bar, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "FPS 60");
  // It lies along the bottom of its parent's client area.
  RECT parent, r;
  GetWindowRect(w, &parent);
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.bottom, 600 - 3);
  DestroyWindow(w);
  EXPECT_FALSE(IsWindow(bar));  // children die with their parent
}

TEST_F(WindowCore, GdiHandlesAreCountedAndStaleOnesRefused) {
  const int before = VlmrGdiObjectCount();
  HDC dc = CreateCompatibleDC(nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 10, 10);
  HPALETTE pal = CreateHalftonePalette(dc);
  EXPECT_EQ(VlmrGdiObjectCount(), before + 3);
  EXPECT_TRUE(DeleteObject(rgn));
  EXPECT_FALSE(DeleteObject(rgn));
  EXPECT_FALSE(PtInRegion(rgn, 1, 1));
  EXPECT_TRUE(DeleteObject(pal));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(VlmrGdiObjectCount(), before);
  EXPECT_TRUE(DeleteObject(GetStockObject(NULL_BRUSH)));  // stock objects survive
  EXPECT_NE(GetStockObject(NULL_BRUSH), nullptr);
}

TEST_F(WindowCore, CursorsAndIcons) {
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_NE(LoadCursorA(nullptr, IDC_HELP), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadCursorFromFileA("/nonexistent/velmora.cur"), nullptr);
  EXPECT_EQ(LoadCursorFromFileA(""), nullptr);
}

TEST_F(WindowCore, PropertiesAreKeptPerWindowUntilRemoved) {
  HWND w = make(WS_POPUP);
  int value = 5;
  EXPECT_TRUE(SetPropA(w, "HOVERMODEBYTE", &value));
  EXPECT_EQ(GetPropA(w, "HOVERMODEBYTE"), &value);
  EXPECT_EQ(RemovePropA(w, "HOVERMODEBYTE"), &value);
  EXPECT_EQ(GetPropA(w, "HOVERMODEBYTE"), nullptr);
  DestroyWindow(w);
  EXPECT_FALSE(SetPropA(w, "X", &value));
}

TEST_F(WindowCore, MovableMemoryKeepsItsContentsAcrossGrowth) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, 32);
  ASSERT_NE(g, nullptr);
  auto* p = static_cast<unsigned char*>(GlobalLock(g));
  p[31] = 0xAB;
  GlobalUnlock(g);
  ASSERT_EQ(GlobalReAlloc(g, 4096, GMEM_MOVEABLE), g);
  p = static_cast<unsigned char*>(GlobalLock(g));
  EXPECT_EQ(p[31], 0xAB);
  EXPECT_EQ(p[4095], 0);
  EXPECT_EQ(GlobalSize(g), 4096u);
  GlobalUnlock(g);
  EXPECT_EQ(GlobalFree(g), nullptr);
  EXPECT_EQ(GlobalLock(g), nullptr);
}

}  // namespace
