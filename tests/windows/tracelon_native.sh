#!/bin/sh
# tracelon.exe (QXT_TRACELON_EXE) under Wine on the virtual display that native_start.sh started,
# in its prefix, with the forms shown as real windows: `tracelon_native.sh run SESSION ...` plays
# the session through them. `tracelon_native.sh --program EXE ARGS...` runs another program there.
build=$(dirname "$QXT_TRACELON_EXE")/..
export DISPLAY=":$(cat "$build/xvfb.display")" WINEPREFIX="$build/wine-prefix-native"
run="$(dirname "$0")/wine_run.sh"
if [ "$1" = --program ]; then
  shift
  exec sh "$run" "$@"
fi
if [ "$1" = run ]; then
  exec sh "$run" "$QXT_TRACELON_EXE" "$@" --native
fi
exec sh "$run" "$QXT_TRACELON_EXE" "$@"
