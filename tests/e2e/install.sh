#!/usr/bin/env bash
# The setup program end to end, in a fresh Wine prefix of 64-bit or 32-bit Windows, as a user
# or an administrator would use it:
#   tests/e2e/install.sh SETUP.exe VERSION SAVER.scr SAVER64.scr OLD_SAVER.scr INSTALLER.nsi ICON PREFIX win64|win32
# SAVER.scr and SAVER64.scr are the i686 and x86-64 savers the setup program carries; an
# older setup (version 0.9.0, carrying OLD_SAVER.scr) is made from INSTALLER.nsi to check the
# upgrade. It runs in a Wine session of its own on PREFIX, made afresh (the system folder,
# HKLM and the current screen saver are the test's to change). Exit 77: skipped.
set -uo pipefail

if [ $# -ne 9 ] || { [ "$9" != win64 ] && [ "$9" != win32 ]; }; then
  echo "usage: $0 SETUP.exe VERSION SAVER.scr SAVER64.scr OLD_SAVER.scr INSTALLER.nsi ICON PREFIX win64|win32" >&2
  exit 2
fi
setup=$1 version=$2 saver32=$3 saver64=$4 old_saver=$5 nsi=$6 icon=$7 arch=$9
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
wine_run="$root/scripts/wine-run"

# shellcheck source=../../scripts/lib/x11.sh
source "$root/scripts/lib/x11.sh"
# shellcheck source=../../scripts/lib/wine.sh
source "$root/scripts/lib/wine.sh"

# The setup program is a 32-bit Windows program: 32-bit Wine must start, and it cannot on a
# kernel without 32-bit support.
loader32=$(wine_loader 32 2>/dev/null)
if [ -z "$loader32" ]; then
  echo "SKIPPED: 32-bit Wine is not installed, and the setup program is a 32-bit program"
  exit 77
fi
"$loader32" --version >/dev/null 2>&1
if [ $? -eq 126 ]; then
  echo "SKIPPED: this kernel cannot run 32-bit programs, so 32-bit Wine cannot start the setup program"
  exit 77
fi
if [ "$arch" = win64 ] && [ -z "$(wine_loader 64 2>/dev/null)" ]; then
  echo "SKIPPED: 64-bit Wine is not installed, so there is no 64-bit prefix"
  exit 77
fi
for f in "$setup" "$saver32" "$saver64" "$old_saver" "$nsi" "$icon"; do
  [ -f "$f" ] || { echo "install: missing $f (is makensis installed? run scripts/install-deps.sh)" >&2; exit 2; }
done
# The prefix of 32-bit Windows is made by the 32-bit loader (scripts/wine-session).
if [ "$arch" = win32 ]; then export WINEARCH=win32; else unset WINEARCH; fi
# A display of its own too: its full-screen saver and keys must not meet another test's.
# shellcheck source=../../scripts/lib/child.sh
source "$root/scripts/lib/child.sh"
reenter KW_INSTALL_SESSION env -u DISPLAY "$root/scripts/wine-session" --prefix "$8" --fresh -- "$@"

# shellcheck source=checks.sh
source "$(dirname "$0")/checks.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/install.XXXXXX")
saver_pid=""
user_home=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
  rm -rf "$work" ${user_home:+"$user_home"}
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
desktop_key='HKCU\Control Panel\Desktop'
settings_key='HKCU\Software\Kindlewick.\kindlewick\Config'

# The registry as a 32-bit program sees it (the uninstall entry of a 32-bit setup lives in
# the 32-bit view on 64-bit Windows).
reg32() {
  local reg="$WINEPREFIX/drive_c/windows/syswow64/reg.exe"
  [ -f "$reg" ] || reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
  "$wine_run" "$reg" "$@" 2>/dev/null | tr -d '\r'
}
# reg_value KEY NAME: the data of one value, or nothing.
reg_value() {
  reg32 query "$1" /v "$2" | awk -v name="$2" '
    { line = $0; sub(/^ +/, "", line) }
    tolower(substr(line, 1, length(name) + 4)) == tolower(name) "    " {
      line = substr(line, length(name) + 5)
      sub(/^REG_[A-Z_]+    /, "", line)
      print line
      exit
    }'
}

# C:\windows\... in the prefix, found case-insensitively as Windows would.
win_to_unix() {
  local path="$WINEPREFIX/drive_c" part match parts
  case "$1" in [Cc]:\\*) ;; *) return 1 ;; esac
  IFS='\' read -ra parts <<<"${1:3}"
  for part in "${parts[@]}"; do
    match=$(find "$path" -mindepth 1 -maxdepth 1 -iname "$part" -print -quit 2>/dev/null)
    [ -n "$match" ] || return 1
    path=$match
  done
  echo "$path"
}

# Number of uninstall entries named Kindlewick.
entries() { reg32 query "$uninstall_key" /s | grep -ci 'DisplayName *REG_SZ *Kindlewick'; }
# What setup recorded of the saver it replaced.
replaced_record() { reg32 query "$replaced_key" 2>/dev/null | grep -ci 'SCRNSAVE.EXE *REG_SZ'; }
replaced_key='HKCU\Software\Kindlewick.\Replaced'

# The saver goes into the native system folder; 64-bit Windows gets the x86-64 saver there,
# and nothing in SysWOW64.
system32="$WINEPREFIX/drive_c/windows/system32"
syswow64="$WINEPREFIX/drive_c/windows/syswow64"
installed="$system32/kindlewick.scr"
if [ "$arch" = win64 ]; then
  saver=$saver64
  [ -d "$syswow64" ]
  check $? "the prefix is one of 64-bit Windows: it has $syswow64"
else
  saver=$saver32
  [ ! -e "$syswow64" ]
  check $? "the prefix is one of 32-bit Windows: it has no syswow64"
fi
# Version 1.0 put the i686 saver into SysWOW64 on 64-bit Windows and named it there.
earlier_copy="$syswow64/kindlewick.scr"

# --- an older version first, then this one over it ------------------------------------------
# The user had another saver, switched off: uninstalling must bring that back.
earlier_saver='C:\windows\system32\earlier.scr'
reg32 add "$desktop_key" /v SCRNSAVE.EXE /t REG_SZ /d "$earlier_saver" /f >/dev/null
reg32 add "$desktop_key" /v ScreenSaveActive /t REG_SZ /d 0 /f >/dev/null
reg32 add "$settings_key" /v FlyWidth /t REG_DWORD /d 7 /f >/dev/null
if ! makensis -V1 -DVERSION=0.9.0 "-DSCR=$old_saver" "-DSCR64=$old_saver" "-DICON=$icon" \
    "-DOUTFILE=$work/old-setup.exe" "$nsi"; then
  echo "install: could not make the older setup program" >&2
  exit 1
fi
"$wine_run" "$work/old-setup.exe" /S >"$work/old.log" 2>&1
status=$?
check $status "the older setup (0.9.0) installed silently: exit status $status"
old_place=$installed
if [ "$arch" = win64 ]; then
  mv "$installed" "$earlier_copy" &&
    reg32 add "$desktop_key" /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\SysWOW64\kindlewick.scr' /f >/dev/null
  old_place=$earlier_copy
fi
cmp -s "$old_place" "$old_saver"
check $? "the older i686 saver is in the system folder: $old_place"
got=$(reg_value "$uninstall_key\\Kindlewick" DisplayVersion)
[ "$got" = 0.9.0 ]
check $? "its uninstall entry says version '$got'"

"$wine_run" "$setup" /S >"$work/new.log" 2>&1
status=$?
check $status "setup $version installed silently over it: exit status $status"
cmp -s "$installed" "$saver"
check $? "system32 holds the new $(wine_program_bits "$saver")-bit saver ($(stat -c %s "$installed" 2>/dev/null) bytes," \
  "want $(stat -c %s "$saver"))"
if [ "$arch" = win64 ]; then
  [ ! -e "$earlier_copy" ]
  check $? "the older copy in syswow64 is gone"
fi
count=$(entries)
[ "$count" -eq 1 ]
check $? "Add or Remove Programs lists Kindlewick $count time(s)"
got=$(reg_value "$replaced_key" SCRNSAVE.EXE)
[ "$got" = "$earlier_saver" ]
check $? "the record of the saver Kindlewick replaced stays: '$got'"
got=$(reg_value "$settings_key" FlyWidth)
[ "$got" = 0x7 ]
check $? "the user's settings stay: FlyWidth '$got'"

key="$uninstall_key\\Kindlewick"
got=$(reg_value "$key" DisplayVersion)
[ "$got" = "$version" ]
check $? "the uninstall entry holds the version: '$got', want '$version'"
for name in DisplayName Publisher DisplayIcon EstimatedSize UninstallString QuietUninstallString; do
  got=$(reg_value "$key" "$name")
  [ -n "$got" ]
  check $? "the uninstall entry has $name: '$got'"
done
quiet=$(reg_value "$key" QuietUninstallString)

current=$(reg_value "$desktop_key" SCRNSAVE.EXE)
current_file=$(win_to_unix "$current")
[ -n "$current_file" ] && [ "$current_file" -ef "$installed" ]
check $? "SCRNSAVE.EXE names the installed saver: '$current' ($current_file)"
got=$(reg_value "$desktop_key" ScreenSaveActive)
[ "$got" = 1 ]
check $? "ScreenSaveActive is '$got'"

# A running saver can be neither replaced nor removed: both report it (exit status 2) and
# leave the installation as it was.
in_use_fails() {
  local status instdir words
  "$wine_run" "$setup" /S >"$work/busy-setup.log" 2>&1
  status=$?
  [ "$status" -eq 2 ]
  check $? "setup over the running saver fails: exit status $status"
  instdir=$(reg_value "$key" InstallLocation)
  # _?= runs the uninstaller in place, so that its exit status is the removal's. It takes the
  # rest of the command line unquoted: one word per argument keeps Wine from quoting it.
  read -ra words <<<"_?=$instdir"
  "$wine_run" "$(win_to_unix "$instdir")/uninstall.exe" /S "${words[@]}" >"$work/busy-uninstall.log" 2>&1
  status=$?
  [ "$status" -eq 2 ]
  check $? "removal of the running saver fails: exit status $status"
  [ -f "$installed" ] && [ "$(entries)" -eq 1 ] && [ -n "$(reg_value "$desktop_key" SCRNSAVE.EXE)" ] &&
    [ "$(reg_value "$key" DisplayVersion)" = "$version" ]
  check $? "the saver, its entry ($(entries)) and SCRNSAVE.EXE are all still there"
}

# --- the installed saver, started as the system would ----------------------------------------
read -r screen_w screen_h < <(xwininfo -root | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w, h}')
xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
if [ -n "$current_file" ]; then
  "$wine_run" "$current_file" /s >"$work/saver.log" 2>&1 &
  saver_pid=$!
  if wait_for 90 saver_window_shown "$screen_w" "$screen_h"; then
    check 0 "the installed saver covers the ${screen_w}x${screen_h} screen"
    in_use_fails
    kill -0 "$saver_pid" 2>/dev/null
    check $? "the saver still runs after the failed upgrade and removal"
    xdotool key a
    saver_ended() { ! kill -0 "$saver_pid" 2>/dev/null; }
    if wait_for 30 saver_ended; then
      wait "$saver_pid"
      status=$?
    else
      status=-1
    fi
    [ "$status" -eq 0 ]
    check $? "a key ended it with status $status (-1: still running after 30s)"
  else
    check 1 "the installed saver showed no full-screen window within 90s"
  fi
  kill "$saver_pid" 2>/dev/null
  saver_pid=""
fi

# --- silent removal: the saver, its entry and the current-saver setting go, settings stay -----
uninstaller=${quiet#\"}
uninstaller=${uninstaller%%\"*}
uninstaller_file=$(win_to_unix "$uninstaller")
[ -n "$uninstaller_file" ]
check $? "the quiet uninstall command '$quiet' names a file: $uninstaller_file"
# The uninstaller copies itself away and returns at once; its copy does the work.
"$wine_run" "$uninstaller_file" /S >"$work/uninstall.log" 2>&1
removed() { [ ! -e "$installed" ] && [ "$(entries)" -eq 0 ] && [ ! -e "$uninstaller_file" ]; }
wait_for 120 removed
check $? "the saver, the uninstall entry and the uninstaller are gone" \
  "(saver $( [ -e "$installed" ] && echo present || echo gone), $(entries) entries)"
got=$(reg_value "$desktop_key" SCRNSAVE.EXE)
[ "$got" = "$earlier_saver" ]
check $? "SCRNSAVE.EXE names the earlier saver again: '$got'"
got=$(reg_value "$desktop_key" ScreenSaveActive)
[ "$got" = 0 ]
check $? "ScreenSaveActive is the earlier '0' again: '$got'"
got=$(reg_value "$settings_key" FlyWidth)
[ "$got" = 0x7 ]
check $? "the user's settings stay: FlyWidth '$got'"
got=$(replaced_record)
[ "$got" -eq 0 ]
check $? "the record of the replaced saver is gone ($got values)"

# --- a registry cleaner took the uninstall entry: removal still finishes ----------------------
# Both ways: copied away, and in place as deployment scripts wait for it (then it exits 0
# once all is removed, and only itself stays).
for mode in copy in-place; do
  "$wine_run" "$setup" /S >"$work/again-$mode.log" 2>&1
  status=$?
  instdir=$(reg_value "$key" InstallLocation)
  reg32 delete "$key" /f >/dev/null
  [ "$status" -eq 0 ] && [ -e "$installed" ] && [ -n "$instdir" ] && [ "$(entries)" -eq 0 ]
  check $? "$mode: setup installed again (exit status $status), then the entry was deleted ($(entries) left)"
  words=()
  [ "$mode" = copy ] || read -ra words <<<"_?=$instdir"
  "$wine_run" "$uninstaller_file" /S "${words[@]}" >"$work/cleaned-$mode.log" 2>&1
  status=$?
  if [ "$mode" = copy ]; then
    gone() { [ ! -e "$installed" ] && [ ! -e "$uninstaller_file" ] && [ "$(replaced_record)" -eq 0 ]; }
    wait_for 120 gone
  fi
  uninstaller_left=$([ -e "$uninstaller_file" ] && echo stays || echo "is gone")
  want_left=$([ "$mode" = copy ] && echo "is gone" || echo stays)
  [ "$status" -eq 0 ] && [ ! -e "$installed" ] && [ "$uninstaller_left" = "$want_left" ]
  check $? "$mode: uninstall.exe /S ${words[*]}: exit status $status," \
    "saver $( [ -e "$installed" ] && echo present || echo gone), the uninstaller $uninstaller_left"
  got=$(reg_value "$desktop_key" SCRNSAVE.EXE)
  [ "$got" = "$earlier_saver" ] && [ "$(replaced_record)" -eq 0 ]
  check $? "$mode: SCRNSAVE.EXE names the earlier saver again: '$got'; record of it: $(replaced_record) values"
done

# --- the elevated copy alone: the machine part, and nothing in its user's registry -------------
# A user-level setup starts it with the runas verb when not elevated; whoever it runs as, the
# current saver is the starting user's to change.
reg32 delete "HKCU\\Software\\Kindlewick." /f >/dev/null
"$wine_run" "$setup" /MACHINE /S >"$work/machine.log" 2>&1
status=$?
[ "$status" -eq 0 ] && cmp -s "$installed" "$saver" && [ "$(entries)" -eq 1 ]
check $? "setup /MACHINE /S: exit status $status, the saver and $(entries) entry installed"
got=$(reg_value "$desktop_key" SCRNSAVE.EXE)
replaced=$(replaced_record)
[ "$got" = "$earlier_saver" ] && [ "$replaced" -eq 0 ]
check $? "it left SCRNSAVE.EXE alone: '$got', nothing recorded as replaced ($replaced)"
reg32 add "$desktop_key" /v SCRNSAVE.EXE /t REG_SZ /d "$current" /f >/dev/null
read -ra words <<<"_?=$(reg_value "$key" InstallLocation)"
"$wine_run" "$uninstaller_file" /MACHINE /S "${words[@]}" >"$work/machine-uninstall.log" 2>&1
status=$?
got=$(reg_value "$desktop_key" SCRNSAVE.EXE)
[ "$status" -eq 0 ] && [ ! -e "$installed" ] && [ "$(entries)" -eq 0 ] && [ "$got" = "$current" ]
check $? "uninstall.exe /MACHINE /S: exit status $status, saver $( [ -e "$installed" ] && echo present || echo gone)," \
  "$(entries) entries, SCRNSAVE.EXE left as '$got'"

# --- a read-only saver is removed: as a user whose rights Wine enforces -----------------------
# As root Wine ignores the read-only attribute, so this runs as nobody, in a prefix of its own.
plain_user=()
user_name=$(id -un)
skip_reason=""
if [ "$(id -u)" -eq 0 ]; then
  if command -v setpriv >/dev/null 2>&1 && id nobody >/dev/null 2>&1; then
    plain_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    user_name=nobody
  else
    skip_reason="running as root without setpriv or the user nobody"
  fi
fi
if [ -n "$skip_reason" ]; then
  echo "SKIPPED: a read-only saver's removal: $skip_reason"
else
  # That user may not enter the checkout (a clone in a private folder): what it runs is copied
  # to a folder of its own.
  user_home=$(mktemp -d "${TMPDIR:-/tmp}/install-user.XXXXXX")
  cp "$setup" "$user_home/setup.exe"
  mkdir "$user_home/scripts"
  cp -r "$root/scripts/wine-session" "$root/scripts/wine-run" "$root/scripts/with-display" "$root/scripts/lib" \
    "$user_home/scripts/"
  [ "$(id -u)" -ne 0 ] || chown -R nobody:nogroup "$user_home"
  chmod 755 "$user_home"
  # shellcheck disable=SC2016
  (cd "$user_home" && "${plain_user[@]}" env -i HOME="$user_home" DISPLAY="$DISPLAY" PATH="$PATH" \
    ${WINEARCH:+WINEARCH=$WINEARCH} "$user_home/scripts/wine-session" --prefix "$user_home/prefix" bash -c \
    "$(declare -f reg32 win_to_unix)"'
    wine_run=$1
    "$wine_run" "$HOME/setup.exe" /S >"$HOME/setup.log" 2>&1
    echo "setup=$?"
    saver="$WINEPREFIX/drive_c/windows/system32/kindlewick.scr"
    "$wine_run" "$(dirname "$saver")/attrib.exe" +r "C:\\windows\\system32\\kindlewick.scr" >/dev/null 2>&1
    [ -f "$saver" ] && [ ! -w "$saver" ] && echo "read_only=yes"
    instdir=$(reg32 query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kindlewick" /v InstallLocation |
      sed -n "s/^ *InstallLocation *REG_SZ *//p")
    read -ra words <<<"_?=$instdir"
    "$wine_run" "$(win_to_unix "$instdir")/uninstall.exe" /S "${words[@]}" >"$HOME/uninstall.log" 2>&1
    echo "uninstall=$?"
    [ -e "$saver" ] || echo "removed=yes"
  ' _ "$user_home/scripts/wine-run") >"$work/read-only.out" 2>&1
  result() { sed -n "s/^$1=//p" "$work/read-only.out"; }
  [ "$(result setup)" = 0 ] && [ "$(result read_only)" = yes ]
  check $? "as $user_name, setup installed a saver made read-only: setup '$(result setup)', read-only '$(result read_only)'"
  [ "$(result setup)" = 0 ] && [ "$(result uninstall)" = 0 ] && [ "$(result removed)" = yes ]
  status=$?
  check $status "uninstall.exe /S removed the read-only saver: exit status '$(result uninstall)', removed '$(result removed)'"
  [ "$status" -eq 0 ] || sed 's/^/read-only: /' "$work/read-only.out"
  rm -rf "$user_home"
  user_home=""
fi

checks_end install
