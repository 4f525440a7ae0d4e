#!/usr/bin/env bash
# The main job: installs what is missing, builds the Windows program and runs the saver
# full screen under Wine.
#   scripts/run.sh [SECONDS]
# With a display (DISPLAY set and answering) the saver runs on it until a key, a click or a
# mouse move ends it, as a saver does. Without one it runs on a private X server over a
# desktop picture for SECONDS (10 by default), and the screen is recorded into an animated
# GIF whose path is printed. The Wine prefix is WINEPREFIX, else ~/.cache/kindlewick/wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}

bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target kindlewick
export WINEPREFIX=${WINEPREFIX:-${HOME:-/root}/.cache/kindlewick/wineprefix}
preset=$(scripts/windows-preset)
if [ "$preset" != windows ]; then
  echo "32-bit Wine cannot start programs on this machine; running the x86_64 build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target kindlewick
fi
saver="$PWD/build/$preset/app/kindlewick.scr"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "running the saver on $DISPLAY; a key, a click or a mouse move ends it"
  exec scripts/wine-run "$saver" /s
fi

gif="$PWD/out/kindlewick.gif"
env -u DISPLAY scripts/wine-session scripts/record-saver.sh "$saver" "$seconds" "$gif"
echo "the saver, recorded for ${seconds}s: $gif"
