#!/usr/bin/env bash
# The preview path: a settings program's preview area is a window of another client, and
# the hack draws one fire filling it:
#   tests/x11/preview.sh PROBE HACK SCREEN DEPTH...
# On a private Xvfb of SCREEN (WxHxD), for each DEPTH a host window of that depth's
# TrueColor visual plays the preview area; the hack starts with --window-id, as the
# settings program starts it (after --root, with XSCREENSAVER_WINDOW naming another window),
# must cover the window with its fire, carry on after SIGSTOP and SIGCONT, and exit 0 when
# the host destroys the window; at the first depth also without the shared pixmap, and without
# shared memory. Last, a desktop helper that fails: one line on stderr, and the fire burns
# over black.
set -uo pipefail

if [ $# -lt 4 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 PROBE HACK SCREEN DEPTH..." >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
on_private_display "$3" -- "$@"
probe=$1
hack=$2
shift 3

work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-preview.XXXXXX")
trap 'rm -rf "$work"' EXIT
root_window=$(printf '0x%x' "$(xwininfo -root | awk '/Window id:/ {print $4}')")

# preview NAME DEPTH ENV ARGS...: one host window, one hack in it, started with the
# environment ENV (VAR=VALUE ...) and ARGS; leaves the hack's stderr in $work/stderr.NAME
# and its exit status in $status.
preview() {
  local name=$1 depth=$2 environment=$3
  shift 3
  # The host window reads commands from a pipe and prints its window id.
  mkfifo "$work/in.$name" "$work/out.$name"
  "$probe" host 320 240 "$depth" <"$work/in.$name" >"$work/out.$name" &
  local host=$!
  exec 7>"$work/in.$name" 8<"$work/out.$name"
  local window=""
  read -r -t 30 window <&8
  check $? "$name: the host window is up ($window)"

  # shellcheck disable=SC2086
  env XSCREENSAVER_WINDOW="$root_window" $environment \
    "$hack" --root --window-id "$window" --fire-type kryptonite "$@" 2>"$work/stderr.$name" &
  local pid=$!

  # The whole window is the hack's: none of the host's teal is left, and the fire shows.
  shot=""
  covered() {
    shot=$("$probe" stats "$window")
    [ "$(stat_of teal "$shot")" -eq 0 ] && [ "$(stat_of kryptonite "$shot")" -ge 50 ]
  }
  wait_for 30 covered
  check $? "$name: a kryptonite fire fills the window: $shot"
  local box x0 y0 x1 y1
  box=$(stat_of lit_box "$shot")
  IFS=, read -r x0 y0 x1 y1 <<<"$box"
  # Rows are flipped the right way: the fire stands on the window's bottom edge.
  check "$([ "${y1:--1}" -ge 220 ]; echo $?)" "$name: the fire stands on the bottom edge (lit box $box)"

  # Stopped and continued, as a shell's job control or a debugger does: it carries on.
  kill -STOP "$pid"
  # Stopped once two looks in a row see the same picture.
  local before=""
  frozen() {
    local now
    now=$("$probe" stats "$window")
    [ "$now" = "$before" ] && return 0
    before=$now
    return 1
  }
  wait_for 30 frozen
  kill -CONT "$pid"
  moving() { [ "$("$probe" stats "$window")" != "$before" ]; }
  wait_for 30 moving
  check $? "$name: after SIGSTOP and SIGCONT the fire burns on"

  echo destroy >&7
  local answer=""
  read -r -t 30 answer <&8
  exited() { ! kill -0 "$pid" 2>/dev/null; }
  wait_for 30 exited
  check $? "$name: the hack ends when the host destroys the window ($answer)"
  wait "$pid"
  status=$?
  exec 7>&- 8<&-
  wait "$host"
}

# quiet NAME: the hack ended with status 0 and wrote nothing.
quiet() {
  check "$([ "$status" -eq 0 ] && [ ! -s "$work/stderr.$1" ]; echo $?)" \
    "$1: exit status $status, quietly (stderr: '$(head -c 200 "$work/stderr.$1")')"
}
for depth in "$@"; do
  preview "depth-$depth" "$depth" "" --blank
  quiet "depth-$depth"
done
# The ways to the server that it takes where a shared pixmap, or shared memory, is refused.
preview shm-images "$1" KINDLEWICK_NO_SHM_PIXMAP=1 --blank
quiet shm-images
preview no-shm "$1" KINDLEWICK_NO_SHM=1 --blank
quiet no-shm

# A helper that fails where the hack looks first.
mkdir "$work/bin"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/xscreensaver-getimage"
chmod 755 "$work/bin/xscreensaver-getimage"
preview failing-helper "$1" "PATH=$work/bin:$PATH"
note=$(cat "$work/stderr.failing-helper")
check "$([ "$status" -eq 0 ] && [ "$(wc -l <"$work/stderr.failing-helper")" -eq 1 ] && grep -q black <<<"$note"; echo $?)" \
  "failing-helper: exit status $status, one note: '$note'"

checks_end preview
