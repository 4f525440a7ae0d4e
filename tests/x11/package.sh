#!/usr/bin/env bash
# The Debian package, end to end:
#   tests/x11/package.sh PROBE BUILD_DIR
# Builds the .deb with CPack from BUILD_DIR, checks its files and dependencies, installs it
# with dpkg, has XScreenSaver's daemon run the installed hack once (daemon.sh), and removes
# it again. Needs root; skipped (77) without it, or when a kindlewick package is installed
# already, which it must not replace.
set -uo pipefail

if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -d "$2" ]; then
  echo "usage: $0 PROBE BUILD_DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hack-lib.sh
source "$here/hack-lib.sh"
need cpack dpkg dpkg-deb dpkg-shlibdeps lintian
probe=$1
build=$2

if [ "$(id -u)" -ne 0 ]; then
  echo "package: skipped, installing a package needs root"
  exit 77
fi
if dpkg-query -W -f='${Status}' kindlewick 2>/dev/null | grep -q "ok installed"; then
  echo "package: skipped, a kindlewick package is installed already"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-deb.XXXXXX")
installed=""
cleanup() {
  [ -n "$installed" ] && dpkg -r kindlewick >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1)
check $? "cpack builds the package"
deb=$(ls "$work"/kindlewick_*.deb 2>/dev/null | head -1)
check "$([ -n "$deb" ]; echo $?)" "package file: ${deb##*/}"
[ -n "$deb" ] || { cat "$work/cpack.log"; checks_end package; exit 1; }

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/libexec/xscreensaver/kindlewick ./usr/share/xscreensaver/config/kindlewick.xml \
            ./usr/share/man/man6/kindlewick.6x.gz ./usr/share/applications/screensavers/kindlewick.desktop; do
  grep -qx "$path" <<<"$files"
  check $? "the package holds $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
check "$(grep -q libx11-6 <<<"$depends" && grep -q libxext6 <<<"$depends" && grep -q libc6 <<<"$depends"; echo $?)" \
  "dependencies worked out from the binary: $depends"

# Debian's own checker: no error and no warning (overrides only with a written reason).
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1
check $? "lintian passes it$(grep -E '^[EW]:' "$work/lintian.log" | sed 's/^/; /' | tr -d '\n')"

# Other developers may be using dpkg: wait for the lock rather than fail.
dpkg_wait() {
  local tries=0
  until "$@" >"$work/dpkg.log" 2>&1; do
    tries=$((tries + 1))
    grep -q "lock" "$work/dpkg.log" && [ $tries -lt 60 ] || return 1
    sleep 5
  done
}
dpkg_wait dpkg -i "$deb"
status=$?
[ $status -eq 0 ] && installed=1
check $status "dpkg installs it$([ $status -ne 0 ] && echo ": $(tail -3 "$work/dpkg.log")")"

if [ -n "$installed" ]; then
  bash "$here/daemon.sh" "$probe" /usr/libexec/xscreensaver/kindlewick installed | sed 's/^/  daemon.sh: /'
  check "${PIPESTATUS[0]}" "the daemon runs the installed hack"

  dpkg_wait dpkg -r kindlewick
  check $? "dpkg removes it"
  installed=""
  leftover=""
  for path in $files; do
    [ -f "${path#.}" ] && leftover="$leftover ${path#.}"
  done
  check "$([ -z "$leftover" ] && ! dpkg-query -W -f='${Status}' kindlewick 2>/dev/null | grep -q "ok installed"; echo $?)" \
    "nothing of it is left${leftover:+:$leftover}"
fi

checks_end package
