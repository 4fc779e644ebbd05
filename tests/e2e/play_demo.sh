#!/usr/bin/env bash
# End to end in a real X window (Xvfb): start tolvar, open the demo cartridge
# through File > Load and the browser, move the robot with the keyboard,
# switch the engine to DirectX and back, and close while running.
# usage: play_demo.sh TOLVAR DEMO.nes OUTPUT_DIR
# Screenshots and measurements are left in OUTPUT_DIR for a person to look at.
set -euo pipefail
tolvar=$1 demo=$2 out=$3
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
if [ -z "${TOLVAR_E2E_INSIDE_X:-}" ]; then
  export TOLVAR_E2E_INSIDE_X=1
  # -noreset: without it the server resets whenever its last client leaves,
  # and tolvar connecting just as an xdotool call leaves fails to start.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

rm -rf "$out"
mkdir -p "$out/roms" "$out/config/Tolvar"
cp "$demo" "$out/roms/demo.nes"
printf '[Settings]\ndefault=1\nFPS=1\nGraphicEngine=SDL\nLastPath=%s\n' "$out/roms" \
  >"$out/config/Tolvar/Tolvar.conf"
export XDG_CONFIG_HOME=$out/config SDL_VIDEO_WINDOW_POS=300,0
unset SDL_VIDEODRIVER QT_QPA_PLATFORM

fail() {
  echo "FAILED: $*"
  tail -n 20 "$out/tolvar.log"
  import -window root "$out/failure.png" 2>/dev/null || true
  kill -9 "$pid" 2>/dev/null || true
  exit 1
}
# Tries "${@:2}" every 20 ms for up to $1 seconds.
within() {
  local i
  for ((i = 0; i < $1 * 50; i++)); do "${@:2}" && return 0; sleep 0.02; done
  return 1
}
# A shown window named exactly $1; prints its id.
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 | grep .; }
# The SDL window: 512 x 480 (its title is set in a form xdotool cannot
# search for).
sdl_window() {
  local w
  for w in $(xdotool search --onlyvisible --class tolvar 2>/dev/null); do
    xdotool getwindowgeometry "$w" | grep -q "Geometry: 512x480" && { echo "$w"; return 0; }
  done
  return 1
}
gone() { ! kill -0 "$pid" 2>/dev/null; }
# The robot's left edge in the SDL window: the only pixels of its red.
robot_x() {
  import -window root -crop 256x240+300+0 +repage "$out/robot.png"
  convert "$out/robot.png" -fill black +opaque "#F83800" -trim -format "%X" info: | tr -d +
}
# Holds key $1 for $2 seconds, then prints robot_x.
hold() { xdotool keydown "$1" && sleep "$2" && xdotool keyup "$1" && robot_x; }
menu() { xdotool windowfocus --sync "$main" && xdotool key --delay 120 "$@"; }  # to the main window

"$tolvar" >"$out/tolvar.log" 2>&1 &
pid=$!
main=$(within 5 window "Tolvar 0.56") || fail "no main window"

sleep 0.5  # slow builds (sanitizers) are still setting up
menu ctrl+l
dialog=$(within 10 window Open) || fail "Ctrl+L opened no browser"
sleep 0.5
# A double-click on the list's first entry, demo.nes.
xdotool mousemove --window "$dialog" 345 17 click --repeat 2 --delay 80 1
sdl=$(within 10 sdl_window) || fail "the demo did not start in the SDL window"
sleep 1.5
import -window root "$out/1-playing.png"

x0=$(robot_x)
xdotool windowfocus --sync "$sdl"
x1=$(hold Right 1.2)
x2=$(hold Left 0.6)
echo "robot x: $x0, after Right $x1, after Left $x2" | tee "$out/measurements.txt"
((x1 > x0 + 20)) || fail "Right did not move the robot"
((x2 < x1 - 10)) || fail "Left did not move the robot back"

# Settings > Rendering (the last item) > DirectX (the second).
menu alt+s Up Right Down Return
sleep 1.5
sdl_window >/dev/null && fail "the SDL window stayed after the switch to DirectX"
import -window root "$out/2-directx.png"
convert "$out/2-directx.png" -crop 256x200+5+30 +repage -format "%[fx:mean]" info: >"$out/directx-mean.txt"
awk '{ exit !($1 > 0.1) }' "$out/directx-mean.txt" || fail "no DirectX picture in the main window"

menu alt+s Up Right Return
sdl=$(within 10 sdl_window) || fail "the switch back to SDL opened no window"
sleep 3  # the frame-rate text is written every 60 frames
import -window root "$out/3-back-to-sdl.png"

# File > Exit while the game runs.
menu alt+f x
within 5 gone || fail "still running after File > Exit"
wait "$pid" || fail "tolvar exited with $?"
echo "closed while running"
