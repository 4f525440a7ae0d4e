#!/usr/bin/env bash
# Runs the full-screen saver with the firefly under Wine for a while and records what it
# costs, once a minute:
#   scripts/soak.sh [-m MINUTES] [-i SECONDS] [-o FILE] SAVER.scr
# It always starts its own Xvfb (nothing else receives its input or loses activation to it)
# and uses the prefix in WINEPREFIX, by default build/wineprefix-soak of this tree. Each
# sample is one line: seconds since the start, resident and virtual memory of the saver's process (kB), its
# open descriptors and mapped regions (Wine gives no GDI or USER object counts: its
# GetGuiResources reports 0), the resident memory of the prefix's wineserver, which holds
# the USER objects, and the frame rate seen in screenshot diffs. Not part of the tests.
set -uo pipefail

minutes=30
interval=60
out=""
usage() { echo "usage: $0 [-m MINUTES] [-i SECONDS] [-o FILE] SAVER.scr" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    -m) minutes=${2:?}; shift 2 ;;
    -i) interval=${2:?}; shift 2 ;;
    -o) out=${2:?}; shift 2 ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $# -eq 1 ] && [ -f "$1" ] || usage
saver=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

: "${WINEPREFIX:=$root/build/wineprefix-soak}"
export WINEPREFIX
[ -n "$out" ] || out="$root/build/soak-$(date +%Y%m%d-%H%M%S).txt"
out=$(mkdir -p "$(dirname "$out")" && cd "$(dirname "$out")" && pwd)/$(basename "$out")

# shellcheck source=lib/child.sh
source "$here/lib/child.sh"
# A private display, whatever DISPLAY says, in a Wine session that owns the prefix's server.
reenter KW_SOAK_INSIDE env -u DISPLAY "$root/scripts/wine-session" -- -m "$minutes" -i "$interval" -o "$out" "$saver"

# shellcheck source=lib/x11.sh
source "$here/lib/x11.sh"
wine_run="$root/scripts/wine-run"
reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
app_name=$(basename "$saver")
app_name=${app_name%.*}
config_key="HKCU\\Software\\Kindlewick.\\$app_name\\Config"
read -r screen_w screen_h < <(xwininfo -root | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w, h}')

saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null && wait "$saver_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

"$wine_run" "$reg" add "$config_key" /v DrawFly /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
  { echo "soak: could not store DrawFly in $WINEPREFIX" >&2; exit 1; }

"$wine_run" "$saver" /s >/dev/null 2>&1 &
saver_pid=$!
if ! wait_for 120 saver_window_shown "$screen_w" "$screen_h"; then
  echo "soak: no full-screen window within 120s" >&2
  exit 1
fi

# The Windows process: the loader execs into it, or runs it as its only child.
process=$saver_pid
child=$(pgrep -P "$saver_pid" | head -n 1)
grep -qi "$app_name" "/proc/$process/cmdline" 2>/dev/null || process=${child:-$saver_pid}
# shellcheck source=lib/wine.sh
source "$here/lib/wine.sh"
server=$(wine_server_pid "$WINEPREFIX") || server=""

status_kb() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status" 2>/dev/null; }

{
  echo "# $(date -Is) $saver /s with DrawFly=1, ${screen_w}x${screen_h} Xvfb $DISPLAY, prefix $WINEPREFIX"
  echo "# process $process ($(tr '\0' ' ' <"/proc/$process/cmdline")), wineserver ${server:-not found}"
  echo "# seconds  rss_kb  vsz_kb  fds  maps  server_rss_kb  fps  grabs_per_s"
} | tee "$out"

start=$SECONDS
samples=$((minutes * 60 / interval))
for ((n = 0; n <= samples; n++)); do
  # Samples are taken on the interval from the start, whatever each one took.
  while [ $((SECONDS - start)) -lt $((n * interval)) ]; do sleep 1; done
  if ! kill -0 "$process" 2>/dev/null; then
    echo "soak: the saver ended before second $((n * interval))" | tee -a "$out" >&2
    exit 1
  fi
  at=$((SECONDS - start))
  rate=$(python3 "$here/lib/frame-rate.py" 5 2>&1)
  fps=$(sed -n 's/.*fps=\([0-9.]*\).*/\1/p' <<<"$rate")
  grabs=$(sed -n 's/.*grabs=\([0-9.]*\).*/\1/p' <<<"$rate")
  printf '%9d  %6s  %6s  %3s  %4s  %13s  %4s  %11s\n' "$at" \
    "$(status_kb "$process" VmRSS)" "$(status_kb "$process" VmSize)" \
    "$(find "/proc/$process/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)" \
    "$(wc -l <"/proc/$process/maps" 2>/dev/null)" \
    "${server:+$(status_kb "$server" VmRSS)}" "${fps:-?}" "${grabs:-?}" | tee -a "$out"
done
echo "# $(date -Is) done; the saver still runs" | tee -a "$out"
