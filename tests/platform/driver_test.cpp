// The driving script: how its lines are read, the key names, the key messages
// they post, the PNG files screenshots are written as, and whole runs of a
// small program driven by VELMORA_SCRIPT, VELMORA_FRAMES and VELMORA_SCREENSHOT.
#include "gl_window.h"
#include "png_read.h"
#include "script.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vlmr {

// Readable failures: an action as the line it was read from would say it.
void PrintTo(const ScriptAction& a, std::ostream* os) {
  *os << "{frame " << a.frame << " line " << a.line << " verb " << static_cast<int>(a.verb)
      << " key " << a.key << " button " << static_cast<int>(a.button) << " (" << a.x << ","
      << a.y << ")-(" << a.x2 << "," << a.y2 << ") steps " << a.steps << " path '" << a.path
      << "'}";
}

namespace {

std::optional<std::vector<ScriptAction>> parse(const std::string& text, std::string& error) {
  std::istringstream in(text);
  return parse_script(in, "run.txt", error);
}

ScriptAction action(long frame, ScriptVerb verb) {
  ScriptAction a;
  a.frame = frame;
  a.line = 1;
  a.verb = verb;
  return a;
}

ScriptAction key(long frame, ScriptVerb verb, int vk) {
  ScriptAction a = action(frame, verb);
  a.key = vk;
  return a;
}

ScriptAction mouse(long frame, ScriptVerb verb, MouseButton b, int x, int y) {
  ScriptAction a = action(frame, verb);
  a.button = b;
  a.x = x;
  a.y = y;
  return a;
}

ScriptAction drag(long frame, MouseButton b, int x, int y, int x2, int y2, int steps) {
  ScriptAction a = mouse(frame, ScriptVerb::Drag, b, x, y);
  a.x2 = x2;
  a.y2 = y2;
  a.steps = steps;
  return a;
}

ScriptAction screenshot(long frame, const std::string& path) {
  ScriptAction a = action(frame, ScriptVerb::Screenshot);
  a.path = path;
  return a;
}

TEST(DriverScript, GoodLinesBecomeTheirActions) {
  const MouseButton L = MouseButton::Left, R = MouseButton::Right, M = MouseButton::Middle;
  const struct {
    const char* line;
    ScriptAction expected;
  } cases[] = {
      {"10 key down W", key(10, ScriptVerb::KeyDown, 'W')},
      {"40 key up w", key(40, ScriptVerb::KeyUp, 'W')},
      {"3 KEY DOWN escape", key(3, ScriptVerb::KeyDown, VK_ESCAPE)},
      {"\t7   key  down   Alt  ", key(7, ScriptVerb::KeyDown, VK_MENU)},
      {"1 key up 65", key(1, ScriptVerb::KeyUp, 65)},
      {"50 mouse down left 400 300", mouse(50, ScriptVerb::MouseDown, L, 400, 300)},
      {"52 mouse up Right 410 320", mouse(52, ScriptVerb::MouseUp, R, 410, 320)},
      {"52 mouse down middle 0 0", mouse(52, ScriptVerb::MouseDown, M, 0, 0)},
      // A captured pointer reports points outside the window.
      {"51 mouse move -20 5000", mouse(51, ScriptVerb::MouseMove, L, -20, 5000)},
      {"5 drag right 10 20 110 70", drag(5, R, 10, 20, 110, 70, 1)},
      {"5 drag left 10 20 110 70 8", drag(5, L, 10, 20, 110, 70, 8)},
      {"60 screenshot shot.png", screenshot(60, "shot.png")},
      {"60 screenshot out dir/my shot.png  ", screenshot(60, "out dir/my shot.png")},
      {"61 close", action(61, ScriptVerb::Close)},
      {"9 resize 640 480", mouse(9, ScriptVerb::Resize, L, 640, 480)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::string error;
    auto actions = parse(c.line, error);
    ASSERT_TRUE(actions.has_value()) << error;
    ASSERT_EQ(actions->size(), 1u);
    EXPECT_EQ(actions->front(), c.expected);
  }
}

TEST(DriverScript, BadLinesNameFileLineAndFault) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"x key down W", "run.txt:2: 'x' is not a frame number (1 or more)"},
      {"0 close", "run.txt:2: '0' is not a frame number (1 or more)"},
      {"-3 close", "run.txt:2: '-3' is not a frame number (1 or more)"},
      {"12", "run.txt:2: missing action after the frame number"},
      {"12 jump", "run.txt:2: unknown action 'jump'"},
      {"12 key", "run.txt:2: missing 'down' or 'up' after 'key'"},
      {"12 key press A", "run.txt:2: expected 'down' or 'up' after 'key', not 'press'"},
      {"12 key down", "run.txt:2: missing key name"},
      {"12 key down Hyper", "run.txt:2: 'Hyper' is not a key name"},
      {"12 key down F13", "run.txt:2: 'F13' is not a key name"},
      {"12 key down 999", "run.txt:2: '999' is not a key name"},
      {"12 key down A B", "run.txt:2: unexpected 'B' at the end of the line"},
      {"12 mouse click left 1 2",
       "run.txt:2: expected 'down', 'up' or 'move' after 'mouse', not 'click'"},
      {"12 mouse down", "run.txt:2: missing mouse button (left, right or middle)"},
      {"12 mouse down up 1 2", "run.txt:2: 'up' is not a mouse button (left, right or middle)"},
      {"12 mouse down left 400", "run.txt:2: missing y"},
      {"12 mouse move 4x0 300", "run.txt:2: x: '4x0' is not a number"},
      {"12 mouse move 1 2 3", "run.txt:2: unexpected '3' at the end of the line"},
      {"12 mouse move 99999999999 1", "run.txt:2: x: '99999999999' is not a number"},
      {"12 drag left 1 2 3", "run.txt:2: missing y2"},
      {"12 drag left 1 2 3 4 0", "run.txt:2: steps must be 1 or more"},
      {"12 drag left 1 2 3 4 5 6", "run.txt:2: unexpected '6' at the end of the line"},
      {"12 screenshot", "run.txt:2: missing file name after 'screenshot'"},
      {"12 close now", "run.txt:2: unexpected 'now' at the end of the line"},
      {"12 resize 640", "run.txt:2: missing height"},
      {"12 resize 0 480", "run.txt:2: width and height must be 1 or more"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::string error;
    // A good first line, so the error must name the second.
    auto actions = parse(std::string("1 close\n") + c.line + "\n3 close\n", error);
    EXPECT_FALSE(actions.has_value());
    EXPECT_EQ(error, c.error);
  }
}

TEST(DriverScript, SkipsCommentsAndBlanksAndPlaysInFrameOrder) {
  std::string error;
  auto actions = parse(
      "# a comment\n"
      "\n"
      "20 key down A\n"
      "   # an indented comment\n"
      "10 key down B\r\n"
      "20 key up A\n"
      "   \t \n"
      "10 key up B",
      error);
  ASSERT_TRUE(actions.has_value()) << error;
  std::vector<std::pair<long, int>> frame_line;
  for (const ScriptAction& a : *actions) frame_line.emplace_back(a.frame, a.line);
  // Frame order; within a frame, file order.
  EXPECT_EQ(frame_line, (std::vector<std::pair<long, int>>{{10, 5}, {10, 8}, {20, 3}, {20, 6}}));

  EXPECT_TRUE(parse("", error).value().empty());
  EXPECT_TRUE(parse("# nothing\n\n", error).value().empty());
}

TEST(DriverKeys, NamesGiveVirtualKeyCodes) {
  const struct {
    const char* name;
    int code;
  } cases[] = {
      {"A", 'A'},          {"z", 'Z'},           {"0", '0'},           {"9", '9'},
      {"Escape", VK_ESCAPE}, {"Return", VK_RETURN}, {"ENTER", VK_RETURN}, {"space", VK_SPACE},
      {"Tab", VK_TAB},     {"Backspace", VK_BACK}, {"Left", VK_LEFT},   {"right", VK_RIGHT},
      {"Up", VK_UP},       {"Down", VK_DOWN},    {"F1", VK_F1},        {"f12", VK_F12},
      {"F10", VK_F1 + 9},  {"Shift", VK_SHIFT},  {"Control", VK_CONTROL}, {"ctrl", VK_CONTROL},
      {"Alt", VK_MENU},    {"Insert", VK_INSERT}, {"Delete", VK_DELETE}, {"Home", VK_HOME},
      {"End", VK_END},     {"PageUp", VK_PRIOR}, {"pagedown", VK_NEXT}, {"65", 65},
      {"08", VK_BACK},     {"254", 254},
      // Not keys.
      {"", -1},            {"F0", -1},           {"F13", -1},          {"F01", -1},
      {"Fx", -1},          {"00", -1},           {"255", -1},
      {"-5", -1},          {"+", -1},            {"Esc ", -1},         {"Windows", -1},
      {"PageUpp", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(key_code(c.name), c.code) << "'" << c.name << "'";
}

TEST(DriverKeys, KeyMessagesCarryWin32Flags) {
  const struct {
    int vk;
    bool down, was_down, alt_held;
    UINT message;
    uint32_t lparam;
  } cases[] = {
      // Repeat count 1 and the scan code; a release sets the previous-state
      // and transition bits.
      {'W', true, false, false, WM_KEYDOWN, 0x00110001},
      {'W', false, true, false, WM_KEYUP, 0xC0110001},
      {'1', true, false, false, WM_KEYDOWN, 0x00020001},
      // A press of a key already down is an auto-repeat.
      {VK_SPACE, true, true, false, WM_KEYDOWN, 0x40390001},
      // Navigation keys are extended keys.
      {VK_LEFT, true, false, false, WM_KEYDOWN, 0x014B0001},
      {VK_DELETE, false, true, false, WM_KEYUP, 0xC1530001},
      {VK_F12, true, false, false, WM_KEYDOWN, 0x00580001},
      // Alt is a system key, with the context bit while it is down.
      {VK_MENU, true, false, false, WM_SYSKEYDOWN, 0x20380001},
      {VK_MENU, false, true, false, WM_SYSKEYUP, 0xC0380001},
      {VK_F1 + 3, true, false, true, WM_SYSKEYDOWN, 0x203E0001},
      {VK_F1 + 3, false, true, true, WM_SYSKEYUP, 0xE03E0001},
      // A key given by number has no known scan code.
      {200, true, false, false, WM_KEYDOWN, 0x00000001},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "vk " << c.vk << (c.down ? " down" : " up"));
    const KeyMessage m = key_message(c.vk, c.down, c.was_down, c.alt_held);
    EXPECT_EQ(m.message, c.message);
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(c.vk));
    EXPECT_EQ(static_cast<uint64_t>(m.lParam), c.lparam);
  }
}

class PngFile : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove(path_); }
  std::string path_ = (std::filesystem::temp_directory_path() /
                       ("vlmr_png_" + std::to_string(getpid()) + ".png")).string();
};

TEST_F(PngFile, WrittenPixelsReadBackTopRowFirst) {
  // 3 x 2, every pixel different, alpha included.
  const std::vector<uint8_t> rgba = {
      255, 0,   0,   255, 0,   255, 0,   128, 0,  0,  255, 0,
      10,  20,  30,  40,  250, 240, 230, 220, 1,  2,  3,   255,
  };
  ASSERT_TRUE(VlmrWritePng(path_.c_str(), rgba.data(), 3, 2));
  auto image = test::read_png(path_);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(image->height, 2);
  EXPECT_TRUE(image->has_alpha);
  EXPECT_EQ(image->rgba, rgba);
}

TEST_F(PngFile, RefusesWhatItCannotWrite) {
  const uint8_t pixel[4] = {1, 2, 3, 4};
  EXPECT_FALSE(VlmrWritePng("/nonexistent-dir/x.png", pixel, 1, 1));
  EXPECT_FALSE(VlmrWritePng(path_.c_str(), nullptr, 1, 1));
  EXPECT_FALSE(VlmrWritePng(path_.c_str(), pixel, 0, 1));
  EXPECT_FALSE(VlmrWritePng(path_.c_str(), pixel, 1, -1));
  EXPECT_FALSE(VlmrWritePng(nullptr, pixel, 1, 1));
  EXPECT_FALSE(std::filesystem::exists(path_));
}

// ------------------------------------------------------------ whole runs

namespace fs = std::filesystem;

std::string g_log;  // what the driven program saw, one line per message

void log_line(const char* format, ...) __attribute__((format(printf, 1, 2)));
void log_line(const char* format, ...) {
  char line[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  g_log += line;
  g_log += '\n';
}

// The input messages, with the number of frames drawn when each arrives and,
// for mouse messages, the pointer position it was posted with.
void log_input(const MSG& m) {
  const long frame = VlmrFrameCount();
  const auto lparam = static_cast<uint32_t>(m.lParam);
  if (m.message >= WM_KEYDOWN && m.message <= WM_SYSKEYUP && m.message != WM_CHAR) {
    log_line("%ld key %04x %02x %08x", frame, m.message, static_cast<unsigned>(m.wParam), lparam);
  } else if (m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONUP) {
    POINT pt = m.pt;
    ScreenToClient(m.hwnd, &pt);
    log_line("%ld mouse %04x %x %d %d pt %d %d", frame, m.message,
             static_cast<unsigned>(m.wParam), static_cast<short>(LOWORD(lparam)),
             static_cast<short>(HIWORD(lparam)), static_cast<int>(pt.x), static_cast<int>(pt.y));
  } else if (m.message == WM_CLOSE) {
    log_line("%ld close", frame);
  }
}

LRESULT run_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (VlmrFrameCount() > 0) {
        log_line("%ld size %d %d", VlmrFrameCount(), LOWORD(lParam), HIWORD(lParam));
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Frame n is cleared to its own colour, so a picture tells which frame it shows.
uint32_t frame_colour(long n) { return 0xFF000000u | uint32_t((n * 40) % 256) | (200u << 8); }

[[noreturn]] void finish(const fs::path& log, int code) {
  std::ofstream(log) << g_log;
  std::exit(code);
}

// Runs as a program does: takes and dispatches its messages, draws the next
// frame, presents it; until it quits (exit 0) or has drawn max_frames (exit 3).
// The client area of its 200 by 150 window is 194 by 128.
[[noreturn]] void run_program(const fs::path& log, long max_frames) {
  vlmr_test::GlWindow window(run_proc, 200, 150, "VlmrDriverRun");
  if (!window.ok()) std::exit(4);
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) finish(log, 0);
      log_input(m);
      DispatchMessageA(&m);
    }
    if (VlmrFrameCount() >= max_frames) finish(log, 3);
    const uint32_t c = frame_colour(VlmrFrameCount() + 1);
    glClearColor((c & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, ((c >> 16) & 0xFF) / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(window.dc);
  }
}

// Every pixel of the picture is the colour frame n was cleared to.
void expect_frame_picture(const fs::path& file, long n, int width, int height) {
  SCOPED_TRACE(file.string());
  auto image = test::read_png(file.string());
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, width);
  ASSERT_EQ(image->height, height);
  const uint32_t want = frame_colour(n);
  size_t wrong = 0;
  for (size_t i = 0; i < image->rgba.size(); i += 4) {
    uint32_t got;
    std::memcpy(&got, &image->rgba[i], 4);
    wrong += got != want;
  }
  EXPECT_EQ(wrong, 0u) << "pixels not in frame " << n << "'s colour";
}

// The driver reads its environment once per process, so each run is a fresh
// process: a death-test child, which re-runs the test up to the statement it
// runs. It finds this test's files through the environment it inherits.
class DriverRun : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (const char* d = std::getenv("VLMR_DRIVER_RUN_DIR")) {
      dir_ = d;
    } else {
      dir_ = fs::temp_directory_path() / ("vlmr_driver_" + std::to_string(getpid()));
      setenv("VLMR_DRIVER_RUN_DIR", dir_.c_str(), 1);
    }
    fs::create_directories(dir_);
  }
  void TearDown() override {
    for (const char* v : {"VLMR_DRIVER_RUN_DIR", "VELMORA_SCRIPT", "VELMORA_FRAMES",
                          "VELMORA_SCREENSHOT"}) {
      unsetenv(v);
    }
    fs::remove_all(dir_);
  }
  fs::path file(const std::string& name) const { return dir_ / name; }
  std::string write(const std::string& name, const std::string& text) const {
    std::ofstream(file(name)) << text;
    return file(name).string();
  }
  std::string log() const {
    std::ifstream in(file("log.txt"));
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path dir_;
};

TEST_F(DriverRun, ScriptPostsInputAfterItsFrame) {
  setenv("VELMORA_SCRIPT",
         write("run.txt",
               "# shift held across a key and two mouse presses\n"
               "1 key down Shift\n"
               "1 key down a\n"
               "2 key up a\n"
               "2 mouse down left 10 20\n"
               "3 mouse move -5 300\n"
               "3 mouse up left 50 60\n"
               "4 screenshot " + file("four.png").string() + "\n"
               "4 drag right 0 0 30 60 3\n"
               "4 resize 300 200\n"
               "5 screenshot " + file("five.png").string() + "\n"
               "5 key up shift\n"
               "6 close\n").c_str(),
         1);
  EXPECT_EXIT(run_program(file("log.txt"), 20), ::testing::ExitedWithCode(0),
              "screenshot written to .*four\\.png.*screenshot written to .*five\\.png");
  EXPECT_EQ(log(),
            "1 key 0100 10 002a0001\n"
            "1 key 0100 41 001e0001\n"
            "2 key 0101 41 c01e0001\n"
            "2 mouse 0201 5 10 20 pt 10 20\n"
            "3 mouse 0200 5 -5 300 pt -5 300\n"
            "3 mouse 0202 4 50 60 pt 50 60\n"
            // The resize is sent at once; the drag's messages wait in the queue.
            "4 size 294 178\n"
            "4 mouse 0204 6 0 0 pt 0 0\n"
            "4 mouse 0200 6 10 20 pt 10 20\n"
            "4 mouse 0200 6 20 40 pt 20 40\n"
            "4 mouse 0200 6 30 60 pt 30 60\n"
            "4 mouse 0205 4 30 60 pt 30 60\n"
            "5 key 0101 10 c02a0001\n"
            "6 close\n");
  expect_frame_picture(file("four.png"), 4, 194, 128);
  expect_frame_picture(file("five.png"), 5, 294, 178);
}

TEST_F(DriverRun, FrameLimitClosesTheWindowAndItsLastFrameIsWritten) {
  setenv("VELMORA_FRAMES", "3", 1);
  setenv("VELMORA_SCREENSHOT", file("last.png").c_str(), 1);
  EXPECT_EXIT(run_program(file("log.txt"), 20), ::testing::ExitedWithCode(0),
              "screenshot written to .*last\\.png");
  EXPECT_EQ(log(), "3 close\n");
  expect_frame_picture(file("last.png"), 3, 194, 128);
}

TEST_F(DriverRun, BadSettingsStopTheProgramAtItsFirstFrame) {
  const struct {
    const char* variable;
    std::string value;
    const char* message;
  } cases[] = {
      {"VELMORA_SCRIPT", write("bad.txt", "1 close\n\n2 key down Hyper\n"),
       "VELMORA_SCRIPT: .*bad\\.txt:3: 'Hyper' is not a key name"},
      {"VELMORA_SCRIPT", file("missing.txt").string(),
       "VELMORA_SCRIPT: .*missing\\.txt: cannot open"},
      {"VELMORA_FRAMES", "soon", "VELMORA_FRAMES: 'soon' is not a frame count"},
  };
  for (const auto& c : cases) {
    setenv(c.variable, c.value.c_str(), 1);
    EXPECT_EXIT(run_program(file("log.txt"), 20), ::testing::ExitedWithCode(2), c.message);
    unsetenv(c.variable);
  }
}

}  // namespace
}  // namespace vlmr
