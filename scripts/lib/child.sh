# Shell helpers for the scripts that wrap one command; source it (bash).

# exit_on_signals: HUP, INT and TERM end this script with the usual status, so that its
# EXIT trap still cleans up.
exit_on_signals() {
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# run_child [--forward] COMMAND...: runs COMMAND in the background, so that a signal to this
# script is handled at once, with this script's standard input (which a background job would
# lose), and returns COMMAND's status once it has ended. Its pid is in `child` while it runs.
# --forward passes HUP, INT and TERM on to COMMAND and keeps waiting for it; otherwise the
# traps already set apply.
run_child() {
  local forward=0 status=0 sig
  if [ "$1" = --forward ]; then
    forward=1
    shift
  fi
  "$@" <&0 &
  child=$!
  if [ "$forward" -eq 1 ]; then
    for sig in HUP INT TERM; do
      trap "kill -$sig $child 2>/dev/null || true" "$sig"
    done
  fi
  while :; do
    wait "$child" && status=0 || status=$?
    # A trapped signal interrupts wait; keep waiting until the command itself has ended.
    kill -0 "$child" 2>/dev/null || break
  done
  child=""
  [ "$forward" -eq 0 ] || exit_on_signals
  return "$status"
}

# reenter MARKER WRAPPER... -- ARGUMENTS...: unless the variable MARKER is set, runs this script
# again with ARGUMENTS inside WRAPPER (a command that runs the rest of its command line), with
# MARKER=1 in the environment, and does not return. The one way a script puts itself inside
# a display or a Wine session.
reenter() {
  local marker=$1
  shift
  [ -z "${!marker:-}" ] || return 0
  local wrapper=()
  while [ "$1" != -- ]; do
    wrapper+=("$1")
    shift
  done
  shift
  exec env "$marker=1" "${wrapper[@]}" bash "$0" "$@"
}
