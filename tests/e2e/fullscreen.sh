#!/usr/bin/env bash
# The full-screen saver end to end, under Wine on an X display, driven with real X input:
#   tests/e2e/fullscreen.sh SAVER.scr [PREFIX [GROUP]]
# With PREFIX it makes that prefix afresh and runs on an X display of its own, so that no other
# test's window meets its screenshots and keys; without, it runs in the current Wine session
# (or one on the default prefix) and needs the display to itself. A known picture covers the screen first as the desktop;
# each check stores its settings in the Wine prefix's registry, starts `SAVER /s`, looks at
# screenshots of the X screen and sends keys and mouse input with xdotool. Every check prints
# what it saw; the last line is "fullscreen: N passed, N failed". GROUP, "input" or "fires",
# runs half of the checks, so that the two halves can run side by side; without, all of them.
set -uo pipefail

group=${3:-all}
if [ $# -lt 1 ] || [ $# -gt 3 ] || [ ! -f "$1" ] || [[ ! $group =~ ^(all|input|fires)$ ]]; then
  echo "usage: $0 SAVER.scr [PREFIX [input|fires]]" >&2
  exit 2
fi
saver=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
stats="$here/screen-stats.pl"
wine_run="$root/scripts/wine-run"

# The saver and the registry edits meet in one Wine session, which owns prefix and server.
# shellcheck source=../../scripts/lib/child.sh
source "$root/scripts/lib/child.sh"
[ $# -lt 2 ] || reenter KW_FULLSCREEN env -u DISPLAY "$root/scripts/wine-session" --prefix "$2" --fresh -- "$1" "$2" "$group"
[ -n "${KW_WINE_SESSION:-}" ] || exec "$root/scripts/wine-session" bash "$0" "$@"

# Waits are generous: Wine may take many seconds to start a program on a busy machine.
START_TIMEOUT=90
FIRE_TIMEOUT=60
FLIGHT_TIMEOUT=120
EXIT_TIMEOUT=30

# shellcheck source=checks.sh
source "$here/checks.sh"

# shellcheck source=../../scripts/lib/x11.sh
source "$root/scripts/lib/x11.sh"

missing=""
for tool in xdotool xwininfo perl; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
convert=$(imagemagick convert) || missing="$missing convert(ImageMagick)"
display=$(imagemagick display) || missing="$missing display(ImageMagick)"
import=$(imagemagick import) || missing="$missing import(ImageMagick)"
compare=$(imagemagick compare) || missing="$missing compare(ImageMagick)"
if [ -n "$missing" ]; then
  echo "fullscreen: missing tools:$missing" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "fullscreen: no DISPLAY; run it inside scripts/with-display" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/fullscreen.XXXXXX")
app_name=$(basename "$saver")
app_name=${app_name%.*}
config_key="HKCU\\Software\\Kindlewick.\\$app_name"
reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
display_pid=""
saver_pid=""

settings_clear() { "$wine_run" "$reg" delete "$config_key" /f >/dev/null 2>&1 || true; }

cleanup() {
  stop_pids "$saver_pid" "$display_pid"
  [ -f "$reg" ] && settings_clear
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

shot_count=0
# Takes a screenshot and leaves its statistics in the variables st_<name>; with X,Y the box
# statistics are those of the 100x100 square there.
look() {
  shot_count=$((shot_count + 1))
  last_shot="$work/shot-$shot_count.ppm"
  "$import" -window root -depth 8 "ppm:$last_shot" 2>/dev/null || return 1
  local line name value
  line=$(perl "$stats" "$last_shot" "$work/desktop.ppm" "$@") || return 1
  for pair in $line; do
    name=${pair%%=*}
    value=${pair#*=}
    printf -v "st_$name" '%s' "$value"
  done
  rm -f "$work/shot-$((shot_count - 1)).ppm"
}

# --- the desktop: a picture whose every pixel is known, covering the screen --------------------
read -r screen_w screen_h < <(xwininfo -root | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w, h}')
pixels=$((screen_w * screen_h))
if ! show_gradient_desktop "$work" "$screen_w" "$screen_h" "$START_TIMEOUT"; then
  echo "fullscreen: the desktop picture did not cover the screen" >&2
  exit 1
fi
echo "desktop: a ${screen_w}x${screen_h} gradient from yellow to blue covers the screen"

# Keys go to the window under the pointer, and the pointer rests on the middle of the screen.
xdotool windowfocus "$(xwininfo -root | awk '/Window id:/{print $4}')" 2>/dev/null
xdotool mousemove $((screen_w / 2)) $((screen_h / 2))

# wine-run makes the prefix on first use; an unknown switch ends the saver at once.
[ -f "$WINEPREFIX/system.reg" ] || "$wine_run" "$saver" /x >/dev/null 2>&1
if [ ! -f "$reg" ]; then
  echo "fullscreen: no reg.exe in $WINEPREFIX" >&2
  exit 1
fi

# --- the saver ----------------------------------------------------------------------------------

# start_saver Name=value ...: stores exactly these settings and starts the saver full screen.
start_saver() {
  settings_clear
  local setting value
  for setting in "$@"; do
    # A DWORD holds a negative setting as its two's complement.
    value=${setting#*=}
    [ "$value" -lt 0 ] && value=$((value + 4294967296))
    "$wine_run" "$reg" add "$config_key\\Config" /v "${setting%%=*}" /t REG_DWORD /d "$value" /f \
      >/dev/null 2>&1 || { echo "could not store $setting"; return 1; }
  done
  "$wine_run" "$saver" /s >"$work/saver.log" 2>&1 &
  saver_pid=$!
  started_at=$SECONDS
  if ! wait_for "$START_TIMEOUT" saver_window_shown "$screen_w" "$screen_h"; then
    echo "no full-screen window within ${START_TIMEOUT}s"
    return 1
  fi
}

saver_ended() { ! kill -0 "$saver_pid" 2>/dev/null; }

# Waits for the saver to end by itself; leaves its exit status in saver_status (-1: killed).
await_exit() {
  saver_status=-1
  if wait_for "$EXIT_TIMEOUT" saver_ended; then
    wait "$saver_pid"
    saver_status=$?
  fi
  stop_saver
}

stop_saver() {
  if kill -0 "$saver_pid" 2>/dev/null; then
    kill "$saver_pid" 2>/dev/null
    wait "$saver_pid" 2>/dev/null
  fi
  saver_pid=""
}

fire_burns() { look && [ "$st_box_green" -ge "${1:-30}" ]; }

# --- checks -------------------------------------------------------------------------------------

# Green fire of the stored type over the desktop, the rest of the desktop untouched, the box
# showing the desktop as it is where no flame went (not through the fire's colour table, whose
# fixed colours a yellow and blue picture would take), and the pointer that rests on the window
# (Wine reports it once as a first move) does not end it.
check_fire_over_desktop() {
  if ! start_saver FireType=1; then
    check 1 "Kryptonite over the desktop: the saver did not start"
    stop_saver
    return
  fi
  if ! wait_for "$FIRE_TIMEOUT" fire_burns 100; then
    check 1 "Kryptonite over the desktop: no fire within ${FIRE_TIMEOUT}s (last: box ${st_box:-?}" \
      "with ${st_box_differs:-?} changed and ${st_box_green:-?} green pixels)"
    stop_saver
    return
  fi
  check 0 "a green fire burns in the 100x100 box at $st_box: $st_box_green green pixels," \
    "$st_box_differs pixels differ from the desktop there"
  local untouched=$((st_same * 100 / pixels))
  [ "$untouched" -ge 90 ]
  check $? "the desktop stays visible: $untouched% of the screen equals the picture" \
    "($((pixels - st_same)) pixels differ, $st_black black)"
  [ "$st_fixed" -le 300 ]
  check $? "the boxes show the desktop as it is: $st_fixed pixels differ from it in one of the colour" \
    "table's fixed colours"
  [ "$st_red" -eq 0 ]
  check $? "no flame of another fire type: $st_red red pixels"
  ! saver_ended
  check $? "the saver still runs $((SECONDS - started_at))s after it started, the pointer resting on it"
  stop_saver
}

# One kind of input each: the saver ends by itself, with exit status 0.
check_input_ends() {
  local what=$1
  shift
  if ! start_saver FireType=1 || ! wait_for "$FIRE_TIMEOUT" fire_burns 1; then
    check 1 "$what: the saver did not start burning"
    stop_saver
    return
  fi
  local sent=$SECONDS
  xdotool "$@"
  await_exit
  [ "$saver_status" -eq 0 ]
  check $? "$what (xdotool $*): the saver ended with status $saver_status" \
    "within $((SECONDS - sent))s (-1: still running after ${EXIT_TIMEOUT}s)"
}

check_blank_screen() {
  if ! start_saver FireType=1 BlankScreen=1; then
    check 1 "Blank Screen: the saver did not start"
    stop_saver
    return
  fi
  blank_with_fire() { look && [ "$st_black" -ge $((pixels * 9 / 10)) ] && [ "$st_green" -ge 30 ]; }
  wait_for "$FIRE_TIMEOUT" blank_with_fire
  check $? "Blank Screen: $((st_black * 100 / pixels))% of the screen is black around a fire" \
    "of $st_green green pixels"
  stop_saver
}

# With the firefly: a glowing head on a dark trail before the fire, then the fire burns in a
# box that the trail leads to. A flight too short to be seen starts the saver again.
check_firefly() {
  local attempt glow_seen
  for attempt in 1 2 3; do
    if ! start_saver FireType=1 DrawFly=1 FlyWidth=8 FlySpeed=2; then
      check 1 "firefly: the saver did not start"
      stop_saver
      return
    fi
    glow_seen=""
    local deadline=$((SECONDS + FLIGHT_TIMEOUT)) last_trail=-1 burning=""
    while [ "$SECONDS" -lt "$deadline" ]; do
      look || continue
      # The glow is as green as a young flame: while the trail grows the firefly flies, and
      # green on a trail that has stopped growing is the fire it lit.
      if [ "$st_trail" -gt "$last_trail" ] && [ "$last_trail" -ge 0 ]; then
        if [ -z "$glow_seen" ] && [ "$st_green" -gt 0 ]; then
          glow_seen="$st_green green pixels at the head of a trail of $st_trail pixels"
        fi
      elif [ "$st_box_green" -ge 10 ] && [ "$last_trail" -ge 0 ]; then
        burning=1
        break
      fi
      last_trail=$st_trail
    done
    if [ -z "$burning" ]; then
      check 1 "firefly: no burning fire box within ${FLIGHT_TIMEOUT}s" \
        "(trail $st_trail pixels, green $st_green, box_green ${st_box_green:-0})"
      stop_saver
      return
    fi
    [ -n "$glow_seen" ] && break
    echo "firefly: the first flight ended before a screenshot saw it; starting again"
    stop_saver
  done
  [ -n "$glow_seen" ]
  check $? "firefly: before the first fire the screen showed ${glow_seen:-no glow in three starts}"
  [ "$st_trail_near" -gt 0 ]
  check $? "firefly: the fire burns where the firefly arrived: $st_box_green green pixels in the box at" \
    "$st_box, $st_trail_near trail pixels near its flames (trail bounds $st_trail_box)"
  stop_saver
}

# Settings the flight or the pen cannot work with: fires are lit all the same.
#   check_fire_despite WHAT draws|no-pen SETTING...
check_fire_despite() {
  local what=$1 pen=$2
  shift 2
  if ! start_saver FireType=1 DrawFly=1 "$@"; then
    check 1 "$what: the saver did not start"
    stop_saver
    return
  fi
  wait_for "$FIRE_TIMEOUT" fire_burns 30
  check $? "$what: a fire burns within ${FIRE_TIMEOUT}s: $st_box_green green pixels in the box at $st_box" \
    "after $((SECONDS - started_at))s"
  if [ "$pen" = no-pen ]; then
    [ "$st_trail" -eq 0 ]
    check $? "$what: no pen, nothing drawn on the way: $st_trail trail pixels"
  fi
  xdotool key Escape
  await_exit
  [ "$saver_status" -eq 0 ]
  check $? "$what: a key still ends the saver (status $saver_status)"
}

if [ "$group" != fires ]; then
  check_fire_over_desktop
  check_input_ends "a key" key a
  check_input_ends "Alt+F4" key alt+F4
  check_input_ends "a left click" click 1
  check_input_ends "a right click" click 3
  check_input_ends "a mouse move of 4,3 pixels" mousemove_relative 4 3
  check_input_ends "a burst of inputs" key a click 1 mousemove_relative 5 5 key b click 3
fi
if [ "$group" != input ]; then
  check_blank_screen
  check_firefly
  check_fire_despite "FlySpeed 0" draws FlySpeed=0
  check_fire_despite "FlySpeed -4" draws FlySpeed=-4
  check_fire_despite "FlyWidth -6" no-pen FlyWidth=-6
  check_fire_despite "FlyWidth 2147483647" no-pen FlyWidth=2147483647
fi

checks_end fullscreen
