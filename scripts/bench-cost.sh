#!/usr/bin/env bash
# What a running saver costs: the share of one core used by Kindlewick full screen under Wine,
# by the Linux hack with --root and by xflame at 30 frames a second, each with the servers it
# talks to (the Wine server and the X server), at 1280x1024, 1920x1080 and 3840x2160, on
# private Xvfb servers, in one run. Prints a table and draws docs/cost.png.
#   scripts/bench-cost.sh [SECONDS [REF]]   (each sample, default 20, after a short warm-up)
# With REF, that commit's saver and hack are built in a temporary folder and sampled beside
# this tree's at each size, and the ratios of the totals are printed; the chart shows this
# tree's only. KW_BENCH_ROUNDS (1) samples each that many times in turn, each time new fires,
# and takes the mean. Builds the programs of the windows preset (KW_WINDOWS_PRESET: windows64 where
# 32-bit Wine cannot run) and the native one when missing. A snapshot of one machine at one
# moment, not a test: other work on the machine shows in the figures.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
# shellcheck source=lib/wine.sh
source "$here/lib/wine.sh"
seconds=${1:-20}
ref=${2:-}
rounds=${KW_BENCH_ROUNDS:-1}
preset=${KW_WINDOWS_PRESET:-windows}
scr=$root/build/$preset/app/kindlewick.scr
hack=$root/build/native/x11/kindlewick
xflame=/usr/libexec/xscreensaver/xflame
chart=$root/docs/cost.png
[ -x "$xflame" ] || { echo "bench-cost: xflame is missing (apt-get install xscreensaver-data-extra)" >&2; exit 2; }
[ -f "$scr" ] || (cd "$root" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target kindlewick)
[ -x "$hack" ] || (cd "$root" && cmake --preset native >/dev/null && cmake --build --preset native --target kindlewick-x11)

tick=$(getconf CLK_TCK)
work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-cost.XXXXXX")
ref_scr="" ref_hack=""
if [ -n "$ref" ]; then
  echo "building $ref in a temporary folder ..."
  mkdir -p "$work/ref"
  git -C "$root" archive "$ref" | tar -x -C "$work/ref"
  (cd "$work/ref" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target kindlewick &&
    cmake --preset native >/dev/null && cmake --build --preset native --target kindlewick-x11) >"$work/build.log" 2>&1 ||
    { echo "bench-cost: building $ref failed:" >&2; tail -20 "$work/build.log" >&2; exit 1; }
  ref_scr=$work/ref/build/$preset/app/kindlewick.scr
  ref_hack=$work/ref/build/native/x11/kindlewick
fi
prefix=${HOME:-/root}/.cache/kindlewick/wineprefix-bench
xvfb=""
stop() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT

# Clock ticks used by the given processes, user and system; a process gone counts nothing.
ticks() {
  local pid sum=0 t
  for pid in "$@"; do
    t=$(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null) && sum=$((sum + t))
  done
  echo $sum
}
share() { awk -v d="$1" -v t="$tick" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * d / (t * s) }'; }

# sample LABEL PROGRAM_PIDS_COMMAND SERVER_PIDS_COMMAND [FILE]: one line "label program server
# x" in FILE (default the results the chart is drawn from).
sample() {
  local label=$1 into=${4:-$work/results} p s p0 s0 x0 p1 s1 x1
  sleep 3
  p=$($2); s=$($3)
  p0=$(ticks $p); s0=$(ticks $s); x0=$(ticks "$xvfb")
  sleep "$seconds"
  p1=$(ticks $p); s1=$(ticks $s); x1=$(ticks "$xvfb")
  echo "$label $(share $((p1 - p0))) $(share $((s1 - s0))) $(share $((x1 - x0)))" >>"$into"
  printf '  %-26s program %6s%%  its server %6s%%  X server %6s%%\n' "$label" \
    "$(share $((p1 - p0)))" "$(share $((s1 - s0)))" "$(share $((x1 - x0)))"
}
none() { :; }

# wine_sample LABEL SCR [FILE]: the saver under Wine, its processes and the prefix's Wine server.
wine_sample() {
  "$here/wine-run" "$2" /s >/dev/null 2>&1 &
  local runner=$!
  sample "$1" "wine_process_pids $prefix" "wine_server_pid $prefix" "${3:-}"
  kill $(wine_process_pids "$prefix") 2>/dev/null || true
  wait "$runner" 2>/dev/null || true
}
# hack_sample LABEL HACK [FILE]
hack_sample() {
  "$2" --root >/dev/null 2>&1 &
  local pid=$!
  sample "$1" "echo $pid" none "${3:-}"
  kill $pid
  wait $pid 2>/dev/null || true
}
export -f wine_sample sample ticks share none wine_server_pid wine_process_pids
export here scr prefix xvfb tick seconds work

for screen in 1280x1024 1920x1080 3840x2160; do
  mkfifo "$work/fd.$screen"
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$work/fd.$screen" >/dev/null 2>&1 </dev/null &
  xvfb=$!
  read -r number <"$work/fd.$screen"
  export DISPLAY=":$number" xvfb
  # display returns 1 even when the picture is shown.
  convert -size "${screen}" plasma:fractal -blur 0x2 "$work/desktop.png" && display -window root "$work/desktop.png" || true
  echo "$screen, $rounds x $seconds s each, share of one core:"
  for _ in $(seq 1 "$rounds"); do
    if [ -n "$ref" ]; then
      "$here/wine-session" --prefix "$prefix" bash -c "wine_sample 'wine:$screen:$ref' '$ref_scr' '$work/results.ref'"
    fi
    "$here/wine-session" --prefix "$prefix" bash -c "wine_sample 'wine:$screen' '$scr'"
    [ -z "$ref" ] || hack_sample "hack:$screen:$ref" "$ref_hack" "$work/results.ref"
    hack_sample "hack:$screen" "$hack"
  done
  "$xflame" --root --delay 33333 >/dev/null 2>&1 &
  pid=$!; sample "xflame:$screen" "echo $pid" none; kill $pid; wait $pid 2>/dev/null || true
  kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
  xvfb=""
done

# The mean of each label's rounds, in the order the labels first came.
mean() {
  awk '!($1 in n) { order[++count] = $1 } { n[$1]++; p[$1] += $2; s[$1] += $3; x[$1] += $4 }
    END { for (i = 1; i <= count; ++i) { l = order[i]; printf "%s %.2f %.2f %.2f\n", l, p[l] / n[l], s[l] / n[l], x[l] / n[l] } }' "$1"
}
mean "$work/results" >"$work/results.mean" && mv "$work/results.mean" "$work/results"
[ -z "$ref" ] || { mean "$work/results.ref" >"$work/results.mean" && mv "$work/results.mean" "$work/results.ref"; }

if [ -n "$ref" ]; then
  echo "this tree's total (program, its server, X server) over $ref's:"
  while read -r label p s x; do
    read -r _ rp rs rx < <(grep "^${label}:$ref " "$work/results.ref")
    awk -v l="$label" -v a="$p" -v b="$s" -v c="$x" -v d="$rp" -v e="$rs" -v f="$rx" \
      'BEGIN { t = a + b + c; r = d + e + f
               printf "  %-16s %6.2f%% against %6.2f%%   ratio %s\n", l, t, r, (r > 0 ? sprintf("%.2f", t / r) : "-") }'
  done < <(grep -v '^xflame' "$work/results")
fi

machine="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(nproc) cores"
samples=$seconds
[ "$rounds" = 1 ] || samples="$rounds x $seconds"
python3 "$here/lib/cost-chart.py" "$work/results" "$(date -u +%Y-%m-%d)" "$machine" "$samples" >"$work/cost.mvg"
# A warning (a font it cannot read) fails the drawing, and only a whole chart replaces the old one.
convert -regard-warnings "mvg:$work/cost.mvg" "$work/cost.png"
mv "$work/cost.png" "$chart"
echo "chart: $chart"
