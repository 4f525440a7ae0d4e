#!/usr/bin/env bash
# The Linux hack's CPU share against xflame, one run on private Xvfb servers:
#   scripts/bench-x11.sh [HACK] [SECONDS]
# For 1280x1024 and 3840x2160, each program draws on the root window of the same server for
# SECONDS (default 30) after a short warm-up; the share of one core is read from /proc for
# the program and for the X server. The hack runs with and without shared-memory images
# (KINDLEWICK_NO_SHM=1), to show what XShm saves. A measurement, not a test.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
hack=${1:-$here/../build/native/x11/kindlewick}
seconds=${2:-30}
xflame=/usr/libexec/xscreensaver/xflame
[ -x "$hack" ] || { echo "bench-x11: build the hack first (cmake --build --preset native)" >&2; exit 2; }
[ -x "$xflame" ] || { echo "bench-x11: xflame is missing (apt-get install xscreensaver-data-extra)" >&2; exit 2; }

tick=$(getconf CLK_TCK)
work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-bench.XXXXXX")
xvfb=""
stop() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT

# Clock ticks a process has used, user and system.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

measure() {
  local label=$1
  shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 3
  local p0 x0 p1 x1
  p0=$(ticks "$pid"); x0=$(ticks "$xvfb")
  sleep "$seconds"
  p1=$(ticks "$pid"); x1=$(ticks "$xvfb")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  awk -v l="$label" -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v t="$tick" -v s="$seconds" 'BEGIN {
    printf "  %-32s program %6.2f%%  X server %6.2f%%  total %6.2f%%\n", l, 100*p/(t*s), 100*x/(t*s), 100*(p+x)/(t*s) }'
}

for screen in 1280x1024 3840x2160; do
  mkfifo "$work/fd.$screen"
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$work/fd.$screen" >/dev/null 2>&1 </dev/null &
  xvfb=$!
  read -r number <"$work/fd.$screen"
  export DISPLAY=":$number" HOME=$work
  w=${screen%x*}; h=${screen#*x}
  # display returns 1 even when the picture is shown.
  convert -size "${w}x${h}" plasma:fractal -blur 0x2 "$work/desktop.png" && display -window root "$work/desktop.png" || true
  echo "$screen, $seconds s each, share of one core:"
  measure "kindlewick --root" "$hack" --root
  measure "kindlewick --root, no XShm" env KINDLEWICK_NO_SHM=1 "$hack" --root
  measure "kindlewick --root --firefly" "$hack" --root --firefly
  measure "xflame --root --delay 33333" "$xflame" --root --delay 33333
  # The heaviest drawing the hack does: one fire as large as the screen, as a preview
  # window of that size would show it.
  rootid=$(xwininfo -root | awk '/Window id:/ {print $4}')
  measure "kindlewick, one screen-sized fire" "$hack" --window-id "$rootid"
  measure "  the same, no XShm" env KINDLEWICK_NO_SHM=1 "$hack" --window-id "$rootid"
  kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
  xvfb=""
done
