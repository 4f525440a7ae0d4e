#!/usr/bin/env bash
# The XScreenSaver description and the desktop entry agree with the hack:
#   tests/x11/config.sh HACK XML DESKTOP
# The XML is valid against the element set the settings program reads (config.dtd); the
# select's first option and every boolean and number at its default add nothing to the
# command line, and every option they produce is one the hack accepts.
set -uo pipefail

if [ $# -ne 3 ] || [ ! -x "$1" ]; then
  echo "usage: $0 HACK XML DESKTOP" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
need xmllint desktop-file-validate
hack=$1
xml=$2
desktop=$3

out=$(xmllint --noout --dtdvalid "$here/config.dtd" "$xml" 2>&1)
check $? "xmllint validates the description${out:+: $out}"

q() { xmllint --xpath "$1" "$xml" 2>/dev/null; }
check "$([ "$(q 'string(/screensaver/@name)')" = kindlewick ] && [ "$(q 'string(/screensaver/command/@arg)')" = --root ]; echo $?)" \
  "name '$(q 'string(/screensaver/@name)')', command '$(q 'string(/screensaver/command/@arg)')'"
check "$([ "$(q 'count(//option[not(@arg-set)])')" = 1 ] && [ "$(q 'count(//option[1][not(@arg-set)])')" = 1 ]; echo $?)" \
  "the default fire type is the first option and adds no argument"

# The defaults are the hack's: its --help names them in brackets.
help=$("$hack" --help)
for id in $(q '//number/@id' | sed 's/ id="\([^"]*\)"/\1 /g'); do
  default=$(q "string(//number[@id='$id']/@default)")
  low=$(q "string(//number[@id='$id']/@low)")
  high=$(q "string(//number[@id='$id']/@high)")
  listed=$(grep -E -- "--$id " <<<"$help" | grep -oE '\([0-9]+\)$' | tr -d '()')
  check "$([ "$default" = "$listed" ] && [ "$low" -le "$default" ] && [ "$default" -le "$high" ]; echo $?)" \
    "$id: default $default in $low..$high, the hack's default ${listed:-unknown}"
done

# Every argument the settings program can produce parses (the display is never opened:
# --help comes first in the line and ends the run).
args=$(q '//@arg-set' | sed 's/ arg-set="\([^"]*\)"/\1\n/g')
while IFS= read -r a; do
  [ -z "$a" ] && continue
  # shellcheck disable=SC2086
  "$hack" $a --help >/dev/null 2>&1
  check $? "the hack accepts '$a'"
done <<<"$args"
for id in $(q '//number/@id' | sed 's/ id="\([^"]*\)"/\1 /g'); do
  for v in low high; do
    value=$(q "string(//number[@id='$id']/@$v)")
    "$hack" "--$id" "$value" --help >/dev/null 2>&1
    check $? "the hack accepts --$id $value"
  done
done

check "$(grep -qx 'Categories=Screensaver;' "$desktop" && grep -qE '^Exec=/.*/kindlewick --root$' "$desktop"; echo $?)" \
  "desktop entry: $(grep -E '^(Exec|Categories)=' "$desktop" | tr '\n' ' ')"

out=$(desktop-file-validate --no-hints "$desktop" 2>&1)
check $? "desktop-file-validate accepts the desktop entry${out:+: $out}"

checks_end config
