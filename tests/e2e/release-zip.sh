#!/usr/bin/env bash
# The portable zip holds exactly the files its README lists, the saver in it is the stripped
# one, and the text files open in Notepad:
#   tests/e2e/release-zip.sh ZIP SAVER.scr VERSION OBJDUMP
set -uo pipefail
if [ $# -ne 4 ]; then
  echo "usage: $0 ZIP SAVER.scr VERSION OBJDUMP" >&2
  exit 2
fi
zip=$(realpath "$1") saver=$(realpath "$2") version=$3 objdump=$4

# shellcheck source=checks.sh
source "$(dirname "$0")/checks.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/release-zip.XXXXXX")
trap 'rm -rf "$work"' EXIT

listing=$(cmake -E tar tf "$zip" 2>&1 | sort | tr '\n' ' ')
[ "$listing" = "LICENSE.txt README.txt kindlewick.scr " ]
check $? "$(basename "$zip") holds: $listing"

(cd "$work" && cmake -E tar xf "$zip")
cmp -s "$work/kindlewick.scr" "$saver"
check $? "its kindlewick.scr is the released one ($(stat -c %s "$work/kindlewick.scr" 2>/dev/null) bytes)"
debug=$("$objdump" -h "$work/kindlewick.scr" 2>/dev/null | grep -c '\.debug')
[ "$debug" -eq 0 ]
check $? "the saver is stripped: $debug debug sections"

for file in README.txt LICENSE.txt; do
  lines=$(wc -l <"$work/$file")
  crlf=$(grep -c $'\r$' "$work/$file")
  [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ]
  check $? "$file has Windows line endings: $crlf of $lines lines"
done
grep -q "Kindlewick $version" "$work/README.txt"
check $? "README.txt names version $version"
for topic in "kindlewick.scr" "Install" "Settings..." "Configure" 'HKEY_CURRENT_USER\Software\Kindlewick.' "LICENSE.txt"; do
  grep -qF "$topic" "$work/README.txt"
  check $? "README.txt mentions '$topic'"
done

checks_end release-zip
