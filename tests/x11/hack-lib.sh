# Shell helpers for the hack's end-to-end tests; source it.

here_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../e2e/checks.sh
source "$here_lib/../e2e/checks.sh"
# shellcheck source=../../scripts/lib/x11.sh
source "$here_lib/../../scripts/lib/x11.sh"

# shellcheck source=../../scripts/lib/child.sh
source "$here_lib/../../scripts/lib/child.sh"

# on_private_display [SCREEN] -- ARGUMENTS...: runs this test again on an Xvfb of its own
# (1024x768x24 unless SCREEN, as WxHxDEPTH), and returns once it runs there.
on_private_display() {
  local screen=()
  [ "$1" = -- ] || { screen=("WITH_DISPLAY_SCREEN=$1"); shift; }
  shift
  reenter KW_HACK_DISPLAY env -u DISPLAY "${screen[@]}" "$here_lib/../../scripts/with-display" -- "$@"
}

# stat_of NAME LINE: one value from a line of `x11_probe stats`.
stat_of() {
  local pair
  for pair in $2; do
    [ "${pair%%=*}" = "$1" ] && { echo "${pair#*=}"; return 0; }
  done
  echo 0
}

# need TOOL...: exits with status 2 (a broken setup, not a failure) when a tool is missing.
need() {
  local tool missing=""
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
  done
  if [ -n "$missing" ]; then
    echo "missing tools:$missing (scripts/install-deps.sh installs them)" >&2
    exit 2
  fi
}

# A desktop picture the fires cannot be mistaken for: grey with magenta squares.
show_desktop() {
  local w=$1 h=$2 file=$3
  "$(imagemagick convert)" -size "${w}x${h}" xc:gray50 -fill magenta \
    -draw "rectangle 0,0 $((w / 3)),$((h / 3))" -draw "rectangle $((w / 2)),$((h / 2)) $((w - 1)),$((h - 1))" "$file"
  # display returns 1 even when the picture is shown.
  "$(imagemagick display)" -window root "$file" || true
}

# as_user HOME COMMAND...: runs a command as XScreenSaver wants to be run, not as root: as
# nobody when we are root, with a clean environment, the given HOME and that folder as its
# working folder (the test's own may lie in a checkout that user cannot enter).
as_user() {
  local home=$1
  shift
  local path=/usr/libexec/xscreensaver:/usr/local/bin:/usr/bin:/bin
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups env -i -C "$home" HOME="$home" DISPLAY="$DISPLAY" PATH="$path" "$@"
  else
    env -i -C "$home" HOME="$home" DISPLAY="$DISPLAY" PATH="$path" "$@"
  fi
}

# A folder that the unprivileged user can read, with a copy of the hack in it when given.
private_dir() {
  local dir
  dir=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-x11.XXXXXX")
  chmod 755 "$dir"
  [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$dir"
  echo "$dir"
}
