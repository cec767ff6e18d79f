#!/bin/sh
# Starts a virtual X display for the native-window tests and leaves its number and process in
# the build folder (xvfb.display, xvfb.pid); native_stop.sh ends it. When no display can start
# here, says so and leaves no number: those tests are then skipped.
#   native_start.sh BUILD_DIR
build=$1
rm -f "$build/xvfb.display" "$build/xvfb.pid"
if [ ! -f "$build/wine-prefix.ready" ]; then
  echo "Wine cannot start on this machine (see windows_wine_start): no native windows"
  exit 0
fi
if ! command -v Xvfb >/dev/null; then
  echo "Xvfb cannot start on this machine: no Xvfb program (install the packages of ./do setup)"
  exit 0
fi
for n in 91 92 93 94 95 96 97 98 99; do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  # The server keeps none of this test's output open, or the test would wait for it.
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$build/xvfb.log" 2>&1 &
  pid=$!
  i=0
  while [ $i -lt 50 ]; do
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n" >"$build/xvfb.display"
      echo "$pid" >"$build/xvfb.pid"
      echo "Xvfb is ready on :$n"
      exit 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
    i=$((i + 1))
  done
  kill "$pid" 2>/dev/null
done
echo "Xvfb cannot start on this machine: no display came up (see $build/xvfb.log)"
exit 0
