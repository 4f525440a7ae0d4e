#!/usr/bin/env bash
# The hack in a window of its own, as a user starts it by hand:
#   tests/x11/own-window.sh PROBE HACK
# It must show a 1280 x 720 window burning fire boxes over the desktop picture, restart
# for a new size (the picture then fills the larger window), and close on q, on Escape
# and on the window manager's close request, with status 0.
set -uo pipefail

if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 PROBE HACK" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
on_private_display 1600x1000x24 -- "$@"
need xdotool
probe=$1
hack=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-own.XXXXXX")
trap 'rm -rf "$work"' EXIT
show_desktop 1600 1000 "$work/desktop.png"
# No daemon here: xscreensaver-getimage grabs the screen itself, as the user's settings allow.
export HOME=$work
printf 'grabDesktopImages: True\nchooseRandomImages: False\ngrabVideoFrames: False\n' >"$work/.xscreensaver"

for closer in q Escape close; do
  "$hack" --fire-type gas 2>"$work/stderr" &
  pid=$!
  window=""
  found() { window=$(xdotool search --onlyvisible --classname '^kindlewick$' 2>/dev/null | head -1); [ -n "$window" ]; }
  wait_for 30 found
  check $? "($closer) the window appears ($window)"
  size=$("$probe" geometry "$window")
  check "$([ "$size" = 1280x720 ]; echo $?)" "($closer) it is 1280x720 ($size)"

  if [ "$closer" = q ]; then
    shot=""
    burning() {
      shot=$("$probe" stats "$window")
      [ "$(stat_of gas "$shot")" -ge 100 ] && [ "$(stat_of desktop "$shot")" -ge $((1280 * 720 / 2)) ]
    }
    wait_for 60 burning
    check $? "gas fire burns over the desktop picture: $shot"

    xdotool windowsize "$window" 1500 900
    # Before the restart the new strip is the window's black background; after it, the picture.
    filled() {
      shot=$("$probe" stats "$window")
      [ "$(stat_of desktop "$shot")" -ge $((1500 * 900 * 8 / 10)) ] && [ "$(stat_of gas "$shot")" -ge 100 ]
    }
    wait_for 60 filled
    check $? "after a resize to 1500x900 the picture fills the window and the fire burns: $shot"
  fi

  case $closer in
    close) "$probe" close "$window" ;;
    *) xdotool windowfocus "$window"; sleep 0.5; xdotool key "$closer" ;;
  esac
  exited() { ! kill -0 "$pid" 2>/dev/null; }
  wait_for 30 exited
  check $? "$closer closes the window"
  wait "$pid"
  status=$?
  check "$([ "$status" -eq 0 ] && [ ! -s "$work/stderr" ]; echo $?)" \
    "($closer) exit status $status, quietly (stderr: '$(head -c 200 "$work/stderr")')"
done

checks_end own-window
