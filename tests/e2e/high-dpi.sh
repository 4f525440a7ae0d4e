#!/usr/bin/env bash
# The saver and its dialog at 200% scaling, under Wine on an X display:
#   tests/e2e/high-dpi.sh SAVER.scr DIALOG_DRIVER.exe PREFIX
# Makes the fresh Wine prefix PREFIX with LogPixels 192 (Windows' key and Wine's), then, in a
# new Wine session that reads it, checks that a full-screen fire shows every fire pixel as a
# 2 x 2 block, within 200 x 200 pixels, and that the dialog fits on the screen, and runs the dialog's end-to-end scenarios "opens"
# and "ok". It has an X server of its own, 2048 x 1536 as a 200% monitor is, on which 1024 x 768
# of 96-DPI layout fit. Every check prints what it saw; the last line is
# "high-dpi: N passed, N failed".
set -uo pipefail

if [ $# -ne 3 ] || [ ! -f "$1" ] || [ ! -f "$2" ]; then
  echo "usage: $0 SAVER.scr DIALOG_DRIVER.exe PREFIX" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
wine_run="$root/scripts/wine-run"
saver=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
driver=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")

if [ -z "${KW_HIGH_DPI:-}" ]; then
  export KW_HIGH_DPI=1
  # Wine reads the DPI when its server starts: set it in one session, test in the next.
  env -u DISPLAY "$root/scripts/wine-session" --prefix "$3" --fresh bash -c '
    reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
    "$0" "$reg" add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d 192 /f &&
      "$0" "$reg" add "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts" \
        /v LogPixels /t REG_DWORD /d 192 /f' "$wine_run" >/dev/null 2>&1 ||
    { echo "high-dpi: could not set LogPixels in $3" >&2; exit 1; }
  exec env -u DISPLAY WITH_DISPLAY_SCREEN=2048x1536x24 "$root/scripts/wine-session" --prefix "$3" bash "$0" "$@"
fi

START_TIMEOUT=90
FIRE_TIMEOUT=60
EXIT_TIMEOUT=30

# shellcheck source=checks.sh
source "$root/tests/e2e/checks.sh"

# shellcheck source=../../scripts/lib/x11.sh
source "$root/scripts/lib/x11.sh"
convert=$(imagemagick convert) && display=$(imagemagick display) && import=$(imagemagick import) &&
  compare=$(imagemagick compare) || { echo "high-dpi: ImageMagick is missing" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/high-dpi.XXXXXX")
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

read -r screen_w screen_h < <(xwininfo -root | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w, h}')
show_gradient_desktop "$work" "$screen_w" "$screen_h" "$START_TIMEOUT" || { echo "high-dpi: the desktop picture did not show" >&2; exit 1; }
xdotool windowfocus "$(xwininfo -root | awk '/Window id:/{print $4}')" 2>/dev/null
xdotool mousemove $((screen_w / 2)) $((screen_h / 2))

# --- a full-screen box at 200% ------------------------------------------------------------------
"$wine_run" "$reg" add "$config_key\\Config" /v FireType /t REG_DWORD /d 1 /f >/dev/null 2>&1 &&
  "$wine_run" "$reg" add "$config_key\\Config" /v DrawFly /t REG_DWORD /d 0 /f >/dev/null 2>&1 ||
  { echo "high-dpi: could not store the settings" >&2; exit 1; }
"$wine_run" "$saver" /s >/dev/null 2>&1 &
saver_pid=$!
wait_for "$START_TIMEOUT" saver_window_shown "$screen_w" "$screen_h" ||
  { echo "high-dpi: no full-screen window within ${START_TIMEOUT}s" >&2; exit 1; }
# The first fire moves between two screenshots; the box shows the desktop as it is around its
# flames, so the flames are what shows its scale: every fire pixel a 2 x 2 block of one colour.
# A pair of screenshots in which one fire alone moved, within a 200 x 200 box.
burning() {
  "$import" -window root -depth 8 "ppm:$work/b.ppm" 2>/dev/null || return 1
  line=$(perl "$here/motion.pl" "$work/a.ppm" "$work/b.ppm" "$work/desktop.ppm" "0,0,$screen_w,$screen_h") || return 1
  mv "$work/b.ppm" "$work/a.ppm"
  moving=${line#moving=}
  moving=${moving%% *}
  IFS=, read -r x0 y0 x1 y1 <<<"$(sed 's/.*moving_box=\([^ ]*\).*/\1/' <<<"$line")"
  w=$((x1 - x0 + 1))
  h=$((y1 - y0 + 1))
  [ "$moving" -ge 100 ] && [ "$w" -le 200 ] && [ "$h" -le 200 ]
}
cp "$work/desktop.ppm" "$work/a.ppm"
if wait_for "$FIRE_TIMEOUT" burning; then
  blocks=${line#*moving_blocks=}
  blocks=${blocks%% *}
  [ $((blocks * 100)) -ge $((moving * 95)) ]
  check $? "at 192 DPI $blocks of the $moving pixels of the flames that moved within ${w}x$h screen pixels" \
    "at $x0,$y0 lie in 2x2 blocks of one colour"
else
  check 1 "at 192 DPI no fire burned alone within 200x200 pixels in ${FIRE_TIMEOUT}s (${line:-no screenshot})"
fi
xdotool key a
saver_ended() { ! kill -0 "$saver_pid" 2>/dev/null; }
wait_for "$EXIT_TIMEOUT" saver_ended
saver_pid=""

# --- the dialog at 200% -------------------------------------------------------------------------
"$wine_run" "$saver" /c >/dev/null 2>&1 &
saver_pid=$!
dialog_shown() { dialog=$(xdotool search --onlyvisible --name '^Kindlewick$' 2>/dev/null | head -n 1) && [ -n "$dialog" ]; }
if wait_for "$START_TIMEOUT" dialog_shown; then
  read -r dx dy dw dh < <(xwininfo -id "$dialog" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4}
    /^  Width:/{w=$2} /^  Height:/{h=$2} END{print x, y, w, h}')
  [ "$dx" -ge 0 ] && [ "$dy" -ge 0 ] && [ $((dx + dw)) -le "$screen_w" ] && [ $((dy + dh)) -le "$screen_h" ]
  check $? "at 192 DPI the dialog, ${dw}x$dh at $dx,$dy, lies wholly on the ${screen_w}x$screen_h screen"
else
  check 1 "at 192 DPI the dialog did not open within ${START_TIMEOUT}s"
fi
kill "$saver_pid" 2>/dev/null
wait "$saver_pid" 2>/dev/null
saver_pid=""
for scenario in opens ok; do
  "$wine_run" "$driver" "$scenario" "$saver" >"$work/driver.log" 2>&1
  status=$?
  grep -E ': Test (succeeded|failed): ' "$work/driver.log" | sed "s/^/  /"
  check "$status" "at 192 DPI the dialog's end-to-end scenario \"$scenario\" ends with status $status:" \
    "$(tail -n 1 "$work/driver.log")"
done

checks_end high-dpi
