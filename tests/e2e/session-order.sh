#!/usr/bin/env bash
# The probe for 32-bit Wine, then a program that makes windows, in a fresh prefix and with no
# display, as a newcomer's first test run does them:
#   tests/e2e/session-order.sh PREVIEW_HOST.exe SAVER.scr
# A probe that leaves its Wine server behind makes every later program join a server with no
# display, and the host window cannot be made. Prints what it saw; the last line is
# "session-order: N passed, N failed".
set -uo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 PREVIEW_HOST.exe SAVER.scr" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/session-order.XXXXXX")
prefix="$work/prefix"
trap 'WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT

# shellcheck source=checks.sh
source "$(dirname "$0")/checks.sh"
# Nothing of the session this test runs in may help: no display, no session, a new prefix.
outside() { env -u DISPLAY -u KW_WINE_SESSION WINEPREFIX="$prefix" "$@"; }

# shellcheck source=../../scripts/lib/wine.sh
source "$root/scripts/lib/wine.sh"
left_behind() {
  local pid
  pid=$(wine_server_pid "$prefix") && echo "server $pid is running" || echo "none is running"
}

preset=$(cd "$root" && outside scripts/windows-preset)
check 0 "the probe ran first and chose the $preset build"
left=$(left_behind)
check "$([ "$left" = "none is running" ]; echo $?)" "the probe left no Wine server behind ($left)"

outside "$root/scripts/with-display" "$root/scripts/wine-run" "$1" preview "$2"
rc=$?
check "$rc" "a window-making program after the probe, in the same prefix (preview host exit status $rc)"

left=$(left_behind)
check "$([ "$left" = "none is running" ]; echo $?)" "no Wine server is left for the prefix afterwards ($left)"

checks_end session-order
