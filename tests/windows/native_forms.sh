#!/bin/sh
# Shows every form of the plug-in as a real window (tracelon.exe forms --native): the test fails
# when a control's window does not stand where the toolkit puts it, or a control has no system
# control to show it. The windows' pictures stay in OUT (BMP as read from the screen, and PNG).
#   native_forms.sh BUILD_DIR OUT QXT.DLL
build=$1
out=$2
plugin=$3
if [ ! -f "$build/xvfb.display" ]; then
  echo "Xvfb or Wine cannot start on this machine (see windows_native_start): skipped"
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"
sh "$(dirname "$0")/tracelon_native.sh" forms --native --out "$out" --plugin "$plugin"
status=$?
if command -v convert >/dev/null; then
  for bmp in "$out"/*.bmp; do
    [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null
  done
fi
echo "pictures of the forms as the system draws them: $out"
exit $status
