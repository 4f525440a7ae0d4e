# The check printer of the shell end-to-end tests; source it. Each check prints what it saw.
passed=0
failed=0

# check STATUS WHAT...: PASS when STATUS is 0, else FAIL; both are counted.
check() {
  local ok=$1
  shift
  if [ "$ok" -eq 0 ]; then
    echo "PASS: $*"
    passed=$((passed + 1))
  else
    echo "FAIL: $*"
    failed=$((failed + 1))
  fi
}

# checks_end NAME: the closing line, "NAME: N passed, N failed"; fails when a check did.
checks_end() {
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
