#!/bin/sh
# Makes (once) and starts the Wine prefix the Windows sessions run in, headless, and keeps its
# server running for them. When Wine cannot start here, says so and leaves no ready mark: the
# sessions are then skipped.
#   wine_start.sh BUILD_DIR TRACELON_EXE
build=$1
tracelon=$2
ready="$build/wine-prefix.ready"
rm -f "$ready"
wine=$(command -v wine || command -v wine64 || true)
if [ -z "$wine" ]; then
  echo "Wine cannot start on this machine: no wine program (install the packages of ./do setup)"
  exit 0
fi
export WINEPREFIX="$build/wine-prefix"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "making the Wine prefix $WINEPREFIX"
  if ! timeout 600 wineboot -i </dev/null >"$build/wine-prefix.log" 2>&1; then
    echo "Wine cannot start on this machine: wineboot failed (see $build/wine-prefix.log)"
    exit 0
  fi
fi
# The server stays up between the sessions (and ends on its own a while after the last). It and
# the programs Wine starts with it keep none of this test's output open, or the test would wait
# for them.
wineserver -p30 </dev/null >/dev/null 2>&1 || true
if ! timeout 120 "$wine" "$tracelon" --help </dev/null >"$build/wine-prefix.log" 2>&1; then
  echo "Wine cannot start on this machine: tracelon.exe --help failed (see $build/wine-prefix.log)"
  exit 0
fi
touch "$ready"
echo "Wine is ready: $WINEPREFIX"
