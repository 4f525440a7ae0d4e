#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and only what is missing.
# Safe to run again: a machine that has everything returns without touching apt.
# A package index that fails to update (a mirror mid-sync) is retried, then tolerated. The
# i386 half (32-bit Wine) is installed on its own: without it the Windows tests and
# scripts/run.sh use the x86-64 build, and a later run on a good day installs it.
set -uo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  googletest libgtest-dev libbenchmark-dev
  libgif-dev libpng-dev
  wine wine64 g++-mingw-w64-x86-64 xvfb xdotool x11-utils imagemagick fonts-dejavu-core
  python3
  nsis
  # The native Linux hack and its tests: Xlib and XShm headers, XScreenSaver's daemon and
  # xscreensaver-getimage, xflame for the benchmark, xmllint, and dpkg-shlibdeps for CPack.
  libx11-dev libxext-dev xscreensaver xscreensaver-data xscreensaver-data-extra
  libxml2-utils dpkg-dev
  # The release's checks: Debian's package checker, the desktop entry's validator, YAML for
  # the winget manifests' test, and diffoscope to show what differs between two builds.
  lintian desktop-file-utils python3-yaml diffoscope
  # A headless X server with two monitors, which Xvfb cannot give (scripts/with-dual-monitors),
  # and xrandr to change them.
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
)
# 32-bit Wine runs the i686 program. It only recommends the X extensions' client libraries,
# and without them it sees one monitor whatever the server has, and no cursors.
packages_i386=(
  wine32:i386
  libxrandr2:i386 libxinerama1:i386 libxcursor1:i386 libxi6:i386 libxrender1:i386
  libxfixes3:i386 libxcomposite1:i386 libxxf86vm1:i386 libxext6:i386
)

# missing_of NAME...: prints those of the packages that are not installed.
missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_i386 < <(missing_of "${packages_i386[@]}")
[ ${#missing[@]} -eq 0 ] && [ ${#missing_i386[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing_i386[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

# A mirror mid-sync serves an index that does not match its Release file for a while; try a
# few times over a minute, then go on with whatever lists apt has.
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
tries=${KW_APT_UPDATE_TRIES:-4}
for ((try = 1; ; try++)); do
  $sudo apt-get update -qq >"$update_log" 2>&1 && break
  if [ "$try" -ge "$tries" ]; then
    failed_index=$(grep -o 'Failed to fetch [^ ]*' "$update_log" | sed 's/^Failed to fetch //' | paste -sd ' ')
    echo "install-deps: apt-get update failed $tries times (${failed_index:-see: $(tail -n 1 "$update_log")}); going on with the package lists apt has" >&2
    break
  fi
  sleep "${KW_APT_RETRY_SECONDS:-20}"
done

apt_install() {
  $sudo apt-get install -y -qq --no-install-recommends --no-remove "$@" >/dev/null 2>>"$update_log"
}

# What every path needs: all at once, else one by one so that one unresolvable package
# cannot keep the others out; only what is still missing then fails the script.
if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
  for p in "${missing[@]}"; do apt_install "$p" || true; done
fi
mapfile -t still < <(missing_of "${missing[@]}")
if [ ${#still[@]} -gt 0 ]; then
  echo "install-deps: could not install ${still[*]}, which building and testing need" >&2
  exit 1
fi

if [ ${#missing_i386[@]} -gt 0 ] && ! apt_install "${missing_i386[@]}"; then
  echo "install-deps: 32-bit Wine (the i386 packages) could not be installed; the Windows tests and scripts/run.sh will use the x86-64 build" >&2
fi
exit 0
