#!/usr/bin/env bash
# The main job: installs what is missing, builds, and renders the fire with the
# simulator into an animated GIF.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target kindlewick-sim

mkdir -p out
gif="$PWD/out/fire.gif"
build/native/tools/sim/kindlewick-sim --ticks 300 --gif "$gif"
echo "fire rendered to $gif"
