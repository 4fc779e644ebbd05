#!/usr/bin/env bash
# Installs what is needed, builds the emulator and starts it. With a display
# it starts the desktop program (File > Load opens a cartridge; our demo is
# build/release/roms/demo.nes); without one it runs the demo cartridge
# headless and writes its picture to demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
runner=build/release/tools/tolvar-run
rom=build/release/roms/demo.nes
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/tolvar
else
  "$runner" --engine sdl --frames 120 --screenshot demo.png "$rom"
  echo "picture written to $(pwd)/demo.png"
fi
