#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test twice: optimised,
# and under AddressSanitizer + UndefinedBehaviorSanitizer; then runs each
# fuzz target for a short, fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export SDL_VIDEODRIVER=dummy QT_QPA_PLATFORM=offscreen
bash scripts/line_counts.sh
jobs=$(nproc)
for preset in release asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests"
  ctest --preset "$preset" -j "$jobs"
done
echo "== fuzz targets (clang, a short run each)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target run_fuzzers
