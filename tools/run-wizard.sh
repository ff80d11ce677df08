#!/bin/sh
# Builds the package and starts the install wizard from the 64-bit package
# under Wine (in the build tree's own Wine world; under Xvfb when there is
# no display). Extra arguments go to setup.exe (e.g. delpkg, s).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
world="$top/build/x86_64/wine"
if [ -n "${DISPLAY:-}" ]; then
  mkdir -p "$world"
  echo "$DISPLAY" >"$world/display"
  trap 'rm -f "$world/display"' EXIT
fi
"$top/tools/wine-world.sh" up "$world"
[ -z "${DISPLAY:-}" ] && echo "No DISPLAY: the wizard runs under Xvfb on $(cat "$world/display")."
"$top/tools/winerun.sh" "$world" "$top/build/x86_64/package/setup.exe" "$@" || true
"$top/tools/wine-world.sh" down "$world"
