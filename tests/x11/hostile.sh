#!/usr/bin/env bash
# The hack where things go wrong around it:
#   tests/x11/hostile.sh PROBE HACK
# A picture helper that ignores SIGTERM and hangs must neither keep a signal from ending the
# hack nor delay the fallback past the helper's time limit, and goes with its children. A
# window the server cannot make a picture for is said once: a window of its own keeps its
# last good size, a window it was given (too large, or InputOnly) ends it with status 1.
# SIGTERM ends it while its X server is stopped.
set -uo pipefail

if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 PROBE HACK" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
on_private_display 1600x1000x24 -- "$@"
need xdotool pgrep
probe=$1
hack=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-hostile.XXXXXX")
pids=()
stopped_server=""
cleanup() {
  local pid
  [ -z "$stopped_server" ] || kill -CONT "$stopped_server" 2>/dev/null
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

exited() { ! kill -0 "$1" 2>/dev/null; }
group_gone() { ! pgrep -g "$1" >/dev/null; }

# A helper on a hung network mount: deaf to SIGTERM, and its child sleeps far longer than
# any wait below, so a hack that waits for it fails them.
mkdir "$work/bin"
cat >"$work/bin/xscreensaver-getimage" <<EOF
#!/bin/sh
trap '' TERM
echo \$\$ >"$work/helper.pid"
sleep 300
EOF
chmod 755 "$work/bin/xscreensaver-getimage"

for how in TERM INT timeout; do
  rm -f "$work/helper.pid"
  PATH="$work/bin:$PATH" "$hack" --fire-type gas 2>"$work/stderr.$how" &
  pid=$!
  pids+=("$pid")
  wait_for 30 test -s "$work/helper.pid"
  check $? "($how) the hack started the helper"
  group=$(cat "$work/helper.pid" 2>/dev/null)
  if [ "$how" = timeout ]; then
    # The helper's limit is 20 s: the fallback comes well before the helper would end.
    noted() { grep -q "took too long" "$work/stderr.$how"; }
    wait_for 60 noted
    check $? "the hung helper is given up at its limit: '$(head -c 200 "$work/stderr.$how")'"
    wait_for 10 group_gone "${group:-0}"
    check $? "the given-up helper and its child are gone (group ${group:-none})"
    how=TERM
  fi
  kill -"$how" "$pid"
  wait_for 10 exited "$pid"
  check $? "SIG$how ends the hack while the helper hangs"
  wait "$pid" 2>/dev/null
  status=$?
  check "$([ "$status" -eq 0 ]; echo $?)" "($how) exit status $status"
  wait_for 10 group_gone "${group:-0}"
  check $? "($how) the helper and its child are gone (group ${group:-none})"
done

# Its own window, made wider than any pixmap the server makes.
"$hack" --blank --fire-type gas 2>"$work/stderr.own" &
pid=$!
pids+=("$pid")
window=""
found() { window=$(xdotool search --onlyvisible --classname '^kindlewick$' 2>/dev/null | head -1); [ -n "$window" ]; }
wait_for 30 found
check $? "its own window appears ($window)"
xdotool windowsize "$window" 40000 300
back() { [ "$("$probe" geometry "$window")" = 1280x720 ]; }
wait_for 30 back
check $? "a 40000x300 window goes back to 1280x720 ($("$probe" geometry "$window"))"
xdotool windowsize "$window" 1400 800
shot=""
burning() {
  shot=$("$probe" stats "$window")
  [ "$(stat_of pixels "$shot")" -eq $((1400 * 800)) ] && [ "$(stat_of gas "$shot")" -ge 100 ]
}
wait_for 60 burning
check $? "a later 1400x800 burns: $shot"
kill -TERM "$pid"
wait_for 30 exited "$pid"
wait "$pid"
status=$?
note=$(cat "$work/stderr.own")
check "$([ "$status" -eq 0 ] && [ "$(wc -l <"$work/stderr.own")" -eq 1 ] && grep -q "keeping 1280x720" <<<"$note"; echo $?)" \
  "exit status $status, one note: '$(head -c 300 <<<"$note")'"

# Windows it is given and cannot draw in: one line, status 1.
for host in "40000 300" "320 240 input"; do
  mkfifo "$work/in" "$work/out"
  # shellcheck disable=SC2086
  "$probe" host $host <"$work/in" >"$work/out" &
  host_pid=$!
  exec 7>"$work/in" 8<"$work/out"
  given=""
  read -r -t 30 given <&8
  timeout 30 "$hack" --window-id "$given" 2>"$work/stderr.given"
  status=$?
  check "$([ "$status" -eq 1 ] && [ "$(wc -l <"$work/stderr.given")" -eq 1 ]; echo $?)" \
    "window '$host' ($given): status $status, '$(head -c 300 "$work/stderr.given")'"
  exec 7>&- 8<&-
  wait "$host_pid"
  rm -f "$work/in" "$work/out"
done

# A server that stops answering holds the hack inside Xlib; SIGTERM must still end it.
if command -v Xvfb >/dev/null 2>&1; then
  mkfifo "$work/displayfd"
  # -noreset: the first look for the window must not reset the server under the hack starting.
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 </dev/null &
  server=$!
  pids+=("$server")
  number=""
  read -r -t 60 number <"$work/displayfd"
  DISPLAY=":$number" "$hack" --blank --fire-type gas 2>"$work/stderr.stopped" &
  pid=$!
  pids+=("$pid")
  shown() { DISPLAY=":$number" xdotool search --onlyvisible --classname '^kindlewick$' >/dev/null 2>&1; }
  wait_for 30 shown
  check $? "the hack shows its window on a server of its own (:$number)$(head -c 300 "$work/stderr.stopped" | sed 's/^/; stderr: /')"
  kill -STOP "$server"
  stopped_server=$server
  kill -TERM "$pid"
  wait_for 30 exited "$pid"
  check $? "SIGTERM ends the hack while its X server is stopped"
  kill -CONT "$server"
  stopped_server=""
  wait "$pid" 2>/dev/null
  status=$?
  check "$([ "$status" -eq 0 ]; echo $?)" "(stopped server) exit status $status"
  kill -TERM "$server"
  wait "$server" 2>/dev/null
else
  echo "SKIPPED: a stopped X server: no Xvfb to stop"
fi

checks_end hostile
