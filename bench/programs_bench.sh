#!/bin/sh
# Whole-program benchmark of the three demonstration programs, headless at
# 800 by 600 (a 794 by 578 client area): the median time of a frame over 500
# frames, and the time from start-up to the end of the first frame, both as
# the programs measure them (VELMORA_TIMING), plus the wall time of a whole
# one-frame run (process start, first frame, shutdown). Needs a build in
# build/ (scripts/run.sh or cmake --build build makes one).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
programs="$root/build/programs"
frames=${FRAMES:-500}
report=$(mktemp -d)
trap 'rm -rf "$report"' EXIT

now_ms() { date +%s%N | awk '{ printf "%.1f", $1 / 1000000 }'; }

printf '%-11s %16s %16s %18s\n' program "median frame ms" "first frame ms" "1-frame run ms"
cd "$programs"
for program in mirrorwell boxshot spherezone; do
  VELMORA_PLATFORM=headless VELMORA_FRAMES="$frames" VELMORA_TIMING="$report/$program" \
    "./$program" 2>/dev/null
  start=$(now_ms)
  VELMORA_PLATFORM=headless VELMORA_FRAMES=1 "./$program" 2>/dev/null
  end=$(now_ms)
  median=$(awk '$1 == "median_frame_ms" { print $2 }' "$report/$program")
  first=$(awk '$1 == "first_frame_ms" { print $2 }' "$report/$program")
  printf '%-11s %16s %16s %18s\n' "$program" "$median" "$first" \
    "$(echo "$start $end" | awk '{ printf "%.1f", $2 - $1 }')"
done
