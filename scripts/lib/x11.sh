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
