// BITMAPTOREGION on 1024 by 1024 pictures: one run per row (a disc), and
// many short runs (stripes two pixels wide, shifted row by row, 256 runs per
// row, 262144 in all: 131 batches merged into the result).
#include "Velmora.h"
#include "../tests/platform/bmp_writer.h"
#include "child_process.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace Velmora;

namespace {

constexpr int kSide = 1024;
constexpr uint32_t kMagenta = 0xFF00FF;

enum Pattern { Disc, Stripes };

// Written once per pattern into a temporary folder, removed at exit.
const std::string& picture_file(Pattern pattern) {
  struct Files {
    std::string dir = vlmr_test::make_temp_dir("velmora-bench");
    std::string names[2];
    ~Files() {
      std::error_code ignored;
      std::filesystem::remove_all(dir, ignored);
    }
  };
  static Files files;
  std::string& name = files.names[pattern];
  if (name.empty()) {
    vlmr_test::Picture p{kSide, kSide, {}};
    p.pixels.reserve(static_cast<size_t>(kSide) * kSide);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const int dx = x - kSide / 2, dy = y - kSide / 2;
        const bool opaque = pattern == Disc ? dx * dx + dy * dy < (kSide / 2) * (kSide / 2)
                                            : ((x + y / 2) / 2) % 2 == 0;
        p.pixels.push_back(opaque ? 0x3080C0u + static_cast<uint32_t>(x % 64) : kMagenta);
      }
    name = files.dir + (pattern == Disc ? "/disc.bmp" : "/stripes.bmp");
    vlmr_test::write_bmp(name, p, 24);
  }
  return name;
}

void BM_BitmapToRegion(benchmark::State& state) {
  const auto pattern = static_cast<Pattern>(state.range(0));
  const std::string& file = picture_file(pattern);
  size_t rects = 0;
  for (auto _ : state) {
    HRGN region = BITMAPTOREGION(file.c_str(), RGB(255, 0, 255), 1);
    if (!region) {
      state.SkipWithError("BITMAPTOREGION gave no region");
      break;
    }
    rects = GetRegionData(region, 0, nullptr);
    DeleteObject(region);
  }
  state.SetLabel(pattern == Disc ? "disc, 1 run per row" : "stripes, 256 runs per row");
  state.SetItemsProcessed(state.iterations() * kSide * kSide);  // pixels
  state.counters["region_rects"] =
      static_cast<double>((rects - sizeof(RGNDATAHEADER)) / sizeof(RECT));
}
BENCHMARK(BM_BitmapToRegion)->Arg(Disc)->Arg(Stripes)->Unit(benchmark::kMillisecond);

}  // namespace
