#!/bin/sh
# Brings the build tree's private Wine world up or down.
#   wine-world.sh up WORLD [PREFIXNAME [WINVERSION]]
#   wine-world.sh down WORLD
# "up" creates the prefix once and reuses it, keeps a wineserver running for
# it, and starts Xvfb when no display is recorded yet.
set -eu
cmd=$1
world=$(mkdir -p "$2" && cd "$2" && pwd)
name=${3:-prefix}
version=${4:-}
here=$(cd "$(dirname "$0")" && pwd)

run() { WINE_WORLD_PREFIX=$name "$here/winerun.sh" "$world" "$@"; }
env_for() {
  export WINEPREFIX="$world/$name" HOME="$world/home" WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d"
}

start_xvfb() {
  # A display recorded by the caller (no pid of ours), or our Xvfb alive.
  if [ -f "$world/display" ]; then
    [ ! -f "$world/xvfb.pid" ] && return 0
    kill -0 "$(cat "$world/xvfb.pid")" 2>/dev/null && return 0
  fi
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! >"$world/xvfb.pid"
  i=0
  while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  echo ":$n" >"$world/display"
}

case "$cmd" in
up)
  mkdir -p "$world/home"
  start_xvfb
  env_for
  if [ ! -f "$world/$name/system.reg" ]; then
    DISPLAY=$(cat "$world/display") wineboot -i >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1
  fi
  # Persistent, and before any program starts one of its own: that one ends
  # a moment after the last program, and each test would start it again.
  # Detached from our output, so that a caller reading it sees its end.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  # Our own Xvfb has no window manager, which Wine would wait for (2 s) at
  # every window that closes; a display of the user's keeps its own.
  if [ -f "$world/xvfb.pid" ]; then
    run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  else
    run reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
  fi
  if [ -n "$version" ]; then
    run reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  fi
  # Wine starts its services and desktop with the first program; let them
  # start here, detached, rather than inherit a test's output.
  run wineboot </dev/null >/dev/null 2>&1
  run rundll32 user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
  ;;
down)
  for p in "$world"/*/system.reg; do
    [ -f "$p" ] || continue
    WINEPREFIX=$(dirname "$p") wineserver -k 2>/dev/null || true
  done
  if [ -f "$world/xvfb.pid" ]; then
    kill "$(cat "$world/xvfb.pid")" 2>/dev/null || true
    rm -f "$world/xvfb.pid" "$world/display"
  fi
  ;;
*)
  echo "usage: $0 up|down WORLD [PREFIXNAME [WINVERSION]]" >&2
  exit 2
  ;;
esac
