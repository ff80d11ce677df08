#!/bin/sh
# Non-blank lines of tracked sources (C/C++, .rc, .py, .sh, CMake): tests
# (tests/ and check-only scripts) against everything else, and their ratio.
# Files a generator writes and the repository keeps count on neither side.
set -eu
cd "$(dirname "$0")/.."
files=$(git ls-files | grep -E '(\.(cpp|h|hpp|c|rc|py|sh|cmake)|CMakeLists\.txt)$' |
  grep -v -E '^res/(lang/setup[A-Z]{3}|strings_cht)\.rc$')
count() { grep -h -c -v '^[[:space:]]*$' $1 | awk '{s += $1} END {print s + 0}'; }
tests=$(count "$(echo "$files" | grep -E '(^|/)tests?/|(^|/)check[-_][^/]*$')")
code=$(count "$(echo "$files" | grep -v -E '(^|/)tests?/|(^|/)check[-_][^/]*$')")
echo "tests $tests, code $code, ratio $(awk "BEGIN {printf \"%.3f\", $tests / $code}") (at most 0.333)"
