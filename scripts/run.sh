#!/usr/bin/env bash
# Installs what is needed, builds the emulator and runs our demo cartridge.
# With a display it opens the SDL window and plays in real time (Escape
# stops); without one it runs headless and writes the picture to demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
runner=build/release/tools/tolvar-run
rom=${1:-build/release/roms/demo.nes}
if [ -n "${DISPLAY:-}" ]; then
  "$runner" --engine sdl --window --realtime --frames 36000 "$rom"
else
  "$runner" --engine sdl --frames 120 --screenshot demo.png "$rom"
  echo "picture written to $(pwd)/demo.png"
fi
