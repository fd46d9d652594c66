#!/usr/bin/env bash
# Builds Velmora and runs every test: unit, GL state, pixels, platform, the
# demonstration programs end to end (headless) and the X11 backend (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
