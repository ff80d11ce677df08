#!/bin/sh
# Builds both architectures and runs the whole test suite (the 64-bit
# build's tests, under Wine).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
cd "$top/build/x86_64"
ctest --output-on-failure "$@"
