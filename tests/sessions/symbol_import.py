#!/usr/bin/python3
"""Every DXF part of a folder imported as a symbol: its extents agree with ezdxf's.

tracelon symbols import makes each file a symbol file; the symbol's extents (symbol units are
the file's own unit) must agree with ezdxf's bounding box of the file's model space, its UNIT
must draw it at its true size (8000 drawing units an inch), and the group's control file, cell
lists and page pictures must be there.

usage: symbol_import.py TRACELON PARTS_DIR WORK_DIR
"""
import math
import os
import shlex
import shutil
import subprocess
import sys

import ezdxf
from ezdxf import bbox

INCHES = {1: 1.0, 2: 12.0, 4: 1 / 25.4, 5: 1 / 2.54, 6: 1 / 0.0254}


def symbol_extents(path):
    """Extents of a symbol file's lines and arcs, and its UNIT."""
    xs, ys, unit = [], [], 8000.0
    with open(path) as f:
        for line in f:
            words = shlex.split(line)
            if not words:
                continue
            key = words[0].upper()
            if key == "UNIT":
                unit = float(words[1])
            elif key == "LINE":
                numbers = [float(w) for w in words[1:] if w.upper() != "WEIGHT"]
                if "WEIGHT" in (w.upper() for w in words):
                    numbers = numbers[:-1]
                xs += numbers[0::2]
                ys += numbers[1::2]
            elif key == "ARC":
                cx, cy, r, a1, a2 = (float(w) for w in words[1:6])
                sweep = (a2 - a1) % 360 or 360
                angles = [a1, a1 + sweep] + [k * 90 for k in range(-8, 9)
                                             if 0 < (k * 90 - a1) % 360 < sweep]
                for a in angles:
                    xs.append(cx + r * math.cos(math.radians(a)))
                    ys.append(cy + r * math.sin(math.radians(a)))
    return (min(xs), min(ys), max(xs), max(ys)), unit


def main():
    tracelon, parts, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    root = os.path.join(work, "root")
    done = subprocess.run([tracelon, "symbols", "import", parts, "--group", "Furniture",
                           "--into", root], capture_output=True, text=True)
    if done.returncode != 0:
        print("import failed:", done.stdout, done.stderr)
        return 1
    names = {}
    for line in done.stdout.splitlines():
        if " -> " in line:
            dxf, symbol = line.split(" -> ")
            names[dxf] = symbol.split(" ")[0]
    files = sorted(f for f in os.listdir(parts) if f.lower().endswith(".dxf"))
    failures = []
    if sorted(names) != files:
        failures.append("imported %s, not %s" % (sorted(names), files))
    symbols = os.path.join(root, "C", "TRACELON", "SYMBOLS")
    for dxf in files:
        if dxf not in names:
            continue
        doc = ezdxf.readfile(os.path.join(parts, dxf))
        drawn = [e for e in doc.modelspace() if e.dxftype() not in ("TEXT", "MTEXT", "IMAGE")]
        want = bbox.extents(drawn)
        (x1, y1, x2, y2), unit = symbol_extents(os.path.join(symbols, names[dxf]))
        size = max(want.size.x, want.size.y)
        for got, wanted, what in ((x1, want.extmin.x, "left"), (y1, want.extmin.y, "bottom"),
                                  (x2, want.extmax.x, "right"), (y2, want.extmax.y, "top")):
            if abs(got - wanted) > 0.005 * size:
                failures.append("%s: %s %.3f, ezdxf %.3f" % (dxf, what, got, wanted))
        inches = INCHES.get(doc.header.get("$INSUNITS", 1), 1.0)
        if abs(unit - 8000 * inches) > 1e-4 * unit:
            failures.append("%s: UNIT %g for a file in units of %g inch" % (dxf, unit, inches))
    library = os.path.join(root, "C", "QXTOOLS", "QXSYMBOL")
    with open(os.path.join(library, "FURNITUR.CTL")) as f:
        control = f.read().splitlines()
    pages = int(control[1])
    if pages != (len(files) + 19) // 20:
        failures.append("%d pages for %d files" % (pages, len(files)))
    for p in range(pages):
        page = control[2 + p].split(",")[0]
        for ext in (".LST", ".BMP"):
            if not os.path.exists(os.path.join(library, page + ext)):
                failures.append("no " + page + ext)
    def menu():
        with open(os.path.join(library, "QXSYMBOL.CTL")) as f:
            return [line.strip() for line in f.read().splitlines()]

    # The group took a new row of the menu (the cells already there keep their places); a
    # second group takes a spare cell of that row, and a group imported again keeps its cell.
    first = menu()
    if first[3:5] != ["3 rows", "3 columns"] or first[5:] != [
            "DOORS", "FURNISH", "PLUMBING", "ELECTRIC", "NOTES", "CANCEL",
            "FURNITUR", "CANCEL", "CANCEL"]:
        failures.append("the main menu is %s" % first)
    for group in ("More parts", "Furniture"):
        again = subprocess.run([tracelon, "symbols", "import", parts, "--group", group,
                                "--into", root], capture_output=True, text=True)
        if again.returncode != 0:
            failures.append("importing %s again failed: %s" % (group, again.stderr))
    if menu()[3:] != ["3 rows", "3 columns", "DOORS", "FURNISH", "PLUMBING", "ELECTRIC",
                      "NOTES", "CANCEL", "FURNITUR", "MOREPART", "CANCEL"]:
        failures.append("after two more imports the main menu is %s" % menu())
    for f in failures:
        print("FAIL", f)
    print("%d parts imported, %d failures" % (len(names), len(failures)))
    return 1 if failures or not names else 0


if __name__ == "__main__":
    sys.exit(main())
