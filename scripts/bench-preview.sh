#!/usr/bin/env bash
# The CPU share of a 1920x1080 preview, for another build and this working tree, in one run:
#   scripts/bench-preview.sh [REF] [SECONDS] [WxH]
# REF (default: where this branch left main) is built into a temporary folder; the working
# tree's builds come from build/windows and build/native (built here when missing; with
# KW_WINDOWS_PRESET=windows64, where 32-bit Wine cannot run, build/windows64). Each
# preview is sampled for SECONDS (default 20) after a warm-up, one build after the other, in
# KW_BENCH_ROUNDS rounds (default 3; each round is a new random fire) summed:
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
rounds=${KW_BENCH_ROUNDS:-3}
preset=${KW_WINDOWS_PRESET:-windows}
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
  (cd "$1" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target kindlewick preview_host \
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
host=$tree/build/$preset/tests/e2e/preview_host.exe
labels=("$label_ref" "working tree")
savers=("$work/ref/build/$preset/app/kindlewick.scr" "$tree/build/$preset/app/kindlewick.scr")
hacks=("$work/ref/build/native/x11/kindlewick" "$tree/build/native/x11/kindlewick")

ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
# share TICKS: per cent of one core over every round's samples.
share() { awk -v n="$1" -v t="$tick" -v s="$((seconds * rounds))" 'BEGIN { printf "%6.1f%%", 100 * n / (t * s) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }

start_xvfb() {
  mkfifo "$work/fd.$1"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/fd.$1" >/dev/null 2>&1 </dev/null &
  xvfb=$!
  read -r number <"$work/fd.$1"
  export DISPLAY=":$number"
}

# Clock ticks of each build, summed over the rounds: program, its server (wineserver or
# none), and the X server.
used_program=(0 0) used_server=(0 0) used_x=(0 0)

# One preview of build N inside the Wine session: the host shows it until the saver is ended.
wine_preview() {
  local n=$1 prefix=$WINEPREFIX pid="" server p
  "$here/wine-run" "$host" show "Z:${savers[$n]//\//\\}" 3600 "$size" >/dev/null 2>&1 &
  local hostpid=$!
  for _ in $(seq 1 600); do
    for p in $(wine_process_pids "$prefix"); do
      tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -q 'kindlewick\.scr /p ' && pid=$p
    done
    [ -n "$pid" ] && break
    sleep 0.2
  done
  [ -n "$pid" ] || { echo "bench-preview: the saver of ${labels[$n]} did not start" >&2; kill "$hostpid"; return 1; }
  server=$(wine_server_pid "$prefix")
  sleep "$warmup"
  local p0 s0 x0
  p0=$(ticks "$pid"); s0=$(ticks "$server"); x0=$(ticks "$xvfb")
  sleep "$seconds"
  used_program[n]=$((used_program[n] + $(ticks "$pid") - p0))
  used_server[n]=$((used_server[n] + $(ticks "$server") - s0))
  used_x[n]=$((used_x[n] + $(ticks "$xvfb") - x0))
  # Its host then sees it end, closes its window and ends too.
  kill "$pid" 2>/dev/null || true
  wait "$hostpid" 2>/dev/null || true
}

hack_preview() {
  local n=$1 pid p0 x0
  HOME=$work "${hacks[$n]}" --window-id "$root" >/dev/null 2>&1 &
  pid=$!
  sleep "$warmup"
  p0=$(ticks "$pid"); x0=$(ticks "$xvfb")
  sleep "$seconds"
  used_program[n]=$((used_program[n] + $(ticks "$pid") - p0))
  used_x[n]=$((used_x[n] + $(ticks "$xvfb") - x0))
  kill "$pid"; wait "$pid" 2>/dev/null || true
}

# The table of both builds; the last column is this tree's total over the other's.
report() {
  local server_name=$1 n total0 total1
  total0=$((used_program[0] + used_server[0]))
  [ -n "$server_name" ] || total0=$((total0 + used_x[0]))
  for n in 0 1; do
    local total=$((used_program[n] + used_server[n]))
    if [ -n "$server_name" ]; then
      printf "  %-14s program %s  %s %s  total %s   (X server %s)" "${labels[$n]}" "$(share "${used_program[$n]}")" \
        "$server_name" "$(share "${used_server[$n]}")" "$(share "$total")" "$(share "${used_x[$n]}")"
    else
      total=$((total + used_x[n]))
      printf "  %-14s program %s  X server %s  total %s" "${labels[$n]}" "$(share "${used_program[$n]}")" \
        "$(share "${used_x[$n]}")" "$(share "$total")"
    fi
    [ "$n" = 0 ] && echo || echo "   ratio $(ratio "$total" "$total0")"
  done
}

# Build by build, round by round, so that both see the same machine; each round is a new fire.
if [ "${KW_BENCH_WINE_PART:-}" = 1 ]; then
  for _ in $(seq 1 "$rounds"); do wine_preview 0; wine_preview 1; done
  report wineserver
  exit 0
fi

echo "kindlewick.scr /p in a ${size} preview under Wine, $rounds x $seconds s each, share of one core:"
start_xvfb "$((width + 200))x$((height + 200))"
# The Wine part runs in a session of its own on this server, in this script again.
KW_BENCH_WINE_PART=1 KW_BENCH_XVFB=$xvfb KW_BENCH_WORK=$work \
  "$here/wine-session" --prefix "$tree/build/$preset/wineprefix" "$0" "$ref" "$seconds" "$size"
kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
xvfb=""

echo "the Linux hack in a ${size} window (--window-id of the root), $rounds x $seconds s each, share of one core:"
start_xvfb "${size}"
root=$(xwininfo -root | awk '/Window id:/ {print $4}')
for _ in $(seq 1 "$rounds"); do hack_preview 0; hack_preview 1; done
report ""
