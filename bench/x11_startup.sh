#!/bin/sh
# Start-up and message-pump cost of the X11 backend, under an Xvfb of its own
# (1024x768x24), with the headless backend beside it for comparison:
#   - the time from starting the probe (build/tests/vlmr_probe) to its first
#     frame line, and to its exit after one frame (VELMORA_FRAMES=1); the
#     median of RUNS runs (10 by default);
#   - PeekMessageA on an empty queue, from build/bench/velmora_bench if it was
#     built (Google Benchmark, bench/message_pump_bench.cpp).
# Needs a build in build/ with the vlmr_probe target, and Xvfb.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
probe="$root/build/tests/vlmr_probe"
bench="$root/build/bench/velmora_bench"
runs=${RUNS:-10}
[ -x "$probe" ] || { echo "no $probe: build the vlmr_probe target first" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
display=":$(head -n 1 "$work/display")"

now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One run: start to first frame line, start to exit, in milliseconds.
run_once() {
  start=$(now_ns)
  env VELMORA_PLATFORM="$1" DISPLAY="$display" VELMORA_FRAMES=1 "$probe" 2>/dev/null |
    { read -r _ && now_ns >"$work/first"; cat >/dev/null; }
  end=$(now_ns)
  echo "$(( ($(cat "$work/first") - start) / 1000 )) $(( (end - start) / 1000 ))" >>"$work/$1"
}

printf '%-9s %22s %22s\n' platform "first frame ms (med)" "1-frame run ms (med)"
for platform in x11 headless; do
  : >"$work/$platform"
  for _ in $(seq "$runs"); do run_once "$platform"; done
  first=$(awk '{ print $1 / 1000 }' "$work/$platform" | median)
  whole=$(awk '{ print $2 / 1000 }' "$work/$platform" | median)
  printf '%-9s %22s %22s\n' "$platform" "$first" "$whole"
done

echo
if [ -x "$bench" ]; then
  for platform in x11 headless; do
    env VELMORA_PLATFORM="$platform" DISPLAY="$display" "$bench" \
      --benchmark_filter=PeekMessageEmptyQueue --benchmark_repetitions=5 \
      --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_(median|mean) '
  done
else
  echo "no $bench (Google Benchmark target not built): PeekMessageA not measured"
fi
