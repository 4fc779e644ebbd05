#!/usr/bin/env bash
# End to end in a real X window (Xvfb) under a window manager (openbox):
# start tolvar on a damaged settings file, open the demo cartridge through
# File > Load and the browser, move the robot with the keyboard, stop with
# Escape and start again, switch the engine to DirectX, close a menu with
# Escape and play on, go full screen and back, switch back to SDL, and close
# while running.
# usage: play_demo.sh TOLVAR DEMO.nes OUTPUT_DIR
# Screenshots and measurements are left in OUTPUT_DIR for a person to look at.
set -euo pipefail
tolvar=$1 demo=$2 out=$3
for tool in xvfb-run xdotool import convert compare openbox xprop; do
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
conf=$out/config/Tolvar/Tolvar.conf
# One line that is no setting: the file is damaged.
printf '[Settings]\ndefault=1\nFPS=1\nGraphicEngine=SDL\nLastPath=%s\nnot a setting\n' \
  "$out/roms" >"$conf"
export XDG_CONFIG_HOME=$out/config SDL_VIDEO_WINDOW_POS=300,0
unset SDL_VIDEODRIVER QT_QPA_PLATFORM

pid="" wm=""
trap '[ -n "$wm" ] && kill "$wm" 2>/dev/null; true' EXIT
fail() {
  echo "FAILED: $*"
  tail -n 20 "$out/tolvar.log"
  import -window root "$out/failure.png" 2>/dev/null || true
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
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
    xdotool getwindowgeometry "$w" 2>/dev/null | grep -q "Geometry: 512x480" && { echo "$w"; return 0; }
  done
  return 1
}
no_sdl_window() { ! sdl_window >/dev/null; }
gone() { ! kill -0 "$pid" 2>/dev/null; }
main_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$main" ]; }
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
# The robot's left edge in the SDL window: the only pixels of its red.
robot_x() {
  import -window "$sdl" -crop 256x240+0+0 +repage "$out/robot.png"
  convert "$out/robot.png" -fill black +opaque "#F83800" -trim -format "%X" info: | tr -d +
}
# Holds key $1 for $2 seconds, then prints robot_x.
hold() { xdotool keydown "$1" && sleep "$2" && xdotool keyup "$1" && robot_x; }
menu() { xdotool windowfocus --sync "$main" && xdotool key --delay 120 "$@"; }  # to the main window
# Frames run: the top rows of window $1 (the demo's frame counter) change.
running() {
  local rc=0
  import -window "$1" -crop 256x16+0+0 +repage "$out/before.png"
  sleep 0.3
  import -window "$1" -crop 256x16+0+0 +repage "$out/after.png"
  compare -metric AE "$out/before.png" "$out/after.png" null: 2>/dev/null || rc=$?
  [ "$rc" = 1 ]
}
# Windows of ours on screen: the main window, and the SDL window or an open menu.
shown() { xdotool search --onlyvisible --class tolvar 2>/dev/null | wc -l; }
full_screen() { xdotool getwindowgeometry "$main" | grep -q "Geometry: 1024x768"; }
tap_f() { xdotool keydown f keyup f && sleep 0.2 && full_screen; }
# The menu bar's strip is light grey, not the black of a picture.
menu_bar() {
  import -window "$main" -crop 200x14+0+2 +repage "$out/menubar.png"
  convert "$out/menubar.png" -format "%[fx:mean > 0.5]" info: | grep -q 1
}

openbox >"$out/openbox.log" 2>&1 &
wm=$!
within 5 wm_ready || fail "openbox did not start"

"$tolvar" >"$out/tolvar.log" 2>&1 &
pid=$!
# The damaged file is kept beside a new one, and the user told once.
box=$(within 10 window Tolvar) || fail "no message box about the damaged settings file"
import -window root "$out/0-damaged-settings.png"
[ -f "$conf.damaged" ] && grep -q "not a setting" "$conf.damaged" || fail "the damaged file was not kept"
xdotool windowfocus --sync "$box" key Return
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

# Escape stops the game, and its window goes while the key is down; the
# release goes to no window of ours. Start runs the game again.
xdotool keydown Escape
within 5 no_sdl_window || fail "Escape did not stop the game"
within 2 main_active || fail "the window manager gave the main window no focus"
xdotool windowfocus "$(xdotool search --maxdepth 0 --name '')" keyup Escape
menu alt+e Return
sdl=$(within 10 sdl_window) || fail "Start opened no SDL window"
sleep 1
running "$sdl" || fail "no frames ran after Escape and Start"
import -window root "$out/2-started-again.png"

# Settings > Rendering (the last item) > DirectX (the second).
menu alt+s Up Right Down Return
sleep 1.5
sdl_window >/dev/null && fail "the SDL window stayed after the switch to DirectX"
import -window root "$out/3-directx.png"
import -window "$main" -crop 256x200+5+30 +repage "$out/directx.png"
convert "$out/directx.png" -format "%[fx:mean]" info: >"$out/directx-mean.txt"
awk '{ exit !($1 > 0.1) }' "$out/directx-mean.txt" || fail "no DirectX picture in the main window"

# A menu closed with Escape leaves the keys to the game: E (a menu's letter)
# opens no menu, nor does F (which may also switch to full screen, hiding a
# menu it opened), and Return (Start) no browser.
menu alt+s Escape
xdotool key e
sleep 0.3
(($(shown) == 1)) || fail "E opened a menu after Escape closed one"
xdotool key --delay 150 f Return
sleep 0.5
import -window root "$out/4-keys-after-a-menu.png"
(($(shown) == 1)) || fail "F or Return opened a menu"
window Open >/dev/null && fail "Return opened the browser"

# F switches DirectX to full screen (it toggles every frame it is held);
# Escape ends the game and gives the window back its menu bar.
xdotool windowfocus --sync "$main"
within 5 tap_f || fail "F did not switch to full screen"
import -window root "$out/5-full-screen.png"
xdotool keydown Escape
sleep 0.2
xdotool keyup Escape
within 5 menu_bar || fail "the menu bar did not come back after full screen"
import -window root "$out/6-after-full-screen.png"

# Emulation > Start, then Settings > Rendering > SDL while it runs.
menu alt+e Return
sleep 0.5
menu alt+s Up Right Return
sdl=$(within 10 sdl_window) || fail "the switch back to SDL opened no window"
sleep 3  # the frame-rate text is written every 60 frames
running "$sdl" || fail "no frames ran after the switch back to SDL"
import -window root "$out/7-back-to-sdl.png"

# File > Exit while the game runs.
menu alt+f x
within 5 gone || fail "still running after File > Exit"
wait "$pid" || fail "tolvar exited with $?"
echo "closed while running"
