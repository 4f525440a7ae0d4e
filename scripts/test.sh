#!/usr/bin/env bash
# Every test: installs what is missing, builds the host, sanitizer and Windows builds,
# and runs their tests (the Windows ones under Wine on a private X display).
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || { echo "installing dependencies failed" >&2; exit 1; }

passed=0
failed=0
status=0

step() { echo; echo "=== $*"; }

# Runs ctest for a preset and adds its counts to the totals.
run_ctest() {
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
  fi
  rm -f "$log"
  [ "$rc" -eq 0 ] || status=1
}

build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" || { echo "build $1 failed" >&2; status=1; return 1; }
}

step "host build and tests"
build native && run_ctest ctest --preset native

step "sanitizer build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
build sanitize && run_ctest ctest --preset sanitize

step "Windows program (i686)"
build windows

# Where 32-bit Wine cannot start programs, the same sources built for x86_64 carry the
# Windows tests.
runner=$(scripts/windows-preset)
if [ "$runner" = windows64 ]; then
  echo "32-bit Wine cannot start programs on this machine; the Windows tests run from the x86_64 build"
  step "Windows program (x86_64)"
  build windows64 || runner=""
fi

if [ -n "$runner" ]; then
  step "Windows tests under Wine ($runner build)"
  run_ctest scripts/with-display ctest --preset "$runner"
fi

echo
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit "$status"
