#!/usr/bin/env bash
# Installs what is needed, builds the emulator and runs it. Without a display
# it runs a built program headless for a few seconds' worth of frames.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
rom=${1:-build/release/roms/cpu_nmi.nes}
./build/release/tools/tolvar-run --frames 600 --dump 6000-601F "$rom"
