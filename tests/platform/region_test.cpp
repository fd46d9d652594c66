// Bitmap files as regions and palettes: which pixels a region takes, how the
// transparent range is read, batches of many runs, every file depth alike,
// the palette a file is loaded with, failures, and what is left allocated.
#include "Velmora.h"
#include "bmp_writer.h"
#include "child_process.h"
#include "gl_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace Velmora;
using vlmr_test::Picture;

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kGreen = 0x206020;

class RegionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vlmr_test::use_headless_platform();
    dir_ = vlmr_test::make_temp_dir("velmora-region");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }

  std::string write(const std::string& name, const Picture& p, int bpp,
                    const std::vector<uint32_t>& table = {}, bool top_down = false) {
    const std::string path = dir_ + "/" + name;
    vlmr_test::write_bmp(path, p, bpp, table, top_down);
    return path;
  }

  std::string dir_;
};

// A picture from rows of characters: '#' the opaque colour, '.' magenta.
Picture from_rows(const std::vector<std::string>& rows, uint32_t opaque = kGreen) {
  Picture p{static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
  for (const std::string& r : rows)
    for (char c : r) p.pixels.push_back(c == '#' ? opaque : kMagenta);
  return p;
}

// The region's rectangles, as GetRegionData gives them.
std::vector<RECT> rects_of(HRGN region) {
  DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<unsigned char> block(size);
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  if (GetRegionData(region, size, data) != size) return {};
  const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
  return std::vector<RECT>(r, r + data->rdh.nCount);
}

// Which pixels of a w by h area the region holds, one string per row.
std::vector<std::string> mask_of(HRGN region, int w, int h) {
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += PtInRegion(region, x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST_F(RegionTest, OpaquePixelsMakeTheRegion) {
  const struct {
    const char* name;
    Picture picture;
    COLORREF transparent;
    uint8_t tolerance;
    std::vector<std::string> expected;  // '#' in the region
  } cases[] = {
      {"nothing transparent: every row at full width",
       Picture{5, 3, {1, 2, 3, 4, 5, 0x808080, 0xFFFFFF, 0xFF00FE, 0xFE00FF, 0xFF01FE,
                      0, 0, 0, 0, 0}},
       RGB(255, 0, 255), 1, {"#####", "#####", "#####"}},
      {"top row of the picture is y = 0",
       from_rows({"#...", "....", "...."}), RGB(255, 0, 255), 1, {"#...", "....", "...."}},
      {"runs between transparent pixels",
       from_rows({"##..###.#", ".#######.", "#.#.#.#.#"}), RGB(255, 0, 255), 1,
       {"##..###.#", ".#######.", "#.#.#.#.#"}},
      // Magenta with tolerance 1: red 255, green 0 or 1, blue 255 are cut away.
      {"magenta, tolerance 1",
       Picture{8, 1, {0xFF00FF, 0xFF01FF, 0xFE00FF, 0xFF02FF, 0xFF00FE, 0xFE01FE, 0xFF01FF,
                      0x000000}},
       RGB(255, 0, 255), 1, {"..####.#"}},
      {"magenta, tolerance 0", Picture{3, 1, {0xFF00FF, 0xFF01FF, 0xFE00FF}},
       RGB(255, 0, 255), 0, {".##"}},
      // The range runs only upwards from the colour, each channel on its own.
      {"range upwards from (10, 20, 30) by 5",
       Picture{7, 1, {0x0A141E, 0x0F1923, 0x09141E, 0x10141E, 0x0A131E, 0x0A1424, 0x0C161F}},
       RGB(10, 20, 30), 5, {"..####."}},
      {"range capped at 255", Picture{3, 1, {0xFAFAFA, 0xFFFFFF, 0xF9FAFA}},
       RGB(250, 250, 250), 200, {"..#"}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = write("case" + std::to_string(n++) + ".bmp", c.picture, 24);
    HRGN region = BITMAPTOREGION(file.c_str(), c.transparent, c.tolerance);
    ASSERT_NE(region, nullptr);
    // One pixel past the picture on each side must stay outside.
    std::vector<std::string> wider = c.expected;
    for (auto& row : wider) row += '.';
    wider.push_back(std::string(c.picture.width + 1, '.'));
    EXPECT_EQ(mask_of(region, c.picture.width + 1, c.picture.height + 1), wider);
    DeleteObject(region);
  }
}

TEST_F(RegionTest, FullyTransparentGivesAnEmptyRegion) {
  const std::string file = write("clear.bmp", from_rows({"......", "......"}), 24);
  HRGN region = BITMAPTOREGION(file.c_str(), RGB(255, 0, 255), 1);
  ASSERT_NE(region, nullptr);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(region, &box), NULLREGION);
  EXPECT_TRUE(rects_of(region).empty());
  DeleteObject(region);
}

// A checkerboard: one run per opaque pixel, and rows that differ, so the
// region keeps every pixel as a rectangle of its own. 50 runs per row; 40
// rows fill exactly one batch of 2000.
TEST_F(RegionTest, ManyRunsComeOutWholeAcrossBatches) {
  for (int rows : {39, 40, 41, 80, 81}) {
    SCOPED_TRACE("rows " + std::to_string(rows));
    Picture p{100, rows, {}};
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < 100; ++x) p.pixels.push_back((x + y) % 2 ? kMagenta : kGreen);
    const std::string file = write("checker" + std::to_string(rows) + ".bmp", p, 24);
    HRGN region = BITMAPTOREGION(file.c_str(), RGB(255, 0, 255), 1);
    ASSERT_NE(region, nullptr);
    std::vector<RECT> rects = rects_of(region);
    ASSERT_EQ(rects.size(), static_cast<size_t>(50 * rows));
    for (const RECT& r : rects) {
      EXPECT_EQ(r.right - r.left, 1);
      EXPECT_EQ(r.bottom - r.top, 1);
      EXPECT_EQ((r.left + r.top) % 2, 0) << r.left << "," << r.top;
    }
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, rows);
    DeleteObject(region);
  }
}

// The same two-colour picture at every depth the files come in gives the
// same region. 37 by 23 pixels, so rows end inside a byte and need padding.
TEST_F(RegionTest, EveryFileDepthGivesTheSameRegion) {
  Picture p{37, 23, {}};
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) {
      const int dx = x - 18, dy = y - 11;
      const int d = dx * dx + dy * dy;
      p.pixels.push_back(d <= 100 && d > 9 && x != 30 ? kGreen : kMagenta);
    }
  const std::vector<uint32_t> two = {kMagenta, kGreen};
  std::vector<uint32_t> sixteen(16, 0x101010);
  sixteen[3] = kGreen;
  sixteen[9] = kMagenta;
  std::vector<uint32_t> many(200, 0x404040);
  many[17] = kMagenta;
  many[180] = kGreen;

  const std::string reference_file = write("depth24.bmp", p, 24);
  HRGN reference = BITMAPTOREGION(reference_file.c_str(), RGB(255, 0, 255), 1);
  ASSERT_NE(reference, nullptr);
  ASSERT_GT(rects_of(reference).size(), 20u);

  const struct {
    int bpp;
    const std::vector<uint32_t>* table;
    bool top_down;
  } cases[] = {{1, &two, false},  {4, &sixteen, false}, {8, &many, false},
               {16, nullptr, false}, {32, nullptr, false}, {24, nullptr, true},
               {8, &many, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.bpp) + (c.top_down ? " bits, top-down" : " bits"));
    const std::string file = write("depth" + std::to_string(c.bpp) + (c.top_down ? "td" : "") +
                                       ".bmp",
                                   p, c.bpp, c.table ? *c.table : std::vector<uint32_t>{},
                                   c.top_down);
    HRGN region = BITMAPTOREGION(file.c_str(), RGB(255, 0, 255), 1);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(EqualRgn(region, reference));
    std::vector<RECT> got = rects_of(region), want = rects_of(reference);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].left, want[i].left);
      EXPECT_EQ(got[i].top, want[i].top);
      EXPECT_EQ(got[i].right, want[i].right);
      EXPECT_EQ(got[i].bottom, want[i].bottom);
    }
    DeleteObject(region);
  }
  DeleteObject(reference);
}

// Files of at most 8 bits get a 256-entry palette of their colour table
// followed by black; deeper files get the halftone palette of the screen.
TEST_F(RegionTest, LoadedBitmapsComeWithTheirPalette) {
  std::vector<uint32_t> sixteen;
  for (uint32_t i = 0; i < 16; ++i) sixteen.push_back(0x0A0000 * (i + 1) + 0x000307 * i + 0x40);
  std::vector<uint32_t> twenty;
  for (uint32_t i = 0; i < 20; ++i) twenty.push_back(0x00FF00 - 0x000C00 * i + i);
  const std::vector<uint32_t> two = {0xFFFFFF, 0x123456};
  Picture p{3, 2, {}};
  auto colours_from = [&](const std::vector<uint32_t>& t) {
    Picture q = p;
    for (size_t i = 0; i < 6; ++i) q.pixels.push_back(t[i % t.size()]);
    return q;
  };

  std::vector<PALETTEENTRY> halftone(256);
  HDC screen = GetDC(nullptr);
  HPALETTE ht = CreateHalftonePalette(screen);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(GetPaletteEntries(ht, 0, 256, halftone.data()), 256u);
  DeleteObject(ht);

  const struct {
    int bpp;
    std::vector<uint32_t> table;  // empty: a true-colour file
  } cases[] = {{1, two}, {4, sixteen}, {8, twenty}, {24, {}}, {32, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.bpp) + " bits");
    const std::string file =
        write("pal" + std::to_string(c.bpp) + ".bmp",
              c.table.empty() ? colours_from({0x102030, 0xFF00FF}) : colours_from(c.table), c.bpp,
              c.table);
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LOADBMPFROMFILE(file.c_str(), palette);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(palette, nullptr);
    BITMAP description{};
    ASSERT_NE(GetObjectA(bitmap, sizeof description, &description), 0);
    EXPECT_EQ(description.bmWidth, 3);
    EXPECT_EQ(description.bmHeight, 2);
    EXPECT_EQ(description.bmBitsPixel, c.bpp);

    std::vector<PALETTEENTRY> entries(300);
    ASSERT_EQ(GetPaletteEntries(palette, 0, 300, entries.data()), 256u);
    for (size_t i = 0; i < 256; ++i) {
      PALETTEENTRY want = halftone[i];
      if (!c.table.empty()) {
        const uint32_t rgb = i < c.table.size() ? c.table[i] : 0;
        want = PALETTEENTRY{static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8),
                            static_cast<BYTE>(rgb), 0};
      }
      EXPECT_EQ(entries[i].peRed, want.peRed) << "entry " << i;
      EXPECT_EQ(entries[i].peGreen, want.peGreen) << "entry " << i;
      EXPECT_EQ(entries[i].peBlue, want.peBlue) << "entry " << i;
      EXPECT_EQ(entries[i].peFlags, 0) << "entry " << i;
    }
    DeleteObject(palette);
    DeleteObject(bitmap);
  }
}

TEST_F(RegionTest, UnloadableFilesGiveNothingAndKeepThePalette) {
  const std::string garbage = dir_ + "/garbage.bmp";
  ASSERT_TRUE(vlmr_test::write_file(garbage, "BM this is not a bitmap"));
  const std::string missing = dir_ + "/missing.bmp";
  for (const std::string& file : {garbage, missing}) {
    SCOPED_TRACE(file);
    const int before = VlmrGdiObjectCount();
    HDC screen = GetDC(nullptr);
    HPALETTE kept = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
    HPALETTE palette = kept;
    EXPECT_EQ(LOADBMPFROMFILE(file.c_str(), palette), nullptr);
    EXPECT_EQ(palette, kept);
    EXPECT_EQ(BITMAPTOREGION(file.c_str(), RGB(255, 0, 255), 1), nullptr);
    DeleteObject(kept);
    EXPECT_EQ(VlmrGdiObjectCount(), before);
  }
}

// Everything made on the way is deleted: only the returned handles remain.
TEST_F(RegionTest, OnlyTheReturnedObjectsRemain) {
  const std::string indexed =
      write("left4.bmp", from_rows({"#..#", ".##."}), 4, {kMagenta, kGreen});
  const std::string deep = write("left24.bmp", from_rows({"#..#", ".##."}), 24);
  for (const std::string& file : {indexed, deep}) {
    SCOPED_TRACE(file);
    const int before = VlmrGdiObjectCount();
    HRGN region = BITMAPTOREGION(file.c_str(), RGB(255, 0, 255), 1);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(VlmrGdiObjectCount(), before + 1);
    DeleteObject(region);

    HPALETTE palette = nullptr;
    HBITMAP bitmap = LOADBMPFROMFILE(file.c_str(), palette);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(VlmrGdiObjectCount(), before + 2);
    DeleteObject(palette);
    DeleteObject(bitmap);
    EXPECT_EQ(VlmrGdiObjectCount(), before);
  }
}

}  // namespace
