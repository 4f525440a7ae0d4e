#!/usr/bin/env bash
# Every test: installs what is missing, builds the host, sanitizer and Windows builds,
# and runs their tests (the Windows ones under Wine on a private X display).
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || { echo "installing dependencies failed" >&2; exit 1; }

passed=0
failed=0
status=0

source scripts/lib/wine.sh

step() { echo; echo "=== $*"; }

# Runs ctest for a preset and adds its counts to the totals. A stage that ran no tests fails:
# it must never pass for tests it did not run.
run_ctest() {
  local stage=$1
  shift
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    local bad all
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    all=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + all - bad))
    failed=$((failed + bad))
  else
    echo "stage \"$stage\" could not run its tests (exit status $rc); see the lines above" >&2
    failed=$((failed + 1))
  fi
  rm -f "$log"
  [ "$rc" -eq 0 ] || status=1
}

build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" || { echo "build $1 failed" >&2; status=1; return 1; }
}

step "host build and tests"
build native && run_ctest "host tests" ctest --preset native

step "sanitizer build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
build sanitize && run_ctest "sanitizer tests" ctest --preset sanitize

step "Windows program (i686)"
windows_built=0
build windows && windows_built=1

# Each run makes its Wine prefix anew, so nothing left from an earlier run (a prefix, a
# server) can change a result. The probe runs in it first, in a session of its own.
prefix=$PWD/build/windows/wineprefix
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

if [ -n "$runner" ]; then
  step "Windows tests under Wine ($runner build)"
  run_ctest "Windows tests" scripts/wine-session --prefix "$prefix" "${fresh[@]}" ctest --preset "$runner"
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
