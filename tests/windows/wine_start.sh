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
  if ! timeout 600 wineboot -i >"$build/wine-prefix.log" 2>&1; then
    echo "Wine cannot start on this machine: wineboot failed (see $build/wine-prefix.log)"
    exit 0
  fi
fi
# The server stays up between the sessions (and ends on its own a while after the last).
wineserver -p30 || true
if ! timeout 120 "$wine" "$tracelon" --help >"$build/wine-prefix.log" 2>&1; then
  echo "Wine cannot start on this machine: tracelon.exe --help failed (see $build/wine-prefix.log)"
  exit 0
fi
touch "$ready"
echo "Wine is ready: $WINEPREFIX"
