# Shell helpers about Wine sessions; source it.

# wine_server_pid PREFIX: prints the pid of a Wine server running for PREFIX, without
# touching it; fails when there is none. A server works in a folder named after the
# prefix's device and inode.
wine_server_pid() {
  local id pid
  id=$(stat -c '%d %i' "$1" 2>/dev/null) || return 1
  # shellcheck disable=SC2086
  id=$(printf 'server-%x-%x' $id)
  for pid in $(pgrep -x 'wineserver|wineserver64|wineserver32' 2>/dev/null); do
    [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$id" ] && { echo "$pid"; return 0; }
  done
  return 1
}
