#!/bin/sh
# Runs one of the demonstration programs: scripts/run.sh [mirrorwell|boxshot|spherezone]
# Installs what is missing (Debian packages), configures and builds into
# build/ when needed, then runs
# the program from build/programs, where its textures are. With a display it
# opens a window; without one it runs headless for a few seconds of frames
# and writes the last frame to build/screenshots/<program>.png.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
program=${1:-mirrorwell}
case "$program" in
  mirrorwell | boxshot | spherezone) ;;
  *)
    echo "usage: $0 [mirrorwell|boxshot|spherezone]" >&2
    exit 2
    ;;
esac

"$root/scripts/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build"
fi
cmake --build "$build" -j2 --target "$program"

cd "$build/programs"
if [ -n "${DISPLAY:-}" ]; then
  VELMORA_PLATFORM=x11 exec "./$program"
fi

frames=${VELMORA_FRAMES:-300}
mkdir -p "$build/screenshots"
shot="$build/screenshots/$program.png"
VELMORA_PLATFORM=headless VELMORA_FRAMES="$frames" VELMORA_SCREENSHOT="$shot" "./$program"
echo "No display (DISPLAY is not set): $program ran headless for $frames frames."
echo "Its last frame is in $shot"
