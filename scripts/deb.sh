#!/usr/bin/env bash
# Builds the Linux hack's Debian package:
#   bash scripts/deb.sh [OUTDIR]      (default out/)
# Installs what is missing, builds the hack in build/deb with the compiler and linker flags
# Debian builds its own packages with (dpkg-buildflags, all hardening on) and runs CPack;
# prints the package's path. Install it with: apt install ./out/kindlewick_*.deb (as root)
set -euo pipefail
cd "$(dirname "$0")/.."
# CPack gives the archive's members the modes its files get on disk: the same on every machine.
umask 022
out=$(realpath -m "${1:-out}")

bash scripts/install-deps.sh
# The package holds no path of the machine that built it: the build maps this folder to "."
# in debug information and __FILE__ (KW_MAP_BUILD_PATHS). dpkg-buildflags would too, but not
# when the path has a space, and then its flags differ by path; its maps are left out.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-fixfilepath,-fixdebugpath"
flags() { dpkg-buildflags --get "$1"; }
cmake -S . -B build/deb -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr -DKW_MAP_BUILD_PATHS=ON \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build build/deb -j2 --target kindlewick-x11
mkdir -p "$out"
log=$(mktemp)
if ! (cd build/deb && cpack -G DEB -B "$out" >"$log" 2>&1); then
  cat "$log" >&2
  rm -f "$log"
  exit 1
fi
rm -f "$log"
rm -rf "$out/_CPack_Packages"
ls -1 "$out"/kindlewick_*.deb
