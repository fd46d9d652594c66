// Every corpus file through the decoder under AddressSanitizer: whole, and
// cut short at every length in the headers and at intervals in the pixels.
#include "bmp_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// No corpus file may make the decoder ask for more than this; a larger
// request is reported as an error instead of being attempted.
extern "C" const char* __asan_default_options() { return "max_allocation_size_mb=64"; }

namespace {

namespace fs = std::filesystem;

const std::string kCorpus = VLMR_SOURCE_DIR "/../shared/bmpsuite/";

std::vector<std::string> corpus_files() {
  std::vector<std::string> names;
  for (const char* dir : {"b", "q", "g"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kCorpus + dir, ec)) {
      if (entry.path().extension() == ".bmp") {
        names.push_back(std::string(dir) + "/" + entry.path().filename().string());
      }
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Decodes the first `size` bytes from a heap block of exactly that size, so
// a read one past the end lands in ASan's red zone.
void decode_exactly(const std::vector<uint8_t>& bytes, size_t size) {
  const auto block = std::make_unique<uint8_t[]>(size);
  std::copy_n(bytes.begin(), size, block.get());
  const auto img = vlmr::bmp::decode(block.get(), size);
  if (!img) return;
  const size_t rows = size_t(img->height);
  ASSERT_GT(img->width, 0);
  ASSERT_GT(img->height, 0);
  ASSERT_EQ(img->stride, (int64_t(img->width) * img->bits_per_pixel + 31) / 32 * 4);
  ASSERT_EQ(img->bits.size(), size_t(img->stride) * rows);
  EXPECT_EQ(vlmr::bmp::to_argb32(*img).size(), size_t(img->width) * rows);
}

class Corpus : public testing::TestWithParam<std::string> {};

TEST_P(Corpus, DecodesOrRefusesWithinBounds) {
  std::ifstream in(kCorpus + GetParam(), std::ios::binary);
  ASSERT_TRUE(in);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  decode_exactly(bytes, bytes.size());
  for (size_t size = 0; size < bytes.size(); size += size < 256 ? 1 : 61) {
    SCOPED_TRACE(size);
    decode_exactly(bytes, size);
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(BmpDecode, Corpus, testing::ValuesIn(corpus_files()),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace_if(name.begin(), name.end(),
                                           [](char c) { return !std::isalnum(c); }, '_');
                           return name;
                         });

}  // namespace
