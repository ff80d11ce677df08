#!/bin/sh
# Builds setup.exe and its package for 64-bit and 32-bit Windows:
# build/x86_64/package and build/i686/package.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh"
for arch in x86_64 i686; do
  if [ ! -f "$top/build/$arch/build.ninja" ]; then
    cmake -S "$top" -B "$top/build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release
  fi
  cmake --build "$top/build/$arch"
done
