#!/usr/bin/env bash
# Pictures for the README, taken under Wine on a private Xvfb:
#   scripts/screenshots.sh [dialog|saver|all] [SAVER.scr]
# dialog: the settings dialog with its preview burning  -> docs/dialog.png (cropped to the window)
# saver:  the full-screen saver over a desktop picture  -> docs/saver.png
# SAVER.scr defaults to the windows64 build (this machine's Wine runs 64-bit programs only).
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-all}
saver=${2:-build/windows64/app/kindlewick.scr}
case "$what" in dialog|saver|all) ;; *) echo "usage: $0 [dialog|saver|all] [SAVER.scr]" >&2; exit 2 ;; esac
[ -f "$saver" ] || { echo "no $saver: build it first (cmake --build --preset windows64)" >&2; exit 2; }

source scripts/lib/child.sh
# A private display whatever DISPLAY says: nothing else may draw into the pictures.
reenter SCREENSHOTS_INSIDE env -u DISPLAY scripts/wine-session -- "$what" "$saver"

mkdir -p docs
work=$(mktemp -d "${TMPDIR:-/tmp}/screenshots.XXXXXX")
pids=()
source scripts/lib/wine.sh
wine_loader=$(wine_loader 64)
export WINEDEBUG=-all
# With no window manager Wine leaves captions undrawn; for the pictures it draws its own.
frames_key='HKCU\Software\Wine\AppDefaults\'"$(basename "$saver")"'\X11 Driver'
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  "$wine_loader" reg delete "$frames_key" /v Decorated /f >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

source scripts/lib/x11.sh
convert=$(imagemagick convert) || { echo "ImageMagick's convert is missing" >&2; exit 1; }

# Takes the screen inside geometry $1 (WxH+X+Y) into $work/probe.png and holds when at
# least $2 of its pixels have a flame's colour: red or yellow, well above blue. The picture
# that passes is the one kept, so that it shows the fire that was counted.
enough_flames() {
  "$(imagemagick import)" -window root -crop "$1" +repage "$work/probe.png" 2>/dev/null || return 1
  local count
  count=$("$convert" "$work/probe.png" -fx 'r > 0.4 && b < r/2 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:) ||
    return 1
  [ "$count" -ge "$2" ]
}

# A calm desktop picture for the fires to burn on, shown by ImageMagick at the top left.
"$convert" -size 1024x768 plasma:steelblue-midnightblue -blur 0x6 "$work/desktop.png"
"$(imagemagick display)" -geometry +0+0 "$work/desktop.png" &
pids+=($!)
wait_for 30 xdotool search --onlyvisible --name '^ImageMagick' >/dev/null 2>&1 || true

window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {printf "%dx%d+%d+%d\n", w, h, x, y}'
}

shoot_dialog() {
  "$wine_loader" reg add "$frames_key" /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
  scripts/wine-run "$saver" /c &
  local pid=$!
  pids+=($pid)
  local id
  id=$(timeout 90 xdotool search --sync --onlyvisible --name '^Kindlewick$' | head -1) ||
    { echo "the dialog did not open" >&2; return 1; }
  local geometry
  geometry=$(window_geometry "$id")
  # The preview is the box at the top of the window; wait for a fire at its full height.
  if ! wait_for 60 enough_flames "$geometry" 2500; then
    echo "no fire showed in the dialog's preview" >&2
    return 1
  fi
  cp "$work/probe.png" docs/dialog.png
  echo "docs/dialog.png: the dialog, $geometry"
  xdotool key Escape
  wait_for 30 bash -c "! kill -0 $pid 2>/dev/null" || kill "$pid" 2>/dev/null || true
}

shoot_saver() {
  scripts/wine-run "$saver" /s &
  local pid=$!
  pids+=($pid)
  # The saver covers the screen; its fires come one after another at random places.
  if ! wait_for 120 enough_flames 1024x768+0+0 3000; then
    echo "no fire showed on the screen in full-screen mode" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  cp "$work/probe.png" docs/saver.png
  echo "docs/saver.png: the full-screen saver"
  xdotool key space
  wait_for 30 bash -c "! kill -0 $pid 2>/dev/null" || kill "$pid" 2>/dev/null || true
}

status=0
if [ "$what" = dialog ] || [ "$what" = all ]; then shoot_dialog || status=1; fi
if [ "$what" = saver ] || [ "$what" = all ]; then shoot_saver || status=1; fi
exit "$status"
