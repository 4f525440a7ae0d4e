#!/usr/bin/env bash
# Builds the Linux hack's Debian package into out/:
#   bash scripts/deb.sh
# Installs what is missing, builds the native preset's hack and runs CPack; prints the
# package's path. Install it with: apt install ./out/kindlewick_*.deb (as root)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target kindlewick-x11
mkdir -p out
log=$(mktemp)
if ! (cd build/native && cpack -G DEB -B "$PWD/../../out" >"$log" 2>&1); then
  cat "$log" >&2
  rm -f "$log"
  exit 1
fi
rm -f "$log"
rm -rf out/_CPack_Packages
ls -1 "$PWD"/out/kindlewick_*.deb
