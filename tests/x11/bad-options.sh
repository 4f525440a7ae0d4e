#!/usr/bin/env bash
# Bad command lines and an unknown window id: one line on stderr, nothing on stdout,
# status 1; --help prints the options and succeeds:
#   tests/x11/bad-options.sh HACK
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 HACK" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
on_private_display -- "$@"
hack=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-bad.XXXXXX")
trap 'rm -rf "$work"' EXIT

cases=(
  "--bogus"
  "--fire-type coal"
  "--fly-width 11"
  "--fly-speed x"
  "--delay"
  "-window-id 0x"
  "--root stray"
  # No such window on this display.
  "--window-id 0x7ffffff0"
  "--root --window-id 2147483632"
)
for args in "${cases[@]}"; do
  # shellcheck disable=SC2086
  timeout 30 "$hack" $args >"$work/out" 2>"$work/err"
  status=$?
  lines=$(wc -l <"$work/err")
  check "$([ "$status" -eq 1 ] && [ "$lines" -eq 1 ] && [ ! -s "$work/out" ]; echo $?)" \
    "'$args': status $status, $lines line(s): $(cat "$work/err")"
done

XSCREENSAVER_WINDOW=junk timeout 30 "$hack" --root >"$work/out" 2>"$work/err"
status=$?
check "$([ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ]; echo $?)" \
  "XSCREENSAVER_WINDOW=junk: status $status: $(cat "$work/err")"

timeout 30 "$hack" --help >"$work/out" 2>"$work/err"
status=$?
check "$([ "$status" -eq 0 ] && grep -q -- --window-id "$work/out" && [ ! -s "$work/err" ]; echo $?)" \
  "--help: status $status, $(wc -l <"$work/out") lines on stdout"

checks_end bad-options
