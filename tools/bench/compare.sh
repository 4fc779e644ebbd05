#!/usr/bin/env bash
# Compares the speed of a base commit with the working tree.
#
#   tools/bench/compare.sh BASE
#
# Builds BASE and the working tree (uncommitted changes included) as release
# builds in temporary folders, then runs tolvar-run from both alternately,
# one run after the other, on the benchmark programs and the demo cartridge
# with each engine. Prints the median frames per second of each, their ratio,
# the picture path's cost per frame (the SDL or DirectX time per frame less
# the NULL engine's) and the largest resident memory seen.
#
# Environment: RUNS (runs per build and case, default 9), FRAMES (frames per
# run, default 10000), JOBS (build jobs, default 2), KEEP=1 keeps the folders.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BASE" >&2
  exit 2
fi
base_rev=$1
runs=${RUNS:-9}
frames=${FRAMES:-10000}
jobs=${JOBS:-2}
src=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
base_sha=$(git -C "$src" rev-parse --verify "$base_rev^{commit}")

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tolvar-compare.XXXXXX")
if [ "${KEEP:-0}" != 1 ]; then trap 'rm -rf "$tmp"' EXIT; fi

# The sources: BASE from git, the working tree as it is on disk.
mkdir -p "$tmp/base/src" "$tmp/new/src"
git -C "$src" archive "$base_sha" | tar -x -C "$tmp/base/src"
git -C "$src" ls-files -z --cached --others --exclude-standard |
  (cd "$src" && xargs -0 tar -c --ignore-failed-read 2>/dev/null) | tar -x -C "$tmp/new/src"

for side in base new; do
  echo "== building $side" >&2
  cmake -S "$tmp/$side/src" -B "$tmp/$side/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTOLVAR_BUILD_TESTS=OFF >/dev/null
  cmake --build "$tmp/$side/build" -j "$jobs" >/dev/null
done

# One set of programs for both sides, so that only the emulator differs.
roms=("$tmp/new/build/roms/bench_cpu_bound.nes" "$tmp/new/build/roms/bench_ppu_writes.nes"
      "$tmp/new/build/roms/bench_game_loop.nes" "$tmp/new/build/roms/demo.nes")
engines=(null sdl directx)

# Prints "FPS RSS_KB" for one run.
run_once() {
  local side=$1 engine=$2 rom=$3 out
  out=$(SDL_VIDEODRIVER=dummy /usr/bin/time -f "rss %M" \
    "$tmp/$side/build/tools/tolvar-run" --engine "$engine" --frames "$frames" "$rom" 2>&1)
  echo "$(sed -n 's/^fps: //p' <<<"$out") $(sed -n 's/^rss //p' <<<"$out")"
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

declare -A med rss
for rom in "${roms[@]}"; do
  for engine in "${engines[@]}"; do
    key="$(basename "$rom" .nes)/$engine"
    : >"$tmp/base.fps"
    : >"$tmp/new.fps"
    max_rss=(0 0)
    for ((i = 0; i < runs; i++)); do
      # Alternate which side goes first, so neither always runs warm.
      if ((i % 2)); then order=(new base); else order=(base new); fi
      for side in "${order[@]}"; do
        read -r fps kb < <(run_once "$side" "$engine" "$rom")
        echo "$fps" >>"$tmp/$side.fps"
        s=0; [ "$side" = new ] && s=1
        ((kb > max_rss[s])) && max_rss[s]=$kb
      done
    done
    med[$key/base]=$(median <"$tmp/base.fps")
    med[$key/new]=$(median <"$tmp/new.fps")
    rss[$key/base]=${max_rss[0]}
    rss[$key/new]=${max_rss[1]}
    echo "   $key done" >&2
  done
done

echo "base $base_rev ($(git -C "$src" rev-parse --short "$base_sha")) against the working tree;" \
  "median of $runs alternate runs of $frames frames"
printf '%-18s %-8s %10s %10s %7s %12s %12s\n' program engine base new ratio "base RSS KB" "new RSS KB"
for rom in "${roms[@]}"; do
  for engine in "${engines[@]}"; do
    key="$(basename "$rom" .nes)/$engine"
    b=${med[$key/base]} n=${med[$key/new]}
    printf '%-18s %-8s %10.0f %10.0f %6.2fx %12d %12d\n' "$(basename "$rom" .nes)" "$engine" \
      "$b" "$n" "$(awk -v b="$b" -v n="$n" 'BEGIN {print n / b}')" "${rss[$key/base]}" \
      "${rss[$key/new]}"
  done
done
echo
echo "picture path, microseconds a frame (engine time per frame less the NULL engine's)"
printf '%-18s %-8s %10s %10s\n' program engine base new
for rom in "${roms[@]}"; do
  for engine in sdl directx; do
    name=$(basename "$rom" .nes)
    line=$(printf '%-18s %-8s' "$name" "$engine")
    for side in base new; do
      line+=$(awk -v e="${med[$name/$engine/$side]}" -v z="${med[$name/null/$side]}" \
        'BEGIN {printf " %10.1f", 1e6 / e - 1e6 / z}')
    done
    echo "$line"
  done
done
