# Shell helpers about Wine sessions; source it.

# wine_server_pid PREFIX: prints the pid of a Wine server running for PREFIX, without
# touching it; fails when there is none. A server works in a folder named after the
# prefix's device and inode.
wine_server_pid() {
  local id pid
  id=$(stat -c '%d %i' "$1" 2>/dev/null) || return 1
  # shellcheck disable=SC2086
  id=$(printf 'server-%x-%x' $id)
  for pid in $(pgrep '^wineserver' 2>/dev/null); do
    [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$id" ] && { echo "$pid"; return 0; }
  done
  return 1
}

# wine_process_pids PREFIX: prints the pids of Wine programs started for PREFIX. Programs
# outlive a server that was killed, and nothing else would ever end them.
wine_process_pids() {
  local pid
  for pid in $(pgrep -f . 2>/dev/null); do
    case "$(readlink "/proc/$pid/exe" 2>/dev/null)" in
      */wine/*|*/wine|*/wine64|*/wine-preloader|*/wine64-preloader) ;;
      *) continue ;;
    esac
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$1" && echo "$pid"
  done
  return 0
}
