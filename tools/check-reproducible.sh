#!/bin/sh
# Builds the package a second time from a copy of this tree in another
# folder and compares setup.exe and the language libraries, byte for byte,
# with those of build/<arch>/package. Prints what differs; exit status 1 if
# anything does.   tools/check-reproducible.sh [ARCH...]  (x86_64 i686)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
other=$(mktemp -d /tmp/setup-repro.XXXXXX)  # another folder, at another depth
trap 'rm -rf "$other"' EXIT
(cd "$top" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar -cf - --no-recursion) |
  (mkdir -p "$other/second/copy" && cd "$other/second/copy" && tar -xf -)
"$top/tools/build.sh" >/dev/null
"$other/second/copy/tools/build.sh" >/dev/null
differ=0
for arch in ${*:-x86_64 i686}; do
  for f in "$top/build/$arch/package/"*.exe "$top/build/$arch/package/"*.dll; do
    cmp -s "$f" "$other/second/copy/build/$arch/package/$(basename "$f")" || { echo "differs: $arch/$(basename "$f")" && differ=1; }
  done
done
[ $differ = 0 ] && echo "reproducible: the second build gave the same bytes"
exit $differ
