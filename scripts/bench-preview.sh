#!/usr/bin/env bash
# The CPU share of a 1920x1080 preview, for another build and this working tree, in one run:
#   scripts/bench-preview.sh [REF] [SECONDS] [WxH]
# REF (default: where this branch left main) is built into a temporary folder; the working
# tree's builds come from build/windows and build/native (built here when missing). Each
# preview is sampled for SECONDS (default 20) after a warm-up, one build after the other:
#   - kindlewick.scr /p in the preview host's WxH window (default 1920x1080) under Wine: the
#     saver's process plus wineserver, and the X server beside them;
#   - the Linux hack with --window-id of a WxH root window: the hack plus the X server.
# Shares are of one core, from /proc/PID/stat (user + system). A measurement, not a test:
# the machine may be shared, so compare the two builds of one run, not runs.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/.." && pwd)
ref=${1:-$(git -C "$tree" merge-base HEAD main)}
seconds=${2:-20}
size=${3:-1920x1080}
warmup=5
width=${size%x*}
height=${size#*x}
tick=$(getconf CLK_TCK)

# shellcheck source=lib/wine.sh
source "$here/lib/wine.sh"

export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

# build SOURCE: the saver, the preview host and the hack of one source tree.
build() {
  (cd "$1" && cmake --preset windows >/dev/null && cmake --build --preset windows --target kindlewick preview_host \
    && cmake --preset native >/dev/null && cmake --build --preset native --target kindlewick-x11) \
    >"$work/build.log" 2>&1 || { echo "bench-preview: building $1 failed:" >&2; tail -20 "$work/build.log" >&2; exit 1; }
}

label_ref=$(git -C "$tree" rev-parse --short "$ref")
if [ "${KW_BENCH_WINE_PART:-}" = 1 ]; then
  # Run again inside the Wine session: the outer run owns the folder and the X server.
  work=$KW_BENCH_WORK
  xvfb=$KW_BENCH_XVFB
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-bench-preview.XXXXXX")
  xvfb=""
  stop() {
    if [ -n "$xvfb" ] && kill -0 "$xvfb" 2>/dev/null; then
      kill "$xvfb" 2>/dev/null || true
      wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
  }
  trap stop EXIT
  echo "building $ref ($label_ref) in a temporary folder, and the working tree ..."
  mkdir -p "$work/ref"
  git -C "$tree" archive "$ref" | tar -x -C "$work/ref"
  build "$work/ref"
  build "$tree"
fi
# The same host for both: only the saver differs.
host=$tree/build/windows/tests/e2e/preview_host.exe
labels=("$label_ref" "working tree")
savers=("$work/ref/build/windows/app/kindlewick.scr" "$tree/build/windows/app/kindlewick.scr")
hacks=("$work/ref/build/native/x11/kindlewick" "$tree/build/native/x11/kindlewick")

ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
share() { awk -v n="$1" -v t="$tick" -v s="$seconds" 'BEGIN { printf "%6.1f%%", 100 * n / (t * s) }'; }

start_xvfb() {
  mkfifo "$work/fd.$1"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/fd.$1" >/dev/null 2>&1 </dev/null &
  xvfb=$!
  read -r number <"$work/fd.$1"
  export DISPLAY=":$number"
}

# One saver's preview inside the Wine session: the host shows it until the saver is ended.
wine_preview() {
  local label=$1 saver=$2 prefix=$WINEPREFIX pid="" server p
  "$here/wine-run" "$host" show "Z:${saver//\//\\}" 3600 "$size" >/dev/null 2>&1 &
  local hostpid=$!
  for _ in $(seq 1 600); do
    for p in $(wine_process_pids "$prefix"); do
      tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -q 'kindlewick\.scr /p ' && pid=$p
    done
    [ -n "$pid" ] && break
    sleep 0.2
  done
  [ -n "$pid" ] || { echo "bench-preview: the saver of $label did not start" >&2; kill "$hostpid"; return 1; }
  server=$(wine_server_pid "$prefix")
  sleep "$warmup"
  local p0 s0 x0 p1 s1 x1
  p0=$(ticks "$pid"); s0=$(ticks "$server"); x0=$(ticks "$xvfb")
  sleep "$seconds"
  p1=$(ticks "$pid"); s1=$(ticks "$server"); x1=$(ticks "$xvfb")
  printf "  %-14s program %s  wineserver %s  total %s   (X server %s)\n" "$label" "$(share $((p1 - p0)))" \
    "$(share $((s1 - s0)))" "$(share $((p1 - p0 + s1 - s0)))" "$(share $((x1 - x0)))"
  # Its host then sees it end, closes its window and ends too.
  kill "$pid" 2>/dev/null || true
  wait "$hostpid" 2>/dev/null || true
}

if [ "${KW_BENCH_WINE_PART:-}" = 1 ]; then
  wine_preview "${labels[0]}" "${savers[0]}"
  wine_preview "${labels[1]}" "${savers[1]}"
  exit 0
fi

echo "kindlewick.scr /p in a ${size} preview under Wine, $seconds s each, share of one core:"
start_xvfb "$((width + 200))x$((height + 200))"
# The Wine part runs in a session of its own on this server, in this script again.
KW_BENCH_WINE_PART=1 KW_BENCH_XVFB=$xvfb KW_BENCH_WORK=$work \
  "$here/wine-session" --prefix "$tree/build/windows/wineprefix" "$0" "$ref" "$seconds" "$size"
kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
xvfb=""

echo "the Linux hack in a ${size} window (--window-id of the root), $seconds s each, share of one core:"
start_xvfb "${size}"
root=$(xwininfo -root | awk '/Window id:/ {print $4}')
for n in 0 1; do
  HOME=$work "${hacks[$n]}" --window-id "$root" >/dev/null 2>&1 &
  pid=$!
  sleep "$warmup"
  p0=$(ticks "$pid"); x0=$(ticks "$xvfb")
  sleep "$seconds"
  p1=$(ticks "$pid"); x1=$(ticks "$xvfb")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  printf "  %-14s program %s  X server %s  total %s\n" "${labels[$n]}" "$(share $((p1 - p0)))" "$(share $((x1 - x0)))" \
    "$(share $((p1 - p0 + x1 - x0)))"
done
