#!/usr/bin/env bash
# The hack started by XScreenSaver's own daemon, as a user has it:
#   tests/x11/daemon.sh PROBE HACK [installed]
# Starts a private Xvfb, shows a desktop picture, runs the daemon as an unprivileged user with
# the hack (gas fire, firefly) as its one program, activates it, looks at the screen, ends it
# with a relative mouse move and checks that the hack and the daemon are gone. With
# "installed", HACK is used where it is; otherwise a copy is made that the user can read.
set -uo pipefail

if [ $# -lt 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 PROBE HACK [installed]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
on_private_display 1024x768x24 -- "$@"
need xscreensaver xscreensaver-command xdotool setpriv
probe=$1

work=$(private_dir)
daemon=""
cleanup() {
  if [ -n "$daemon" ] && kill -0 "$daemon" 2>/dev/null; then
    as_user "$work" xscreensaver-command -exit >/dev/null 2>&1
    daemon_gone() { ! kill -0 "$daemon" 2>/dev/null; }
    wait_for 10 daemon_gone
    kill "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

if [ "${3:-}" = installed ]; then
  hack=$2
else
  hack=$work/kindlewick
  cp "$2" "$hack"
  chmod 755 "$hack"
fi

cat >"$work/.xscreensaver" <<EOF2
mode: one
selected: 0
timeout: 0:00:15
lock: False
splash: False
fade: False
unfade: False
dpmsEnabled: False
grabDesktopImages: True
chooseRandomImages: False
programs: $hack --root --fire-type gas --firefly
EOF2
[ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$work/.xscreensaver"

show_desktop 1024 768 "$work/desktop.png"
before=$("$probe" stats root)
echo "desktop: $before"

as_user "$work" xscreensaver -no-splash -verbose >"$work/daemon.log" 2>&1 &
daemon=$!
wait_for 60 as_user "$work" xscreensaver-command -time >/dev/null 2>&1
check $? "the daemon answers"

activated=$SECONDS
as_user "$work" xscreensaver-command -activate >/dev/null 2>&1
hack_running() { pgrep -f "^$hack " >/dev/null; }
wait_for 60 hack_running
check $? "the daemon starts the hack: $(pgrep -af "^$hack " | head -1)"
hack_env=$(tr '\0' '\n' <"/proc/$(pgrep -f "^$hack " | head -1)/environ" 2>/dev/null | grep XSCREENSAVER_WINDOW)
echo "hack environment: $hack_env"

# Gas burns blue; the picture stays around the fires.
shot=""
burning() {
  shot=$("$probe" stats root)
  [ "$(stat_of gas "$shot")" -ge 100 ] && [ "$(stat_of desktop "$shot")" -ge $((1024 * 768 / 2)) ]
}
wait_for 90 burning
check $? "gas fire burns over the desktop picture: $shot"
check "$([ "$(stat_of wood "$shot")" -lt 50 ] && [ "$(stat_of kryptonite "$shot")" -lt 50 ]; echo $?)" \
  "no fire of another type (wood $(stat_of wood "$shot"), kryptonite $(stat_of kryptonite "$shot"))"

# The daemon ignores input in the first seconds after activation.
while [ $((SECONDS - activated)) -lt 4 ]; do sleep 0.5; done
moved=$(date +%s%N)
xdotool mousemove_relative 50 50
hack_gone() { ! hack_running; }
wait_for 30 hack_gone
gone=$?
took=$((($(date +%s%N) - moved) / 1000000))
check $gone "a relative mouse move ends the hack (gone after ${took} ms)"
grep -E "killing pid|exited|crashed|signal" "$work/daemon.log" | grep -v xscreensaver-gfx\ exited | sed 's/^/daemon: /' | head -5
check "$(grep -qiE 'crashed|core dumped|exited abnormally' "$work/daemon.log"; [ $? -ne 0 ]; echo $?)" \
  "the daemon saw no crash"

as_user "$work" xscreensaver-command -exit >/dev/null 2>&1
wait "$daemon"
check $? "the daemon exits when told"
daemon=""
left=$(pgrep -af "^$hack |xscreensaver-gfx" | grep -v pgrep)
check "$([ -z "$left" ]; echo $?)" "no process is left${left:+: $left}"

checks_end daemon
