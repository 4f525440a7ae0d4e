#!/usr/bin/env bash
# Fires over a smooth picture of blues and greens, which no colour of the fire's table matches:
#   tests/x11/picture.sh PROBE HACK
# On a private 800x600 Xvfb a stand-in desktop helper draws the picture, as
# xscreensaver-getimage does. With --root the screen must keep the picture around the fires:
# at most a few hundred pixels may show the table's fixed colours (scorched cells can). In a
# settings program's preview window of depth 24 or 32, and through plain images, the rows of
# the box that no flame reaches, its top and bottom ones, must equal the picture exactly.
set -uo pipefail

if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 PROBE HACK" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
on_private_display 800x600x24 -- "$@"
probe=$1
hack=$2
convert=$(imagemagick convert) && import=$(imagemagick import) && compare=$(imagemagick compare) ||
  { echo "missing tools: ImageMagick (scripts/install-deps.sh installs it)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-picture.XXXXXX")
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

"$convert" -size 800x600 gradient:'#1e3c78-#2e8b57' -depth 8 "ppm:$work/picture.ppm"
mkdir "$work/bin"
printf '#!/bin/sh\n# xscreensaver-getimage WINDOW PIXMAP\nexec "%s" paint "$2" "%s"\n' "$probe" "$work/picture.ppm" \
  >"$work/bin/xscreensaver-getimage"
chmod 755 "$work/bin/xscreensaver-getimage"
export PATH="$work/bin:$PATH"

# --- the whole screen --------------------------------------------------------------------------
"$hack" --root 2>"$work/stderr.root" &
pid=$!
pids+=("$pid")
shot=""
burning() { shot=$("$probe" stats root); [ "$(stat_of wood "$shot")" -ge 50 ]; }
wait_for 30 burning
check $? "--root: a wood fire burns: $shot"
# Fires come and go; each look must hold.
worst_fixed=0 fewest_same=480000 looks=0
for _ in 1 2 3 4 5; do
  "$import" -window root -depth 8 "ppm:$work/shot.ppm" 2>/dev/null || continue
  line=$(perl "$here/../e2e/screen-stats.pl" "$work/shot.ppm" "$work/picture.ppm") || continue
  looks=$((looks + 1))
  fixed=${line##*fixed=}
  fixed=${fixed%% *}
  same=${line##*same=}
  same=${same%% *}
  [ "$fixed" -gt "$worst_fixed" ] && worst_fixed=$fixed
  [ "$same" -lt "$fewest_same" ] && fewest_same=$same
  sleep 1
done
[ "$looks" -ge 3 ] && [ "$worst_fixed" -le 300 ]
check $? "--root: at most $worst_fixed pixels show one of the table's fixed colours over the picture ($looks looks)"
[ "$looks" -ge 3 ] && [ "$fewest_same" -ge $((480000 * 9 / 10)) ]
check $? "--root: at least $fewest_same of the 480000 pixels equal the picture"
kill "$pid"
wait "$pid" 2>/dev/null

# --- a preview window: the box is the whole window -----------------------------------------------
# row_differs WINDOW ROW: the row of the window, but its last pixel (the step's drift past a
# row end may reach it), against the picture there; prints the count of pixels that differ.
row_differs() {
  "$import" -window "$1" -depth 8 "ppm:$work/window.ppm" 2>/dev/null || { echo 320; return; }
  "$convert" "$work/window.ppm" -crop "319x1+0+$2" +repage "ppm:$work/a.ppm" &&
    "$convert" "$work/picture.ppm" -crop "319x1+0+$2" +repage "ppm:$work/b.ppm" &&
    "$compare" -metric AE "$work/a.ppm" "$work/b.ppm" null: 2>&1
}

preview() {
  local name=$1 depth=$2 environment=$3
  mkfifo "$work/in.$name" "$work/out.$name"
  "$probe" host 320 240 "$depth" <"$work/in.$name" >"$work/out.$name" &
  local host=$!
  pids+=("$host")
  exec 7>"$work/in.$name" 8<"$work/out.$name"
  local window=""
  read -r -t 30 window <&8
  # shellcheck disable=SC2086
  env $environment "$hack" --window-id "$window" 2>"$work/stderr.$name" &
  local pid=$!
  pids+=("$pid")
  fire() { shot=$("$probe" stats "$window"); [ "$(stat_of wood "$shot")" -ge 50 ]; }
  wait_for 30 fire
  check $? "$name: a wood fire burns in the window: $shot"
  local top bottom
  top=$(row_differs "$window" 0)
  bottom=$(row_differs "$window" 239)
  [ "$top" = 0 ] && [ "$bottom" = 0 ]
  check $? "$name: the top and bottom rows show the picture as it is: $top and $bottom pixels differ"
  kill "$pid"
  wait "$pid" 2>/dev/null
  echo destroy >&7
  exec 7>&- 8<&-
  wait "$host" 2>/dev/null
}
preview depth-24 24 ""
preview depth-32 32 ""
preview no-shm 24 KINDLEWICK_NO_SHM=1

checks_end picture
