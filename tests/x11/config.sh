#!/usr/bin/env bash
# The XScreenSaver description and the desktop entry are well formed:
#   tests/x11/config.sh XML DESKTOP
# The XML is valid against the element set the settings program reads (config.dtd) and its
# select's first option adds nothing to the command line; that its options, ranges and
# defaults are the hack's is checked against the option table (HackOptionsTest.cpp).
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 XML DESKTOP" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
need xmllint desktop-file-validate
xml=$1
desktop=$2

out=$(xmllint --noout --dtdvalid "$here/config.dtd" "$xml" 2>&1)
check $? "xmllint validates the description${out:+: $out}"

q() { xmllint --xpath "$1" "$xml" 2>/dev/null; }
check "$([ "$(q 'string(/screensaver/@name)')" = kindlewick ] && [ "$(q 'string(/screensaver/command/@arg)')" = --root ]; echo $?)" \
  "name '$(q 'string(/screensaver/@name)')', command '$(q 'string(/screensaver/command/@arg)')'"
check "$([ "$(q 'count(//option[not(@arg-set)])')" = 1 ] && [ "$(q 'count(//option[1][not(@arg-set)])')" = 1 ]; echo $?)" \
  "the default fire type is the first option and adds no argument"

check "$(grep -qx 'Categories=Screensaver;' "$desktop" && grep -qE '^Exec=/.*/kindlewick --root$' "$desktop"; echo $?)" \
  "desktop entry: $(grep -E '^(Exec|Categories)=' "$desktop" | tr '\n' ' ')"

out=$(desktop-file-validate --no-hints "$desktop" 2>&1)
check $? "desktop-file-validate accepts the desktop entry${out:+: $out}"

checks_end config
