// BMP decoding through the platform's image loader: a 1024 by 1024 24-bit file
// read from disk into a DIB section, as the texture loaders do it.
#include "vlmr_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string write_bmp(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  const uint32_t image = static_cast<uint32_t>(stride * height);
  std::vector<uint8_t> file(54 + image);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  put32(34, image);
  for (size_t i = 54; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 7);
  std::string path = "/tmp/velmora-bench-" + std::to_string(width) + ".bmp";
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
  return path;
}

void BM_LoadImage24(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const std::string path = write_bmp(side, side);
  for (auto _ : state) {
    HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                          LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!h) state.SkipWithError("the loader refused the file");
    DeleteObject(h);
  }
  const double bytes = 54.0 + ((side * 3 + 3) & ~3) * static_cast<double>(side);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadImage24)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace
