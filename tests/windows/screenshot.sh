#!/bin/sh
# A picture of an X display as a person would see it: the root window, with each window of the
# programs on it read on its own and laid over it in stacking order. (Xvfb hands back some of
# Wine's windows, the dialogs among them, black when the root window alone is read.)
#   screenshot.sh DISPLAY OUT.png
display=$1
out=$2
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
xwd -root -display "$display" -out "$tmp/root.xwd" || exit 1
convert "$tmp/root.xwd" "$tmp/shot.png" || exit 1
# The viewable windows with a name, at least 8 x 8 pixels, topmost first, with their place on
# the screen ("0xID WIDTHxHEIGHT+X+Y"), laid over the picture bottom first.
# (Wine's own desktop window holds the others: the root's picture has it already.)
xwininfo -display "$display" -root -tree | grep -v '" - Wine desktop":\|- Wine desktop":' |
  sed -n 's/^ *\(0x[0-9a-f]*\) "[^"]*": ([^)]*)  \([0-9]*\)x\([0-9]*\)+[-0-9]*+[-0-9]*  +\([-0-9]*\)+\([-0-9]*\)$/\1 \2 \3 \4 \5/p' |
  awk '$2 >= 8 && $3 >= 8' | tac >"$tmp/windows"
while read -r id w h x y; do
  case "$(xwininfo -display "$display" -id "$id" 2>/dev/null)" in
    *IsViewable*) ;;
    *) continue ;;
  esac
  case "$id" in *[!0-9a-fx]*) continue ;; esac
  if xwd -display "$display" -id "$id" -out "$tmp/w.xwd" 2>/dev/null &&
     convert "$tmp/w.xwd" "$tmp/w.png" 2>/dev/null; then
    convert "$tmp/shot.png" "$tmp/w.png" -geometry "+$x+$y" -composite "$tmp/shot.png" || exit 1
  fi
done <"$tmp/windows"
cp "$tmp/shot.png" "$out"
