#!/bin/sh
# tracelon.exe under Wine on the virtual display of native_start.sh, with the forms shown as
# real windows: `tracelon_native.sh run SESSION ...` plays the session through them.
build=$(dirname "$QXT_TRACELON_EXE")/..
export DISPLAY=":$(cat "$build/xvfb.display")"
if [ "$1" = run ]; then
  exec sh "$(dirname "$0")/wine_run.sh" "$QXT_TRACELON_EXE" "$@" --native
fi
exec sh "$(dirname "$0")/wine_run.sh" "$QXT_TRACELON_EXE" "$@"
