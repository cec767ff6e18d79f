#!/bin/sh
# The desktop window of tracelon.exe under Wine on a virtual X display (Xvfb): a script of input
# messages (tracelon.exe --drive, docs/windows.md) draws a line with the host's line tool, the
# mouse's clicks and its right button, and, where the build shows the plug-in's windows, runs QX
# Door from its menu through the real dialog and puts a door into the sample office's north wall.
# The drawing JSON written at the end shows the line (and the door's symbol). A picture of the
# screen is kept in WORK_DIR/desktop.png (with the door's dialog, when it was shown).
#   desktop_wine.sh READY_MARK TRACELON_EXE WORK_DIR
ready=$1
exe=$2
work=$3
test -f "$ready" || { echo "Wine cannot start on this machine (see windows_wine_start): skipped"; exit 0; }
command -v Xvfb >/dev/null || { echo "Xvfb cannot start on this machine: no Xvfb (./do setup installs xvfb): skipped"; exit 0; }
wine=$(command -v wine || command -v wine64)
rm -rf "$work" && mkdir -p "$work/saved" || exit 1

# A display of our own: the first number without a server.
display=
for n in $(seq 71 99); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$n" ]; then
    display=:$n
    break
  fi
  kill "$xvfb" 2>/dev/null
done
[ -n "$display" ] || { echo "Xvfb cannot start on this machine (see $work/xvfb.log): skipped"; exit 0; }
trap 'kill "$xvfb" 2>/dev/null' EXIT
export DISPLAY=$display

line_y=1500000
cat >"$work/drive.txt" <<SCRIPT
native
  box OK
end
wait command
menu "Line"
click 200000 $line_y
click 1000000 $line_y
rclick 1000000 $line_y
key escape
wait command
native
  menu "QX Door..."
  wait form TdlgQXDoor
  pause 500
  form TdlgQXDoor click btnLeftDoor
  wait point
  click 300000 1896000
  wait point
  click 300000 1700000
  wait point
  rclick 300000 1700000
  wait form TdlgQXDoor
  mark $work/shown
  pause 4000
  form TdlgQXDoor click btnCancel
  wait command
end
headless
  # Without the plug-in's windows its dialog is cancelled, and the program asks for a command.
  menu "QX Door..."
  wait command
end
# Saved outside the machine under the name of one of its drawings, a new drawing, and the saved
# one opened again.
saveas "$work/saved/SAMPLE.VWF"
menu "New"
wait command
json "$work/new.json"
open "$work/saved/SAMPLE.VWF"
wait command
mark $work/shown
pause 4000
quit
SCRIPT

# The program runs in a desktop window of Wine's own (explorer /desktop): that desktop takes the
# display whatever the running Wine server started with, and Wine draws the windows' frames.
# Its exit status does not come back through explorer: the program's complaints do.
timeout 150 "$wine" explorer /desktop=QXToolsTest,1280x1024 "$exe" open 'C:\TRACELON\DRAWINGS\SAMPLE.VWF' --root "$work/root" \
  --drive "$work/drive.txt" --json "$work/drawing.json" >"$work/out.txt" 2>&1 &
program=$!
for _ in $(seq 1 900); do
  [ -f "$work/shown" ] && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
done
if [ -f "$work/shown" ] && command -v xwd >/dev/null && command -v xwininfo >/dev/null; then
  sleep 1  # the windows shown last are drawn
  sh "$(dirname "$0")/screenshot.sh" "$display" "$work/desktop.png" 2>/dev/null || true
fi
status=0
wait "$program" || status=$?
fail() {
  echo "FAIL: $*"
  echo "--- tracelon.exe said:"
  cat "$work/out.txt"
  exit 1
}
[ "$status" -eq 0 ] || fail "the desktop program ended with status $status"
! grep -q '^tracelon: ' "$work/out.txt" || fail "the desktop program failed"
[ -f "$work/drawing.json" ] || fail "no drawing was written"
flat=$(tr -d ' \n\r' <"$work/drawing.json")
echo "$flat" | grep -q "\"points\":\[\[200000,$line_y\],\[1000000,$line_y\]\]" ||
  fail "the line drawn with the mouse is not in the drawing saved and opened again"
[ -s "$work/saved/SAMPLE.VWF" ] || fail "Save As wrote nothing outside the machine"
cmp -s "$work/root/C/TRACELON/DRAWINGS/SAMPLE.VWF" \
  "$(dirname "$exe")/../share/root/C/TRACELON/DRAWINGS/SAMPLE.VWF" ||
  fail "saving elsewhere changed the machine's drawing of the same name"
tr -d ' \n\r' <"$work/new.json" | grep -q '"objects":\[\]' || fail "New did not start an empty drawing"
if grep -q "steps for them are skipped" "$work/out.txt"; then
  grep -q 'form TdlgQXDoor "QX Door" closed: Cancel' "$work/out.txt" ||
    fail "the dialog the build cannot show was not cancelled"
  echo "this build shows none of the plug-in's windows: QX Door's dialog was cancelled"
else
  echo "$flat" | grep -q '"kind":"symbol"' || fail "QX Door put no door into the drawing"
  echo "QX Door ran through its dialog on the screen and put a door in"
fi
echo "the desktop window under Wine + Xvfb ($display): a line drawn with the mouse"
