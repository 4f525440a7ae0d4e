#!/usr/bin/env bash
# The release: installs what is missing, builds everything a user downloads and writes
#   dist/kindlewick-VERSION-setup.exe    the setup program (NSIS), carrying the i686 and x86-64 savers
#   dist/kindlewick-VERSION-win32.zip    x86/ and x64/kindlewick.scr, README.txt and LICENSE.txt
#   dist/kindlewick_VERSION-1_amd64.deb  the Linux hack's Debian package
#   dist/winget/                         the winget manifests of the setup program
#   dist/SHA256SUMS                      the checksums of all of them (sha256sum -c SHA256SUMS)
# Every time stamp in them is SOURCE_DATE_EPOCH (default: the last commit's time), so the
# same commit gives the same bytes. The files are made in a temporary folder and replace
# dist/ only when every step has worked; a failed step is named and leaves no dist/ at all,
# so that nothing partial or left from an earlier release can pass for this one.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
[ -n "${SOURCE_DATE_EPOCH:-}" ] && export SOURCE_DATE_EPOCH

staging=$(mktemp -d "$PWD/.dist.XXXXXX")
step="starting"
finish() {
  local status=$?
  rm -rf "$staging"
  if [ $status -ne 0 ]; then
    rm -rf dist
    echo "release: failed at step '$step' (status $status); dist/ removed" >&2
  fi
}
trap finish EXIT

step="installing the build tools"
bash scripts/install-deps.sh
step="configuring the windows preset"
cmake --preset windows >/dev/null
step="building both programs, the setup program, the zip and the winget manifests"
cmake --build --preset windows --target release
step="building the Debian package"
bash scripts/deb.sh "$staging/deb" >/dev/null

step="collecting the files"
built=build/windows/installer
version=$(sed -n 's/^#define KW_VERSION_TEXT "\(.*\)"$/\1/p' build/windows/win/res/version.h)
cp "$built/dist/kindlewick-$version-setup.exe" "$built/dist/kindlewick-$version-win32.zip" "$staging/"
mv "$staging"/deb/kindlewick_*.deb "$staging/"
rmdir "$staging/deb"
cp -r "$built/dist/winget" "$staging/winget"
step="writing SHA256SUMS"
(cd "$staging" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)

step="replacing dist/"
rm -rf dist
mv "$staging" dist
chmod 755 dist

size() { printf '%8d bytes  %s\n' "$(stat -c %s "$1")" "$2"; }
echo "Kindlewick $version (SOURCE_DATE_EPOCH ${SOURCE_DATE_EPOCH:-from the build}):"
for arch in x86 x64; do
  size "$built/stage/$arch/kindlewick.scr" "$arch/kindlewick.scr (stripped, inside the setup program and the zip)"
done
for file in dist/kindlewick*; do size "$file" "$file"; done
echo "dist/winget/: $(ls dist/winget | tr '\n' ' ')"
echo "dist/SHA256SUMS:"
sed 's/^/  /' dist/SHA256SUMS
