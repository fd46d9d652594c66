// The message pump's cost per frame when nothing is waiting: PeekMessageA on
// an empty queue with a shown window, on the backend VELMORA_PLATFORM names
// (bench/x11_startup.sh runs it on x11 under Xvfb and on headless).
#include "vlmr_platform.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

LRESULT bench_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Takes every message until none came for a while (the window's first
// paint, the server's map and expose notices).
void drain() {
  MSG msg;
  auto quiet_since = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - quiet_since < std::chrono::milliseconds(200)) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
      quiet_since = std::chrono::steady_clock::now();
    }
  }
}

void BM_PeekMessageEmptyQueue(benchmark::State& state) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = bench_proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MessagePumpBench";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "message pump", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 320, 240, nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) {
    state.SkipWithError("no window: the platform did not start");
    return;
  }
  drain();
  MSG msg;
  for (auto _ : state) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  state.SetLabel(VlmrPlatformName());
  DestroyWindow(window);
  drain();
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
}
BENCHMARK(BM_PeekMessageEmptyQueue)->Unit(benchmark::kNanosecond);

}  // namespace
