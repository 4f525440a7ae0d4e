#!/usr/bin/env bash
# Builds the Linux hack's Debian package into out/:
#   bash scripts/deb.sh
# Installs what is missing, builds the native preset's hack and runs CPack; prints the
# package's path. Install it with: sudo apt install ./out/kindlewick_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target kindlewick-x11
mkdir -p out
(cd build/native && cpack -G DEB -B "$PWD/../../out" >/dev/null)
rm -rf out/_CPack_Packages
ls -1 "$PWD"/out/kindlewick_*.deb
