// The platform's .bmp decoder against the conformance corpus and a few
// hand-made files.
#include "bmp_decode.h"
#include "png_read.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vlmr::bmp::decode;
using vlmr::bmp::decode_file;
using vlmr::bmp::to_argb32;

const std::string kCorpus = VLMR_SOURCE_DIR "/../shared/bmpsuite/";

// Decodes `bmp` and compares it with the reference PNG: RGB exactly wherever
// the reference pixel is not fully transparent, alpha wherever the reference
// has an alpha channel.
testing::AssertionResult looks_like(const std::string& bmp, const std::string& png) {
  const auto img = decode_file((kCorpus + bmp).c_str());
  if (!img) return testing::AssertionFailure() << bmp << " was refused";
  const auto ref = vlmr::test::read_png(kCorpus + "reference/" + png);
  if (!ref) return testing::AssertionFailure() << "cannot read reference " << png;
  if (img->width != ref->width || img->height != ref->height) {
    return testing::AssertionFailure() << "size " << img->width << "x" << img->height
                                       << ", reference " << ref->width << "x" << ref->height;
  }
  const auto argb = to_argb32(*img);
  if (argb.size() != size_t(img->width) * size_t(img->height)) {
    return testing::AssertionFailure() << "to_argb32 gave " << argb.size() << " pixels";
  }
  for (size_t i = 0; i < argb.size(); ++i) {
    const uint8_t* want = &ref->rgba[i * 4];
    const uint32_t got = argb[i];
    const bool rgb_ok = want[3] == 0 || (((got >> 16) & 0xFF) == want[0] &&
                                         ((got >> 8) & 0xFF) == want[1] && (got & 0xFF) == want[2]);
    const bool alpha_ok = !ref->has_alpha || (got >> 24) == want[3];
    if (!rgb_ok || !alpha_ok) {
      char want_text[16];
      std::snprintf(want_text, sizeof want_text, "%02x%02x%02x%02x", want[3], want[0], want[1],
                    want[2]);
      return testing::AssertionFailure()
             << "pixel (" << i % size_t(img->width) << "," << i / size_t(img->width)
             << ") is " << std::hex << got << ", reference " << want_text;
    }
  }
  return testing::AssertionSuccess();
}

std::string test_name(std::string name) {
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
  return name;
}

// Every file in g/. Most have a reference of the same name; these show the
// same picture as another file's reference.
std::vector<std::string> good_files() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(kCorpus + "g", ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string reference_for(const std::string& bmp) {
  static const std::map<std::string, std::string> shared = {
      {"pal1wb", "pal1"},       {"pal4rle", "pal4"},       {"pal8-0", "pal8"},
      {"pal8nonsquare", "pal8nonsquare-e"},                {"pal8os2", "pal8"},
      {"pal8rle", "pal8"},      {"pal8topdown", "pal8"},   {"pal8v4", "pal8"},
      {"pal8v5", "pal8"},       {"rgb16-565pal", "rgb16-565"},
      {"rgb16bfdef", "rgb16"},  {"rgb24pal", "rgb24"},     {"rgb32", "rgb24"},
      {"rgb32bf", "rgb24"},     {"rgb32bfdef", "rgb24"},
  };
  const std::string stem = fs::path(bmp).stem().string();
  const auto it = shared.find(stem);
  return (it != shared.end() ? it->second : stem) + ".png";
}

class GoodCorpus : public testing::TestWithParam<std::string> {};

TEST_P(GoodCorpus, MatchesReference) {
  EXPECT_TRUE(looks_like("g/" + GetParam(), reference_for(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(BmpDecode, GoodCorpus, testing::ValuesIn(good_files()),
                         [](const auto& info) { return test_name(info.param); });

// Unusual files we choose to decode, and what they must look like.
struct Supported {
  const char* bmp;
  const char* png;
};

const Supported kQuestionable[] = {
    {"pal1p1.bmp", "pal1p1.png"},            // index 1 past a 1-entry table: entry 0
    {"pal4rlecut.bmp", "pal4rlecut-0.png"},  // stream ends early: rest is index 0
    {"pal4rletrns.bmp", "pal4rletrns-0.png"},// deltas skip pixels: index 0
    {"pal8rlecut.bmp", "pal8rlecut-0.png"},
    {"pal8rletrns.bmp", "pal8rletrns-0.png"},
    {"pal8offs.bmp", "pal8.png"},            // gap between table and pixels
    {"pal8os2-hs.bmp", "pal8.png"},
    {"pal8os2sp.bmp", "pal8.png"},           // short table in a core header
    {"pal8os2v2.bmp", "pal8.png"},
    {"pal8oversizepal.bmp", "pal8.png"},     // 300 entries declared for 8 bits
    {"rgb16-231.bmp", "rgb16-231.png"},      // odd channel widths, scaled up
    {"rgb16-3103.bmp", "rgb16-3103.png"},
    {"rgb16faketrns.bmp", "rgb16.png"},      // spare bit is not alpha in BI_RGB
    {"rgb24largepal.bmp", "rgb24.png"},
    {"rgb32-7187.bmp", "rgb32-7187.png"},
    {"rgb32fakealpha.bmp", "rgb24.png"},
    {"rgb32h52.bmp", "rgb24.png"},
    {"rgba16-1924.bmp", "rgba16-1924.png"},
    {"rgba16-4444.bmp", "rgba16-4444.png"},
    {"rgba16-5551.bmp", "rgba16-5551.png"},
    {"rgba32-1.bmp", "rgba32.png"},
    {"rgba32-2.bmp", "rgba32.png"},
    {"rgba32-1010102.bmp", "rgba32-1010102.png"},
    {"rgba32-61754.bmp", "rgba32-61754.png"},
    {"rgba32-81284.bmp", "rgba32-81284.png"},
    {"rgba32abf.bmp", "rgba32.png"},
    {"rgba32h56.bmp", "rgba32.png"},
};

class QuestionableCorpus : public testing::TestWithParam<Supported> {};

TEST_P(QuestionableCorpus, MatchesReference) {
  EXPECT_TRUE(looks_like(std::string("q/") + GetParam().bmp, GetParam().png));
}

INSTANTIATE_TEST_SUITE_P(BmpDecode, QuestionableCorpus, testing::ValuesIn(kQuestionable),
                         [](const auto& info) { return test_name(info.param.bmp); });

TEST(BmpDecode, RefusesWhatItCannotDecode) {
  const char* const refused[] = {
      "b/badbitcount.bmp",   "b/badheadersize.bmp", "b/badplanes.bmp",
      "b/badwidth.bmp",      "b/reallybig.bmp",     "b/rletopdown.bmp",
      "b/shortfile.bmp",     "q/pal1huffmsb.bmp",   "q/pal2.bmp",
      "q/pal8os2v2-16.bmp",  "q/rgb24jpeg.bmp",     "q/rgb24png.bmp",
      "q/rgb24rle24.bmp",    "q/rgba64.bmp",
  };
  for (const char* name : refused) {
    ASSERT_TRUE(fs::exists(kCorpus + name)) << name;
    EXPECT_FALSE(decode_file((kCorpus + name).c_str())) << name;
  }
}

// A file with a 40-byte info header, its colour table and pixel bytes.
std::vector<uint8_t> make_bmp(int32_t width, int32_t height, uint16_t bpp, uint32_t compression,
                              const std::vector<uint32_t>& palette,
                              const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> f;
  auto u16 = [&](uint32_t v) {
    f.push_back(uint8_t(v));
    f.push_back(uint8_t(v >> 8));
  };
  auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  const uint32_t offset = uint32_t(14 + 40 + 4 * palette.size());
  f.push_back('B');
  f.push_back('M');
  u32(offset + uint32_t(pixels.size()));
  u32(0);
  u32(offset);
  u32(40);
  u32(uint32_t(width));
  u32(uint32_t(height));
  u16(1);
  u16(bpp);
  u32(compression);
  u32(uint32_t(pixels.size()));
  u32(2835);
  u32(2835);
  u32(uint32_t(palette.size()));
  u32(0);
  for (uint32_t c : palette) u32(c);
  f.insert(f.end(), pixels.begin(), pixels.end());
  return f;
}

// 3x2, 24-bit: 9 bytes of pixels and 3 of padding a row. Padding bytes are
// non-zero so a reader that mistakes them for pixels shows it.
const std::vector<uint8_t> kRowBottom = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                                         0x07, 0x08, 0x09, 0xEE, 0xEE, 0xEE};
const std::vector<uint8_t> kRowTop = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60,
                                      0x70, 0x80, 0x90, 0xDD, 0xDD, 0xDD};
const std::vector<uint32_t> kPicture = {0xFF302010, 0xFF605040, 0xFF908070,   // top row
                                        0xFF030201, 0xFF060504, 0xFF090807};

std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(BmpDecode, Rgb24KeepsPaddedRowsInFileOrder) {
  struct Case {
    int32_t height;
    std::vector<uint8_t> rows;
  };
  const Case cases[] = {
      {2, concat(kRowBottom, kRowTop)},   // bottom-up: last row of the picture first
      {-2, concat(kRowTop, kRowBottom)},  // top-down
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    const auto file = make_bmp(3, c.height, 24, 0, {}, c.rows);
    const auto img = decode(file.data(), file.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width, 3);
    EXPECT_EQ(img->height, 2);
    EXPECT_EQ(img->top_down, c.height < 0);
    EXPECT_EQ(img->bits_per_pixel, 24);
    EXPECT_EQ(img->stride, 12);
    EXPECT_EQ(img->bits, c.rows);
    EXPECT_TRUE(img->palette.empty());
    EXPECT_EQ(to_argb32(*img), kPicture);
  }
}

TEST(BmpDecode, RefusesTruncatedFiles) {
  const auto file = make_bmp(3, 2, 8, 0, {0x000000, 0xFFFFFF},
                             {0, 1, 0, 0, 1, 0, 1, 0});
  ASSERT_TRUE(decode(file.data(), file.size()));
  const size_t cuts[] = {file.size() - 1,  // last pixel byte missing
                         14 + 40 + 4,      // colour table cut short
                         14 + 20,          // inside the info header
                         10};              // inside the file header
  for (size_t size : cuts) {
    const std::vector<uint8_t> cut(file.begin(), file.begin() + ptrdiff_t(size));
    EXPECT_FALSE(decode(cut.data(), cut.size())) << "cut at " << size;
  }
}

// Limits the rest of this process to `headroom` more bytes of address space.
void limit_address_space(size_t headroom) {
  size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  rlimit lim{};
  lim.rlim_cur = lim.rlim_max = pages * size_t(sysconf(_SC_PAGESIZE)) + headroom;
  setrlimit(RLIMIT_AS, &lim);
}

TEST(BmpDecode, RefusesEnormousSizesWithoutAllocating) {
  struct Case {
    const char* what;
    int32_t width, height;
    uint16_t bpp;
    uint32_t compression;
  };
  const Case cases[] = {
      {"pixels the file cannot hold", 16000, 16000, 24, 0},
      {"RLE far beyond its data", 16384, 16384, 8, 1},
      {"too many pixels", INT32_MAX, 1, 1, 0},
      {"product wraps in 32 bits", 65536, 65536, 32, 0},
      {"most negative height", 1, INT32_MIN, 24, 0},
  };
  const std::vector<uint8_t> some_pixels(64, 0x11);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint32_t> palette;
    if (c.bpp <= 8) palette.assign(size_t{1} << c.bpp, 0x808080);
    const auto file = make_bmp(c.width, c.height, c.bpp, c.compression, palette, some_pixels);
    // In a child with 64 MiB to spare: allocating first and checking later
    // would die of bad_alloc instead of exiting cleanly.
    EXPECT_EXIT(
        {
          limit_address_space(size_t{64} << 20);
          std::exit(decode(file.data(), file.size()) ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
  }
}

}  // namespace
