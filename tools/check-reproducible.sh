#!/bin/sh
# Builds the package a second time from a copy of this tree in another
# folder and compares setup.exe and the language libraries, byte for byte,
# with those of build/<arch>/package (built first when missing). Prints the
# files that differ; exit status 1 when any do.
#   tools/check-reproducible.sh [ARCH...]      (default: x86_64 i686)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
archs=${*:-x86_64 i686}
"$top/tools/deps.sh"

configure() { # SOURCE ARCH
  [ -f "$1/build/$2/build.ninja" ] || cmake -S "$1" -B "$1/build/$2" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-$2.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
}

# Another folder, at another depth, so that no path can come out the same.
other=$(mktemp -d /tmp/setup-repro.XXXXXX)
trap 'rm -rf "$other"' EXIT
copy="$other/second/copy"
mkdir -p "$copy"
(cd "$top" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar -cf - --no-recursion) |
  (cd "$copy" && tar -xf -)

differ=0
for arch in $archs; do
  for tree in "$top" "$copy"; do
    configure "$tree" "$arch"
    cmake --build "$tree/build/$arch" --target package_folder >/dev/null
  done
  n=0
  for f in "$top/build/$arch/package/"*.exe "$top/build/$arch/package/"*.dll; do
    name=$(basename "$f")
    n=$((n + 1))
    if ! cmp -s "$f" "$copy/build/$arch/package/$name"; then
      echo "differs: $arch/$name"
      differ=1
    fi
  done
  echo "$arch: $n files compared"
done
[ "$differ" -eq 0 ] && echo "reproducible: the second build gave the same bytes"
exit "$differ"
