#!/usr/bin/env bash
# The full-screen saver on two monitors, under Wine on a headless Xorg, driven with real X
# input:
#   tests/e2e/dual-monitors.sh SAVER.scr PREFIX PREVIEW_HOST.exe DIALOG_DRIVER.exe
# Starts its own X server (scripts/with-dual-monitors: the primary 1024x768 on the right of an
# 800x600 monitor, so Windows puts the left one at x = -800) and a Wine session on the fresh
# prefix PREFIX, since Wine reads the monitors when its server starts. A known picture covers
# the screen as the desktop. DIALOG_DRIVER opens the settings dialog from a window on the left
# monitor. Last, a monitor goes away and comes back, on the right, while the saver runs
# (PREVIEW_HOST tells it, as Wine does not), then every monitor goes off and the primary comes
# back. Every check prints what it saw; the last line is "dual-monitors: N passed, N failed".
set -uo pipefail

if [ $# -ne 4 ] || [ ! -f "$1" ] || [ ! -f "$3" ] || [ ! -f "$4" ]; then
  echo "usage: $0 SAVER.scr PREFIX PREVIEW_HOST.exe DIALOG_DRIVER.exe" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ -z "${KW_DUAL_MONITORS:-}" ]; then
  export KW_DUAL_MONITORS=1
  exec "$root/scripts/with-dual-monitors" "$root/scripts/wine-session" --prefix "$2" --fresh bash "$0" "$@"
fi
saver=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
preview_host=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
dialog_driver=$(cd "$(dirname "$4")" && pwd)/$(basename "$4")
wine_run="$root/scripts/wine-run"

# Waits are generous: Wine may take many seconds to start a program on a busy machine.
START_TIMEOUT=90
BURN_TIMEOUT=120
EXIT_TIMEOUT=30

# The X screen: the left monitor at 0,0, the primary at 800,0; below the left one is no monitor.
screen_w=1824
screen_h=768
left="0,0,800,600"
right="800,0,1024,768"

# shellcheck source=checks.sh
source "$root/tests/e2e/checks.sh"

# shellcheck source=../../scripts/lib/x11.sh
source "$root/scripts/lib/x11.sh"
convert=$(imagemagick convert) && display=$(imagemagick display) && import=$(imagemagick import) || {
  echo "dual-monitors: ImageMagick is missing" >&2
  exit 2
}
for tool in xdotool xwininfo xrandr perl; do
  command -v "$tool" >/dev/null 2>&1 || { echo "dual-monitors: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/dual-monitors.XXXXXX")
config_key="HKCU\\Software\\Kindlewick.\\$(basename "${saver%.*}")"
reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
display_pid=""
saver_pid=""
cleanup() {
  stop_pids "$saver_pid" "$display_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

read -r got_w got_h < <(xwininfo -root | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w, h}')
if [ "$got_w" != "$screen_w" ] || [ "$got_h" != "$screen_h" ]; then
  echo "dual-monitors: the X screen is ${got_w}x$got_h, not ${screen_w}x$screen_h" >&2
  exit 1
fi

# --- the desktop --------------------------------------------------------------------------------
if ! show_gradient_desktop "$work" "$screen_w" "$screen_h" "$START_TIMEOUT"; then
  echo "dual-monitors: the desktop picture did not cover the screen" >&2
  exit 1
fi
echo "desktop: a ${screen_w}x${screen_h} gradient covers both monitors"

# --- the settings dialog on its owner's monitor ---------------------------------------------------
# First: the driver leaves no settings behind, and the saver's are stored after it.
"$wine_run" "$dialog_driver" owners-monitor "$saver" >"$work/driver.log" 2>&1
check $? "the dialog opened from a window on the left monitor: $(grep -E ': Test (succeeded|failed): ' \
  "$work/driver.log" | sed 's/^[^:]*:[0-9]*: Test //' | tr '\r\n' '  ')"

# The pointer rests on the left monitor from the start: keys go to the window under it.
xdotool windowfocus "$(xwininfo -root | awk '/Window id:/{print $4}')" 2>/dev/null
xdotool mousemove 400 300

"$wine_run" "$saver" /x >/dev/null 2>&1
"$wine_run" "$reg" add "$config_key\\Config" /v FireType /t REG_DWORD /d 1 /f >/dev/null 2>&1 &&
  "$wine_run" "$reg" add "$config_key\\Config" /v DrawFly /t REG_DWORD /d 0 /f >/dev/null 2>&1 ||
  { echo "dual-monitors: could not store the settings" >&2; exit 1; }

# --- the saver ----------------------------------------------------------------------------------
"$wine_run" "$saver" /s >"$work/saver.log" 2>&1 &
saver_pid=$!
started=$SECONDS
wait_for "$START_TIMEOUT" saver_window_shown "$screen_w" "$screen_h"
check $? "the saver's window covers both monitors: $(for id in $(xdotool search --onlyvisible \
  --classname '^kindlewick' 2>/dev/null); do xdotool getwindowgeometry "$id" | tr -s ' \n' ' '; done)"

# Two screenshots a moment apart: what moved between them is the fire that burns now. A box
# whose middle is far from the last one's is the next fire.
shots=0
fires_left=0
fires_right=0
fires=""
straddles=""
off_seen=0
last_cx=-1000
last_cy=-1000
shot() { "$import" -window root -depth 8 "ppm:$1" 2>/dev/null; }
deadline=$((SECONDS + BURN_TIMEOUT))
shot "$work/a.ppm"
while [ "$SECONDS" -lt "$deadline" ]; do
  sleep 0.3
  shot "$work/b.ppm" || continue
  line=$(perl "$here/motion.pl" "$work/a.ppm" "$work/b.ppm" "$work/desktop.ppm" "$left" "$right") || break
  mv "$work/b.ppm" "$work/a.ppm"
  shots=$((shots + 1))
  moving=${line#moving=}
  moving=${moving%% *}
  box=${line#*moving_box=}
  box=${box%% *}
  off=${line##*off_monitors=}
  off=${off%% *}
  [ "$off" -gt "$off_seen" ] && off_seen=$off
  [ "$moving" -ge 20 ] || continue
  IFS=, read -r x0 y0 x1 y1 <<<"$box"
  # A new fire lit between the two shots shows two boxes at once; those say nothing.
  [ $((x1 - x0)) -lt 100 ] && [ $((y1 - y0)) -lt 100 ] || continue
  cx=$(((x0 + x1) / 2))
  cy=$(((y0 + y1) / 2))
  if { [ "$x0" -lt 800 ] && [ "$x1" -ge 800 ]; } || { [ "$x0" -lt 800 ] && [ "$y1" -ge 600 ]; }; then
    straddles="$straddles $box"
  elif [ $(((cx - last_cx) * (cx - last_cx))) -gt 14400 ] || [ $(((cy - last_cy) * (cy - last_cy))) -gt 14400 ]; then
    if [ "$x1" -lt 800 ]; then fires_left=$((fires_left + 1)); else fires_right=$((fires_right + 1)); fi
    fires="$fires $x0,$y0"
  fi
  last_cx=$cx
  last_cy=$cy
  [ "$fires_left" -ge 2 ] && [ "$fires_right" -ge 2 ] && break
done
[ "$fires_left" -gt 0 ] && [ "$fires_right" -gt 0 ]
check $? "fires burned on each monitor within $((SECONDS - started))s: $fires_left on the left, $fires_right on" \
  "the right, flames first seen at x,y =$fires (screen x 800 is the primary's left edge), in $shots pairs of screenshots"
[ -z "$straddles" ]
check $? "no burning fire lies across the two monitors or below the left one (seen:${straddles:- none})"
[ "$off_seen" -eq 0 ]
check $? "nothing changed where no monitor is: at most $off_seen pixels below the left monitor"

sent=$SECONDS
xdotool key a
saver_ended() { ! kill -0 "$saver_pid" 2>/dev/null; }
status=-1
if wait_for "$EXIT_TIMEOUT" saver_ended; then
  wait "$saver_pid"
  status=$?
fi
saver_pid=""
[ "$status" -eq 0 ]
check $? "a key with the pointer over the left monitor ended the saver with status $status within" \
  "$((SECONDS - sent))s (-1: still running after ${EXIT_TIMEOUT}s)"

# Blank Screen: black over both monitors, around the fire.
"$wine_run" "$reg" add "$config_key\\Config" /v BlankScreen /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$wine_run" "$saver" /s >"$work/saver.log" 2>&1 &
saver_pid=$!
black_on_both() {
  "$import" -window root -depth 8 "ppm:$work/blank.ppm" 2>/dev/null || return 1
  black_left=$("$convert" "$work/blank.ppm" -crop 800x600+0+0 -fill white +opaque black -format '%[fx:int(100*(1-mean)+0.5)]' info:)
  black_right=$("$convert" "$work/blank.ppm" -crop 1024x768+800+0 -fill white +opaque black -format '%[fx:int(100*(1-mean)+0.5)]' info:)
  [ "$black_left" -ge 90 ] && [ "$black_right" -ge 90 ]
}
wait_for "$START_TIMEOUT" black_on_both
check $? "Blank Screen: ${black_left:-?}% of the left monitor and ${black_right:-?}% of the right one are black"
xdotool key a
wait_for "$EXIT_TIMEOUT" saver_ended
saver_pid=""

# --- monitors that come and go -------------------------------------------------------------------
# Wine sees a layout change at once but sends no WM_DISPLAYCHANGE, so preview_host sends it and
# prints where the saver's window is then. This X server puts the pointer at x = 799 when the
# left output goes off: resting there, it is not moved by the change before Wine knows the new
# monitors, which the saver would take for the user.
"$wine_run" "$reg" add "$config_key\\Config" /v BlankScreen /t REG_DWORD /d 0 /f >/dev/null 2>&1
xdotool mousemove 799 300
"$wine_run" "$saver" /s >"$work/saver.log" 2>&1 &
saver_pid=$!
wait_for "$START_TIMEOUT" saver_window_shown "$screen_w" "$screen_h"
check $? "a third saver covers both monitors again"
told=""
told_saver() {
  told=$("$wine_run" "$preview_host" display-change 2>/dev/null | tr -d '\r' | tr '\n' ';')
  [[ "$told" == *"saver window $1;"* ]]
}
xrandr --output DUMMY1 --off
wait_for "$EXIT_TIMEOUT" told_saver "0,0 1024x768"
check $? "with the left monitor off, the window covers the primary alone: ${told:-nothing}"
sleep 1
kill -0 "$saver_pid" 2>/dev/null
check $? "the saver still runs on the one monitor"
# It comes back on the right: plugged back on the left, the primary moves on the X screen and
# the server nudges the pointer with it, which Wine may report before the saver's process sees
# the new monitors, and the saver then rightly ends on a mouse move.
xrandr --output DUMMY1 --mode 800x600 --pos 1024x0 --output DUMMY0 --pos 0x0
wait_for "$EXIT_TIMEOUT" told_saver "0,0 1824x768"
check $? "with the monitor back, on the right, the window covers both: ${told:-nothing}"
wait_for "$EXIT_TIMEOUT" saver_window_shown "$screen_w" "$screen_h"
check $? "and X shows it ${screen_w}x$screen_h"
sent=$SECONDS
xdotool key a
status=-1
if wait_for "$EXIT_TIMEOUT" saver_ended; then
  wait "$saver_pid"
  status=$?
fi
saver_pid=""
[ "$status" -eq 0 ]
check $? "a key ended it with status $status within $((SECONDS - sent))s"

# --- no monitor at all ---------------------------------------------------------------------------
# The primary alone, switched off and on (a KVM switch, a monitor's cable) where it was on the X
# screen. Wine sends nothing when it is back. The X screen is 64x64 while no output is on: a
# pointer beyond it would be moved by the server, which the saver may rightly take for the user.
saver_window_at() {
  local id
  for id in $(xdotool search --onlyvisible --classname '^kindlewick' 2>/dev/null); do
    xdotool getwindowgeometry "$id" 2>/dev/null | tr -s ' \n' ' ' | grep -q "Position: $1 (screen: 0) Geometry: $2" && return 0
  done
  return 1
}
# Once Wine has no screen, wherever it says the window is, the window keeps its size.
told_saver_size() {
  told=$("$wine_run" "$preview_host" display-change 2>/dev/null | tr -d '\r' | tr '\n' ';')
  [[ "$told" =~ "saver window "-?[0-9]+,-?[0-9]+" $1;virtual screen "-?[0-9]+,-?[0-9]+" "([0-9x]+) ]] &&
    [ "${BASH_REMATCH[1]}" != "$1" ]
}
saver_ends_on_mouse_moves() {
  sent=$SECONDS
  xdotool mousemove "$1" "$2" sleep 1 mousemove "$3" "$4"
  status=-1
  if wait_for "$EXIT_TIMEOUT" saver_ended; then
    wait "$saver_pid"
    status=$?
  fi
  stop_pids "$saver_pid"
  saver_pid=""
  [ "$status" -eq 0 ]
}
xrandr --output DUMMY1 --off
xdotool mousemove 10 10
"$wine_run" "$saver" /s >"$work/saver.log" 2>&1 &
saver_pid=$!
wait_for "$START_TIMEOUT" saver_window_at 0,0 1024x768
check $? "a fourth saver covers the primary alone"
xrandr --output DUMMY0 --off
wait_for "$EXIT_TIMEOUT" told_saver_size 1024x768
check $? "with no monitor, a display change leaves the window its size: ${told:-nothing}"
xrandr --output DUMMY0 --mode 1024x768 --pos 0x0
wait_for "$EXIT_TIMEOUT" saver_window_at 0,0 1024x768
check $? "with the primary back, the window covers it again: $(for id in $(xdotool search --onlyvisible \
  --classname '^kindlewick' 2>/dev/null); do xdotool getwindowgeometry "$id" | tr -s ' \n' ' '; done)"
saver_ends_on_mouse_moves 500 300 600 400
check $? "a mouse move ended it with status $status within $((SECONDS - sent))s"

xdotool mousemove 10 10
"$wine_run" "$saver" /s >"$work/saver.log" 2>&1 &
saver_pid=$!
wait_for "$START_TIMEOUT" saver_window_at 0,0 1024x768
check $? "a fifth saver covers the primary"
xrandr --output DUMMY0 --off
sleep 2
saver_ends_on_mouse_moves 20 20 40 40
check $? "with no monitor, a mouse move ended it with status $status within $((SECONDS - sent))s"

checks_end dual-monitors
