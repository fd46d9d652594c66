// Building the outline font (glyphs 0..254 into display lists), flat and
// extruded, and drawing one line of text with it.
#include "Velmora.h"
#include "gl_context.h"

#include <benchmark/benchmark.h>

using namespace Velmora;

namespace {

void BM_InitText(benchmark::State& state) {
  const float depth = static_cast<float>(state.range(0)) / 10.0f;
  vlmr_test::GlContext gl(256, 256);
  const HDC dc = CreateCompatibleDC(nullptr);
  DCWINDOW = dc;
  for (auto _ : state) {
    INITTEXT(depth, 0, 0, 0);
    glFinish();
    state.PauseTiming();
    DELETEGLTEXT();
    state.ResumeTiming();
  }
  DCWINDOW = nullptr;
  DeleteDC(dc);
}
BENCHMARK(BM_InitText)->Arg(0)->Arg(2)->ArgName("depth_tenths")->Unit(benchmark::kMillisecond);

void BM_PutText(benchmark::State& state) {
  vlmr_test::GlContext gl(256, 256);
  const HDC dc = CreateCompatibleDC(nullptr);
  DCWINDOW = dc;
  INITTEXT(0, 0, 0, 0);
  glColor3f(1, 1, 1);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    PUTGLTEXT(-190, 0, 0.2f, "W, S, A, D: muovi i proiettili");
    glFinish();
  }
  DELETEGLTEXT();
  DCWINDOW = nullptr;
  DeleteDC(dc);
}
BENCHMARK(BM_PutText)->Unit(benchmark::kMicrosecond);

}  // namespace
