# Shell helpers about Wine: its loaders and its sessions; source it (bash).

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

# wine_loader 32|64: prints the Wine loader for programs of that many bits; fails when Wine
# lacks it. Debian keeps the 64-bit loader out of PATH.
wine_loader() {
  if [ "$1" = 64 ]; then
    if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else command -v wine64; fi
  else
    command -v wine
  fi
}

# wine_program_bits EXE: prints 64 or 32 from the machine field of EXE's PE header.
wine_program_bits() {
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  if [ "$machine" = 8664 ]; then echo 64; else echo 32; fi
}
