#!/bin/sh
# Ends the virtual X display that native_start.sh started (only that one).
#   native_stop.sh BUILD_DIR
build=$1
if [ -f "$build/xvfb.pid" ]; then
  kill "$(cat "$build/xvfb.pid")" 2>/dev/null
  rm -f "$build/xvfb.pid" "$build/xvfb.display"
fi
exit 0
