#!/bin/sh
# Ends what native_start.sh started: the Wine server of the native prefix and the virtual X
# display (only that one, by its process number).
#   native_stop.sh BUILD_DIR
build=$1
WINEPREFIX="$build/wine-prefix-native" wineserver -k 2>/dev/null
if [ -f "$build/xvfb.pid" ]; then
  kill "$(cat "$build/xvfb.pid")" 2>/dev/null
fi
rm -f "$build/xvfb.pid" "$build/xvfb.display"
exit 0
