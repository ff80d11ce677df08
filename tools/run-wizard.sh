#!/bin/sh
# Builds the package and starts the install wizard from the 64-bit package
# under Wine (in the build tree's own Wine world; under Xvfb when there is
# no display). Extra arguments go to setup.exe (e.g. delpkg, s, s quiet).
# Without a display, a picture of the virtual screen is kept up to date in
# the build tree. Ctrl-C ends setup.exe and the Wine world.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
world="$top/build/x86_64/wine"
shot="$top/build/x86_64/screen.png"
shooter=""
setup=""
finish() {
  set +e
  [ -n "$shooter" ] && kill "$shooter" 2>/dev/null
  [ -n "$setup" ] && kill "$setup" 2>/dev/null
  "$top/tools/wine-world.sh" down "$world"
  [ -n "$setup" ] && wait "$setup" 2>/dev/null
  [ -n "${DISPLAY:-}" ] && rm -f "$world/display"
  return 0
}
trap finish EXIT
trap 'trap "" INT TERM; echo; echo "Interrupted: ending setup.exe and the Wine world."; exit 130' INT TERM
if [ -n "${DISPLAY:-}" ]; then
  mkdir -p "$world"
  echo "$DISPLAY" >"$world/display"
fi
"$top/tools/wine-world.sh" up "$world"
if [ -z "${DISPLAY:-}" ]; then
  screen=$(cat "$world/display")
  rm -f "$shot"
  # xwd and convert come with tools/deps.sh (x11-apps, imagemagick).
  while :; do
    xwd -root -silent -display "$screen" 2>/dev/null | convert xwd:- "$shot.new.png" 2>/dev/null &&
      mv -f "$shot.new.png" "$shot"
    sleep 1
  done &
  shooter=$!
  cat <<EOF
No DISPLAY: setup.exe runs on a virtual screen (Xvfb $screen) that nobody
sees; a wizard or box it shows waits there for clicks that cannot come from here.
A picture of that screen, renewed every second: $shot
Ctrl-C ends setup.exe and the Wine world. To install without any window:
  tools/run-wizard.sh s quiet 'log=Z:\\tmp\\setup.log'    (the log: /tmp/setup.log)
EOF
fi
# In the background, so that Ctrl-C is handled at once even while Wine
# ignores it.
"$top/tools/winerun.sh" "$world" "$top/build/x86_64/package/setup.exe" "$@" &
setup=$!
rc=0
wait "$setup" || rc=$?
setup=""
echo "setup.exe ended with exit code $rc."
