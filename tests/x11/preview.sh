#!/usr/bin/env bash
# The preview path: a settings program's preview area is a window of another client, and
# the hack draws one fire filling it:
#   tests/x11/preview.sh PROBE HACK SCREEN DEPTH...
# On a private Xvfb of SCREEN (WxHxD), for each DEPTH a host window of that depth's
# TrueColor visual plays the preview area; the hack starts with --window-id, as the
# settings program starts it (after --root, with XSCREENSAVER_WINDOW naming another window),
# must cover the window with its fire, and must exit 0 when the host destroys the window.
set -uo pipefail

if [ $# -lt 4 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 PROBE HACK SCREEN DEPTH..." >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ -z "${KW_HACK_DISPLAY:-}" ]; then
  KW_HACK_DISPLAY=1 WITH_DISPLAY_SCREEN=$3 exec env -u DISPLAY "$root/scripts/with-display" bash "$0" "$@"
fi
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
probe=$1
hack=$2
shift 3

work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-preview.XXXXXX")
trap 'rm -rf "$work"' EXIT

for depth in "$@"; do
  # The host window reads commands from a pipe and prints its window id.
  mkfifo "$work/in.$depth" "$work/out.$depth"
  "$probe" host 320 240 "$depth" <"$work/in.$depth" >"$work/out.$depth" &
  host=$!
  exec 7>"$work/in.$depth" 8<"$work/out.$depth"
  read -r -t 30 window <&8
  check $? "depth $depth: the host window is up ($window)"

  XSCREENSAVER_WINDOW=$(printf '0x%x' "$(xwininfo -root | awk '/Window id:/ {print $4}')") \
    "$hack" --root --window-id "$window" --blank --fire-type kryptonite 2>"$work/stderr.$depth" &
  pid=$!

  # The whole window is the hack's: none of the host's teal is left, and the fire shows.
  shot=""
  covered() {
    shot=$("$probe" stats "$window")
    [ "$(stat_of teal "$shot")" -eq 0 ] && [ "$(stat_of kryptonite "$shot")" -ge 50 ]
  }
  wait_for 30 covered
  check $? "depth $depth: a kryptonite fire fills the window: $shot"
  box=$(stat_of lit_box "$shot")
  IFS=, read -r x0 y0 x1 y1 <<<"$box"
  # Rows are flipped the right way: the fire stands on the window's bottom edge.
  check "$([ "${y1:--1}" -ge 220 ]; echo $?)" "depth $depth: the fire stands on the bottom edge (lit box $box)"

  # Stopped and continued, as a shell's job control or a debugger does: it carries on.
  kill -STOP "$pid"
  sleep 2
  before=$("$probe" stats "$window")
  kill -CONT "$pid"
  moving() { [ "$("$probe" stats "$window")" != "$before" ]; }
  wait_for 30 moving
  check $? "depth $depth: after SIGSTOP and SIGCONT the fire burns on"

  echo destroy >&7
  read -r -t 30 answer <&8
  exited() { ! kill -0 "$pid" 2>/dev/null; }
  wait_for 30 exited
  check $? "depth $depth: the hack ends when the host destroys the window ($answer)"
  wait "$pid"
  status=$?
  check "$([ "$status" -eq 0 ] && [ ! -s "$work/stderr.$depth" ]; echo $?)" \
    "depth $depth: exit status $status, quietly (stderr: '$(head -c 200 "$work/stderr.$depth")')"
  exec 7>&- 8<&-
  wait "$host"
done

finish preview
