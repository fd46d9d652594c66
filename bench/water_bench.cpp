// One water step (simulation, vertex and normal rebuild, the strips drawn and
// finished on a headless context) at the demonstration size and at the limit.
#include "Velmora.h"
#include "gl_context.h"

#include <benchmark/benchmark.h>

using namespace Velmora;

namespace {

void BM_WaterStep(benchmark::State& state) {
  const int32_t grid = static_cast<int32_t>(state.range(0));
  vlmr_test::GlContext gl(256, 256);
  glMatrixMode(GL_PROJECTION);
  glOrtho(-3, 3, -3, 3, -3, 3);
  glMatrixMode(GL_MODELVIEW);
  glRotatef(60, 1, 0, 0);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  const int32_t slot = grid == 63 ? 0 : 1;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CREATEWATER(grid, 0, 0, 0, 3, 3, 5, 0.98f, false, false, slot);
    glFinish();
  }
  const double nodes = (grid + 1.0) * (grid + 1.0);
  state.counters["nodes"] = nodes;
  state.counters["time_per_node"] =
      benchmark::Counter(nodes, benchmark::Counter::kIsIterationInvariantRate |
                                    benchmark::Counter::kInvert);
}
BENCHMARK(BM_WaterStep)->Arg(63)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace
