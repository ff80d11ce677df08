#!/bin/sh
# Runs a Windows program in the build tree's private Wine world.
#   winerun.sh WORLD PROGRAM [ARGS...]
# WORLD holds prefix/, home/ and, while Xvfb runs, a file naming its display.
# WINE_WORLD_PREFIX may name another prefix inside WORLD (tests that need
# their own Windows version).
world=$1
shift
prefix="$world/${WINE_WORLD_PREFIX:-prefix}"
export WINEPREFIX="$prefix"
export HOME="$world/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export WINEDEBUG="${WINEDEBUG_OVERRIDE:--all}"
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINE_EXTRA_OVERRIDES:+;$WINE_EXTRA_OVERRIDES}"
if [ -f "$world/display" ]; then
  DISPLAY=$(cat "$world/display")
  export DISPLAY
fi
exec wine "$@"
