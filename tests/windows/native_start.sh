#!/bin/sh
# Starts a virtual X display for the native-window tests and leaves its number and process in
# the build folder (xvfb.display, xvfb.pid); native_stop.sh ends it. The tests run in a Wine
# prefix of their own (wine-prefix-native, made once), whose programs open inside one desktop
# window of the display, where Wine draws the windows' frames and captions. When no display or
# prefix can start here, says so and leaves no number: those tests are then skipped.
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
      echo "$pid" >"$build/xvfb.pid"
      export DISPLAY=":$n" WINEPREFIX="$build/wine-prefix-native"
      if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "making the Wine prefix $WINEPREFIX"
        if ! timeout 600 wineboot -i </dev/null >"$build/wine-prefix-native.log" 2>&1 ||
          ! wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f \
            </dev/null >>"$build/wine-prefix-native.log" 2>&1 ||
          ! wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f \
            </dev/null >>"$build/wine-prefix-native.log" 2>&1; then
          rm -rf "$WINEPREFIX"
          kill "$pid" 2>/dev/null
          rm -f "$build/xvfb.pid"
          echo "Wine cannot start on this machine: the native prefix cannot be made (see $build/wine-prefix-native.log)"
          exit 0
        fi
      fi
      wineserver -p30 </dev/null >/dev/null 2>&1 || true
      echo "$n" >"$build/xvfb.display"
      echo "Xvfb is ready on :$n, Wine in $WINEPREFIX"
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
