#!/usr/bin/env bash
# Builds the release twice from this commit, in two fresh clones in two temporary folders,
# the second later, in another time zone, with another umask and in a folder whose path has
# a space, and compares the SHA-256 of every artefact: both kindlewick.scr (i686 and x86-64),
# the setup program, the zip, the .deb and SHA256SUMS (which covers the winget manifests too).
# On a mismatch it prints diffoscope's summary of the difference. Heavy (two full builds, no compiler cache); not part of the test command.
#   scripts/check-reproducible.sh
# A working tree with uncommitted changes is reported: the clones build the commit, not
# the changes. Exit status: 0 identical, 1 different (or an artefact missing), 2 broken setup.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

for tool in git sha256sum cmake makensis cpack; do
  command -v "$tool" >/dev/null || { echo "check-reproducible: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
commit=$(git rev-parse HEAD) || exit 2
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "check-reproducible: the working tree is dirty; comparing two builds of commit $commit, without those changes"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kindlewick-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
started=$(date +%s)

# build N TZ UMASK: clones the commit into $work/N/kindlewick and runs the release there.
build() {
  local n=$1 dir="$work/$1/kindlewick"
  git clone -q --no-local "$root" "$dir" && git -C "$dir" checkout -q --detach "$commit" || return 1
  echo "build $n: $dir (TZ=$2, umask $3)"
  (cd "$dir" && umask "$3" && env -u SOURCE_DATE_EPOCH TZ="$2" CCACHE_DISABLE=1 \
     bash scripts/release.sh >"$work/$n.log" 2>&1) || { echo "build $n failed:"; tail -20 "$work/$n.log"; return 1; }
  mkdir -p "$work/$n/out"
  cp "$dir"/dist/kindlewick-*-setup.exe "$dir"/dist/kindlewick-*-win32.zip "$dir"/dist/kindlewick_*.deb \
     "$dir"/dist/SHA256SUMS "$work/$n/out/" &&
    cp "$dir/build/windows/installer/stage/x86/kindlewick.scr" "$work/$n/out/kindlewick-x86.scr" &&
    cp "$dir/build/windows/installer/stage/x64/kindlewick.scr" "$work/$n/out/kindlewick-x64.scr"
}
build 1 UTC 0022 || exit 1
sleep 2
# dpkg-buildflags leaves its path maps out for a path with a space: the build must not need them.
build "2 my dir" Pacific/Kiritimati 0002 || exit 1

status=0
count=0
for file in "$work"/1/out/*; do
  name=${file##*/}
  other="$work/2 my dir/out/$name"
  count=$((count + 1))
  if [ ! -f "$other" ]; then
    echo "DIFFERENT  $name: only the first build made it"
    status=1
    continue
  fi
  a=$(sha256sum <"$file" | cut -d' ' -f1) b=$(sha256sum <"$other" | cut -d' ' -f1)
  if [ "$a" = "$b" ]; then
    echo "identical  $a  $name"
  else
    echo "DIFFERENT  $name: $a / $b"
    status=1
    if command -v diffoscope >/dev/null; then
      diffoscope --no-progress --text - "$file" "$other" 2>/dev/null | head -60 | sed 's/^/    /'
    fi
  fi
done
[ "$count" -eq 6 ] || { echo "expected 6 artefacts, the first build made $count"; status=1; }
echo "two builds of $commit in $(( $(date +%s) - started )) s: $([ $status -eq 0 ] && echo "all $count identical" || echo "not reproducible")"
exit $status
