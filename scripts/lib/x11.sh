# Shell helpers for the scripts that drive Wine on an X display; source it.

# Prints the path of ImageMagick's own NAME (convert, display, import, compare): another
# program may stand in for `convert` on the PATH. Fails when ImageMagick lacks it.
imagemagick() {
  local tool
  for tool in "$1-im6.q16" "/usr/bin/$1"; do
    if command -v "$tool" >/dev/null 2>&1; then
      echo "$tool"
      return 0
    fi
  done
  return 1
}

# wait_for SECONDS COMMAND...: polls COMMAND until it succeeds or SECONDS pass.
wait_for() {
  local timeout=$1
  shift
  local deadline=$((SECONDS + timeout))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

# saver_window_shown W H: a visible window of the saver covers a W x H screen.
saver_window_shown() {
  local id
  for id in $(xdotool search --onlyvisible --classname '^kindlewick' 2>/dev/null); do
    xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $1x$2" && return 0
  done
  return 1
}
