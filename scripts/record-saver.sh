#!/usr/bin/env bash
# Runs the full-screen saver over a desktop picture on the current X display and records the
# screen into an animated GIF:
#   scripts/record-saver.sh SAVER.scr SECONDS OUT.gif
# Meant for a private X server inside a Wine session (scripts/wine-session gives both); the
# saver runs with the settings stored in the Wine prefix and ends with a key press after SECONDS.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 SAVER.scr SECONDS OUT.gif" >&2
  exit 2
fi
saver=$1
seconds=$2
gif=$3
cd "$(dirname "$0")/.."

source scripts/lib/x11.sh
missing() { echo "record-saver: ImageMagick's $1 is missing" >&2; exit 1; }
convert=$(imagemagick convert) || missing convert
display=$(imagemagick display) || missing display
import=$(imagemagick import) || missing import

work=$(mktemp -d "${TMPDIR:-/tmp}/record-saver.XXXXXX")
display_pid=""
saver_pid=""
cleanup() {
  for pid in $saver_pid $display_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

read -r width height < <(xwininfo -root | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w, h}')

# The desktop: ImageMagick's rose, stretched over the screen.
"$convert" rose: -resize "${width}x${height}!" "$work/desktop.png"
"$display" -borderwidth 0 -geometry +0+0 "$work/desktop.png" </dev/null >/dev/null 2>&1 &
display_pid=$!
desktop_shown() { xwininfo -root -tree | grep -q "\"ImageMagick: desktop.png\".* ${width}x${height}+0+0"; }
wait_for 60 desktop_shown || { echo "record-saver: the desktop picture did not appear" >&2; exit 1; }
# Keys reach the window under the pointer, which rests in the middle of the screen.
xdotool windowfocus "$(xwininfo -root | awk '/Window id:/{print $4}')" 2>/dev/null || true
xdotool mousemove $((width / 2)) $((height / 2))

scripts/wine-run "$saver" /s >"$work/saver.log" 2>&1 &
saver_pid=$!
wait_for 90 saver_window_shown "$width" "$height" || { echo "record-saver: the saver's window did not appear" >&2; exit 1; }

# About two frames a second; the GIF plays them at the pace they were taken.
frames=0
started=$(date +%s%N)
end=$((SECONDS + seconds))
while [ "$SECONDS" -lt "$end" ]; do
  "$import" -window root -depth 8 "ppm:$work/frame-$(printf %04d "$frames").ppm"
  frames=$((frames + 1))
  sleep 0.3
done
elapsed_ms=$((($(date +%s%N) - started) / 1000000))

xdotool key Escape
saver_ended() { ! kill -0 "$saver_pid" 2>/dev/null; }
if wait_for 30 saver_ended; then
  saver_pid=""
else
  echo "record-saver: the saver did not end on a key" >&2
fi

delay=$((elapsed_ms / 10 / (frames > 0 ? frames : 1)))
mkdir -p "$(dirname "$gif")"
"$convert" -delay "$delay" -loop 0 "$work"/frame-*.ppm -layers Optimize "$gif"
echo "recorded $frames frames over $((elapsed_ms / 1000)) s"
