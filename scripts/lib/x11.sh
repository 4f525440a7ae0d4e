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

# stop_pids PID...: ends each of these processes that still runs, and reaps it.
stop_pids() {
  local pid
  for pid in "$@"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    fi
  done
  return 0
}

# show_gradient_desktop DIR W H SECONDS: covers a W x H screen with a yellow-to-blue picture
# (red equals green everywhere, so no pixel of it counts as a flame), shown by ImageMagick at
# the top left; sets display_pid and waits until a screenshot matches it. `display` may be a
# step off in a colour here and there, so the screenshot, DIR/desktop.ppm, is the reference.
show_gradient_desktop() {
  local dir=$1 w=$2 h=$3 timeout=$4
  "$(imagemagick convert)" -size "${w}x${h}" gradient:yellow-blue "$dir/desktop.png" || return 1
  "$(imagemagick display)" -borderwidth 0 -geometry +0+0 "$dir/desktop.png" </dev/null >/dev/null 2>&1 &
  display_pid=$!
  gradient_shown() {
    "$(imagemagick import)" -window root -depth 8 "ppm:$dir/desktop.ppm" 2>/dev/null || return 1
    [ "$("$(imagemagick compare)" -metric AE -fuzz 2% "$dir/desktop.ppm" "$dir/desktop.png" null: 2>&1)" = 0 ]
  }
  wait_for "$timeout" gradient_shown
}
