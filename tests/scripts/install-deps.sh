#!/usr/bin/env bash
# scripts/install-deps.sh on a bad day, against stand-ins for apt-get, dpkg and dpkg-query:
# a package index that keeps failing as a mirror mid-sync does, i386 packages that do not
# resolve, and a package that every path needs refused. Nothing real is installed.
#   install-deps.sh SOURCE_DIR
set -uo pipefail
source "$1/tests/e2e/checks.sh"
script=$1/scripts/install-deps.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# The stand-ins keep their state in files: what is installed, what apt was asked.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
# dpkg-query -W -f=FORMAT PACKAGE
for p; do :; done
grep -qxF "$p" "$STATE/installed" 2>/dev/null && printf 'install ok installed' && exit 0
exit 1
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
case "$1" in
  --print-foreign-architectures) cat "$STATE/arches" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$STATE/arches" ;;
esac
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/bash
echo "$*" >>"$STATE/calls"
case " $* " in
  *" update "*)
    if [ -e "$STATE/bad-mirror" ]; then
      echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
      exit 100
    fi
    exit 0 ;;
esac
packages=()
for a; do case "$a" in -*|install) ;; *) packages+=("$a") ;; esac; done
for p in "${packages[@]}"; do
  if { [[ $p == *:i386 ]] && [ -e "$STATE/bad-mirror" ]; } || grep -qxF "$p" "$STATE/refused" 2>/dev/null; then
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100
  fi
done
printf '%s\n' "${packages[@]}" >>"$STATE/installed"
STUB
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

# run NAME: a fresh state for scenario NAME; sets out and rc from one run of the script.
run() {
  export STATE=$work/$1
  mkdir -p "$STATE"
  touch "$STATE/installed" "$STATE/calls"
}
go() {
  out=$(PATH="$work/bin:$PATH" KW_APT_RETRY_SECONDS=0 bash "$script" 2>&1)
  rc=$?
}
installed() { grep -qxF "$1" "$STATE/installed"; }

# A mirror mid-sync: the index keeps failing and no i386 package resolves.
run bad-day
touch "$STATE/bad-mirror"
go
check $rc "on a bad day the script exits 0 (got $rc)"
[ "$(grep -c '^update' "$STATE/calls")" -eq 4 ]
check $? "the index update was tried 4 times: $(grep -c '^update' "$STATE/calls")"
grep -q 'apt-get update failed .*binary-i386/Packages.xz' <<<"$out"
check $? "one line names the index that failed: $out"
grep -q '32-bit Wine .* the x86-64 build' <<<"$out"
check $? "one line says the x86-64 build carries the Windows tests: $out"
installed cmake && installed wine64 && installed xserver-xorg-video-dummy
check $? "what every path needs is installed: $(wc -l <"$STATE/installed") packages"
! installed wine32:i386
check $? "32-bit Wine is not installed"
! grep '^install' "$STATE/calls" | grep -qv -- '--no-remove'
check $? "no install may remove a package (--no-remove): $(grep -c '^install' "$STATE/calls") installs"
grep -qx i386 "$STATE/arches"
check $? "the i386 architecture was added"

# The next run on a good day installs the i386 half and nothing else.
rm "$STATE/bad-mirror"
: >"$STATE/calls"
go
check $rc "on the good day after, the script exits 0 (got $rc)"
installed wine32:i386 && installed libxrandr2:i386
check $? "the good day installs 32-bit Wine and its X libraries"
[ "$(grep -c 'install' "$STATE/calls")" -eq 1 ] && grep 'install' "$STATE/calls" | grep -q 'wine32:i386' &&
  ! grep 'install' "$STATE/calls" | grep -qw cmake
check $? "only the i386 half was asked for: $(grep install "$STATE/calls")"
go
[ $rc -eq 0 ] && [ "$(grep -c . "$STATE/calls")" -eq 2 ]
check $? "with everything installed apt is not run again (status $rc)"

# A package every path needs that cannot be installed fails the script, by name, and does
# not keep the others out.
run refused
echo xvfb >"$STATE/refused"
go
[ $rc -ne 0 ]
check $? "a refused xvfb fails the script (got $rc)"
grep -q 'could not install xvfb' <<<"$out"
check $? "the failure names it: $out"
installed cmake && installed nsis
check $? "the other packages were installed one by one"

checks_end install-deps
