#!/usr/bin/env bash
# The release: installs what is missing, builds the 32-bit program and writes
#   dist/kindlewick-VERSION-setup.exe   the setup program (NSIS)
#   dist/kindlewick-VERSION-win32.zip   kindlewick.scr, README.txt and LICENSE.txt
# The windows preset's build makes both (installer/CMakeLists.txt); this copies them out.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target release

built=build/windows/installer
version=$(sed -n 's/^#define KW_VERSION_TEXT "\(.*\)"$/\1/p' build/windows/win/res/version.h)
mkdir -p dist
cp "$built/dist/kindlewick-$version-setup.exe" "$built/dist/kindlewick-$version-win32.zip" dist/

size() { printf '%8d bytes  %s\n' "$(stat -c %s "$1")" "$2"; }
echo "Kindlewick $version:"
size "$built/stage/kindlewick.scr" "kindlewick.scr (stripped, inside both)"
size "dist/kindlewick-$version-setup.exe" "dist/kindlewick-$version-setup.exe"
size "dist/kindlewick-$version-win32.zip" "dist/kindlewick-$version-win32.zip"
