#!/usr/bin/env bash
# Every test: installs what is missing, builds the Windows, host and sanitizer builds, and
# runs their tests (the Windows ones under Wine on private X displays, beside the host's).
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || { echo "installing dependencies failed" >&2; exit 1; }

passed=0
failed=0
status=0

source scripts/lib/wine.sh

step() { echo; echo "=== $*"; }

# Runs a ctest command with JUnit output and adds its counts to the totals:
#   run_ctest STAGE COMMAND... (the command's ctest gets --output-junit last)
# A stage without a JUnit file or with no test in it fails: it must never pass for tests it
# did not run. Prints the stage's time and its ten slowest tests.
run_ctest() {
  local stage=$1
  shift
  local junit counts started=$SECONDS
  junit=$(mktemp --suffix=.xml)
  rm -f "$junit"
  "$@" --output-junit "$junit"
  local rc=$?
  if counts=$(python3 scripts/lib/junit-counts.py "$junit" 10); then
    local ok bad skipped
    read -r ok bad skipped <<<"$(head -n 1 <<<"$counts")"
    passed=$((passed + ok))
    failed=$((failed + bad))
    echo "stage \"$stage\": $ok passed, $bad failed, $skipped skipped in $((SECONDS - started)) s; slowest:"
    tail -n +2 <<<"$counts"
  else
    echo "stage \"$stage\" could not run its tests (exit status $rc); see the lines above" >&2
    failed=$((failed + 1))
  fi
  rm -f "$junit"
  [ "$rc" -eq 0 ] || status=1
}

build() {
  local started=$SECONDS
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" || { echo "build $1 failed" >&2; status=1; return 1; }
  echo "build $1: $((SECONDS - started)) s"
}

# The Windows program first: its tests under Wine mostly wait on windows and screenshots, so
# they run in the background while the host builds compile and test.
step "Windows program (i686)"
windows_built=0
build windows && windows_built=1

# Each run makes its Wine prefix anew, so nothing left from an earlier run (a prefix, a
# server) can change a result. The probe runs in it first, in a session of its own. Fresh
# prefixes, the tests' own too, are clones of one pristine prefix that no program runs in.
prefix=$PWD/build/windows/wineprefix
export KW_WINE_TEMPLATE=$PWD/build/wineprefix-template
runner=""
if [ "$windows_built" -eq 0 ]; then
  echo "stage \"Windows tests\" cannot run: the Windows build failed" >&2
  failed=$((failed + 1))
elif scripts/wine-session --prefix "$prefix" --fresh true; then
  runner=$(WINEPREFIX=$prefix scripts/windows-preset)
else
  echo "stage \"Windows tests\" cannot run: no Wine session could be started (see above)" >&2
  failed=$((failed + 1))
fi

# Where 32-bit Wine cannot start programs, the same sources built for x86_64 carry the
# Windows tests, in a prefix of their own.
fresh=()
if [ "$runner" = windows64 ]; then
  echo "32-bit Wine cannot start programs on this machine; the Windows tests run from the x86_64 build"
  step "Windows program (x86_64)"
  prefix=$PWD/build/windows64/wineprefix
  fresh=(--fresh)
  build windows64 || { runner=""; failed=$((failed + 1)); }
fi

# The background stage writes its lines and its counts to files, shown when it ends.
windows_log=$(mktemp)
windows_counts=$(mktemp)
windows_pid=""
cleanup() {
  [ -z "$windows_pid" ] || kill -TERM "$windows_pid" 2>/dev/null || true
  rm -f "$windows_log" "$windows_counts"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
if [ -n "$runner" ]; then
  echo "the Windows tests ($runner build) start in the background; their lines follow the host's"
  (
    passed=0 failed=0 status=0
    run_ctest "Windows tests" scripts/wine-session --prefix "$prefix" "${fresh[@]}" ctest --preset "$runner"
    echo "$passed $failed $status" >"$windows_counts"
  ) >"$windows_log" 2>&1 </dev/null &
  windows_pid=$!
fi

step "host build and tests"
build native && run_ctest "host tests" ctest --preset native

step "sanitizer build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
build sanitize && run_ctest "sanitizer tests" ctest --preset sanitize

if [ -n "$windows_pid" ]; then
  step "Windows tests under Wine ($runner build)"
  wait "$windows_pid"
  windows_pid=""
  cat "$windows_log"
  if read -r w_passed w_failed w_status <"$windows_counts" && [ -n "$w_status" ]; then
    passed=$((passed + w_passed))
    failed=$((failed + w_failed))
    [ "$w_status" -eq 0 ] || status=1
  else
    echo "stage \"Windows tests\" ended without its counts" >&2
    failed=$((failed + 1))
  fi
  # The session stops its server; one still running now would disturb the next run.
  if pid=$(wine_server_pid "$prefix"); then
    echo "FAIL: Wine server $pid was still running for $prefix after the tests"
    failed=$((failed + 1))
  fi
fi

echo
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit "$status"
