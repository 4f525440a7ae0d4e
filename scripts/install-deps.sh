#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and only what is missing.
# Safe to run again: a machine that has everything returns without touching apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  googletest libgtest-dev libbenchmark-dev
  libgif-dev libpng-dev
  wine wine32:i386 wine64 g++-mingw-w64-x86-64 xvfb xdotool x11-utils imagemagick fonts-dejavu-core
  # wine32 only recommends the X extensions' client libraries, and without them 32-bit Wine
  # sees one monitor whatever the server has, and no cursors.
  libxrandr2:i386 libxinerama1:i386 libxcursor1:i386 libxi6:i386 libxrender1:i386
  libxfixes3:i386 libxcomposite1:i386 libxxf86vm1:i386 libxext6:i386
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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# 32-bit Wine runs the i686 program; it lives in the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
