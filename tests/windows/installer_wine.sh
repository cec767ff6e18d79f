#!/bin/sh
# The Windows package under Wine: QXTools-setup.exe installs silently into a fresh folder, with
# the Start-menu entry and the uninstaller; the installed tracelon.exe plays an example session
# on its own sample machine; the zip holds the same files; the uninstaller takes it all away.
#   installer_wine.sh READY_MARK INSTALLER ZIP WORK_DIR
ready=$1
installer=$2
zip=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
work=$4
test -f "$ready" || { echo "Wine cannot start on this machine (see windows_wine_start): skipped"; exit 0; }
here=$(dirname "$0")
wine=$(command -v wine || command -v wine64)
rm -rf "$work" && mkdir -p "$work" || exit 1
fail() {
  echo "FAIL: $*"
  exit 1
}
target="$work/QXTools"
winTarget=$(winepath -w "$target" 2>/dev/null) || fail "winepath cannot name $target"
menu="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QX Tools"

# /D names the folder, last and unquoted, as NSIS wants it (so a name without blanks here).
"$wine" "$installer" /S "/D=$winTarget" || fail "the installer failed (status $?)"
for f in bin/tracelon.exe bin/QXT.DLL bin/HSI1.DLL bin/libplatform.dll Uninstall.exe README.txt \
         examples/first.session share/root; do
  [ -e "$target/$f" ] || fail "the installer left out $f"
done
[ -f "$menu/QX Tools.lnk" ] || fail "no Start-menu entry at $menu"
[ -f "$menu/Uninstall QX Tools.lnk" ] || fail "no uninstaller in the Start menu"

# The installed program, on a machine copied from its own sample machine.
sh "$here/wine_run.sh" "$target/bin/tracelon.exe" run "$(winepath -w "$target/examples/first.session")" \
  --root "$(winepath -w "$work/machine")" --quiet --json "$(winepath -w "$work/first.json")" ||
  fail "the installed tracelon.exe did not play first.session"
grep -q '"objects"' "$work/first.json" 2>/dev/null || fail "the installed program wrote no drawing"

# The zip holds what the installer installed (less the uninstaller it writes itself).
mkdir -p "$work/zip" && (cd "$work/zip" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
(cd "$work/zip/QXTools" && find . -type f | sort) >"$work/zip.list"
(cd "$target" && find . -type f ! -name Uninstall.exe | sort) >"$work/installed.list"
diff -u "$work/installed.list" "$work/zip.list" || fail "the zip and the installer differ"

# _? runs the uninstaller in place, so that it is done when it returns.
"$wine" "$target/Uninstall.exe" /S "_?=$winTarget" || fail "the uninstaller failed (status $?)"
for f in bin examples share README.txt; do
  [ ! -e "$target/$f" ] || fail "the uninstaller left $f"
done
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
echo "QXTools-setup.exe: installed, played first.session, same files as QXTools.zip, uninstalled"
