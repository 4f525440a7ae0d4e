#!/usr/bin/env bash
# The portable zip holds exactly the files its README lists, each saver in its architecture's
# folder is the stripped one, and the text files open in Notepad:
#   tests/e2e/release-zip.sh ZIP SAVER.scr SAVER64.scr VERSION OBJDUMP OBJDUMP64
set -uo pipefail
if [ $# -ne 6 ]; then
  echo "usage: $0 ZIP SAVER.scr SAVER64.scr VERSION OBJDUMP OBJDUMP64" >&2
  exit 2
fi
zip=$(realpath "$1") version=$4

# shellcheck source=checks.sh
source "$(dirname "$0")/checks.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/release-zip.XXXXXX")
trap 'rm -rf "$work"' EXIT

listing=$(cmake -E tar tf "$zip" 2>&1 | sort | tr '\n' ' ')
[ "$listing" = "LICENSE.txt README.txt x64/kindlewick.scr x86/kindlewick.scr " ]
check $? "$(basename "$zip") holds: $listing"

(cd "$work" && cmake -E tar xf "$zip")
for folder in x86 x64; do
  if [ $folder = x86 ]; then saver=$2 objdump=$5; else saver=$3 objdump=$6; fi
  cmp -s "$work/$folder/kindlewick.scr" "$saver"
  check $? "its $folder/kindlewick.scr is the released one ($(stat -c %s "$work/$folder/kindlewick.scr" 2>/dev/null) bytes)"
  debug=$("$objdump" -h "$work/$folder/kindlewick.scr" 2>/dev/null | grep -c '\.debug')
  [ "$debug" -eq 0 ]
  check $? "$folder: the saver is stripped: $debug debug sections"
done

for file in README.txt LICENSE.txt; do
  lines=$(wc -l <"$work/$file")
  crlf=$(grep -c $'\r$' "$work/$file")
  [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ]
  check $? "$file has Windows line endings: $crlf of $lines lines"
done
grep -q "Kindlewick $version" "$work/README.txt"
check $? "README.txt names version $version"
for topic in 'x64\kindlewick.scr' 'x86\kindlewick.scr' '64-bit Windows' '32-bit Windows' 'C:\Windows\System32' \
  "Install" "Settings..." "Configure" 'HKEY_CURRENT_USER\Software\Kindlewick.' "LICENSE.txt"; do
  grep -qF "$topic" "$work/README.txt"
  check $? "README.txt mentions '$topic'"
done

checks_end release-zip
