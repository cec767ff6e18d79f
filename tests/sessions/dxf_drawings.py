#!/usr/bin/python3
"""The golden sessions' drawings as DXF, read by ezdxf.

For each golden session that ends with a drawing, tracelon writes the drawing as JSON and as
DXF. ezdxf must read the DXF and its audit find no error; its entities, layers, blocks and
positions must agree with the JSON; and the DXF opened by the host and written again must be
the same drawing.

usage: dxf_drawings.py TRACELON PLUGIN SESSIONS_DIR WORK_DIR [NAME...]
"""
import json
import math
import os
import shutil
import subprocess
import sys

import ezdxf

TYPES = {"lineset": "LWPOLYLINE", "arc": ("ARC", "CIRCLE"), "text": "TEXT",
         "truetype": "MTEXT", "symbol": "INSERT"}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def close(a, b, tolerance=1e-6):
    return abs(a - b) <= tolerance * max(1.0, abs(a), abs(b))


def run(tracelon, plugin, session, root, outputs):
    args = [tracelon, "run", session, "--root", root, "--plugin", plugin, "--quiet"]
    for option, path in outputs.items():
        args += ["--" + option, path]
    done = subprocess.run(args, cwd=os.path.dirname(session), capture_output=True, text=True)
    for path in outputs.values():
        check(os.path.exists(path), "tracelon wrote no " + path + ": " + done.stderr)


def read_checked(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    check(not auditor.has_errors,
          path + ": ezdxf audit errors: " + "; ".join(e.message for e in auditor.errors))
    return doc


def layer_name(number, layers):
    name = layers.get(number, {}).get("name", "")
    if not name:
        return "LAYER%d" % number
    return "".join("_" if ord(c) < 32 or c in '<>/\\":;?*|=`' else c for c in name)


def compare_with_json(doc, drawing, name):
    ppu = drawing["units"]["pointsPerUnit"]
    layers = {l["number"]: l for l in drawing["layers"]}
    # Layers: names, and their state on or off.
    table = {l.dxf.name.upper(): l for l in doc.layers}
    for number, layer in layers.items():
        wanted = layer_name(number, layers).upper()
        found = [key for key in table if key == wanted or key.startswith(wanted + "_")]
        check(found, "%s: layer %d (%s) is not in the DXF" % (name, number, wanted))
        check(table[found[0]].is_on() == layer["on"], "%s: layer %s on/off differs" % (name, wanted))
        if 1 <= layer["colour"] <= 9:
            check(abs(table[found[0]].dxf.color) == layer["colour"],
                  "%s: layer %s colour %d, not %d" % (name, wanted, table[found[0]].dxf.color,
                                                      layer["colour"]))
    entities = list(doc.modelspace())
    objects = [o for o in drawing["objects"]
               if o["kind"] != "symbol" or o["name"].upper().rsplit(".", 1)[0] in
               {b.name.upper() for b in doc.blocks}]
    check(len(entities) == len(objects),
          "%s: %d entities for %d objects" % (name, len(entities), len(objects)))
    box = (doc.header["$EXTMIN"], doc.header["$EXTMAX"])

    def near(point, xy):
        return close(point[0], xy[0] / ppu) and close(point[1], xy[1] / ppu)

    def inside(xy):
        x, y = xy[0] / ppu, xy[1] / ppu
        return box[0][0] - 1e-6 <= x <= box[1][0] + 1e-6 and box[0][1] - 1e-6 <= y <= box[1][1] + 1e-6

    for e, o in zip(entities, objects):
        what = "%s: object %d (%s)" % (name, o["id"], o["kind"])
        wanted = TYPES[o["kind"]]
        check(e.dxftype() in (wanted if isinstance(wanted, tuple) else (wanted,)),
              what + " is a " + e.dxftype())
        layer = e.dxf.layer.upper()
        check(layer == layer_name(o["layer"], layers).upper() or
              layer.startswith(layer_name(o["layer"], layers).upper() + "_"),
              what + " on layer " + e.dxf.layer)
        if 1 <= o["colour"] <= 9:
            check(e.dxf.color == o["colour"], what + " colour %d" % e.dxf.color)
        if o["kind"] == "lineset":
            points = list(e.get_points("xy"))
            check(len(points) == len(o["points"]), what + " has %d points" % len(points))
            for p, q in zip(points, o["points"]):
                check(near(p, q), what + " point %s, not %s" % (p, q))
                check(inside(q), what + " lies outside $EXTMIN..$EXTMAX")
        elif o["kind"] == "arc":
            check(near(e.dxf.center, o["centre"]), what + " centre")
            check(close(e.dxf.radius, o["radius"] / ppu), what + " radius")
            if e.dxftype() == "ARC":
                check(near(e.start_point, o["start"]) or
                      math.dist(e.start_point[:2], [v / ppu for v in o["start"]]) < 2 / ppu,
                      what + " start")
        elif o["kind"] in ("text", "truetype"):
            check(near(e.dxf.insert, o["at"]), what + " position")
            if o["kind"] == "text":
                check(e.dxf.text == o["text"] or not o["text"].isascii(), what + " text")
                check(close(e.dxf.height, max(o["size"], 1) / ppu), what + " height")
                check(close(e.dxf.rotation % 360, o["orientation"] % 360, 1e-9), what + " rotation")
        elif o["kind"] == "symbol":
            check(e.dxf.name.upper() == o["name"].upper().rsplit(".", 1)[0], what + " block")
            check(near(e.dxf.insert, o["at"]), what + " insertion point")
            check(close(e.dxf.xscale, o["scale"][0]) and close(e.dxf.yscale, o["scale"][1]),
                  what + " scale")
            check(close(e.dxf.rotation, o["rotation"][0]), what + " rotation")
    return len(entities)


def signature(doc):
    """What the drawing holds, rounded: entities, layers and blocks."""
    def rounded(v):
        return tuple(round(c, 5) for c in v)

    def entity(e):
        keys = [e.dxftype(), e.dxf.layer, e.dxf.get("color", 256)]
        if e.dxftype() == "LWPOLYLINE":
            keys += [rounded(p) for p in e.get_points("xy")]
        elif e.dxftype() in ("ARC", "CIRCLE"):
            keys += [rounded(e.dxf.center), round(e.dxf.radius, 5)]
        elif e.dxftype() in ("TEXT", "MTEXT", "INSERT"):
            keys.append(rounded(e.dxf.insert))
            keys.append(e.dxf.name if e.dxftype() == "INSERT" else
                        e.dxf.text if e.dxftype() == "TEXT" else e.text)
        return tuple(keys)

    return ([entity(e) for e in doc.modelspace()],
            sorted((l.dxf.name, l.dxf.color) for l in doc.layers),
            sorted((b.name, tuple(entity(e) for e in b)) for b in doc.blocks
                   if not b.name.startswith("*")))


def main():
    tracelon, plugin, sessions, work = sys.argv[1:5]
    names = sys.argv[5:] or sorted(f[:-8] for f in os.listdir(sessions) if f.endswith(".session")
                                   and os.path.exists(os.path.join(sessions, f[:-8] + ".json")))
    failures, entities = [], 0
    for name in names:
        folder = os.path.join(work, name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        root = os.path.join(folder, "root")
        first, drawing = os.path.join(folder, "a.dxf"), os.path.join(folder, "a.json")
        try:
            run(tracelon, plugin, os.path.join(sessions, name + ".session"), root,
                {"json": drawing, "dxf": first})
            doc = read_checked(first)
            with open(drawing, encoding="utf-8") as f:
                entities += compare_with_json(doc, json.load(f), name)
            # Opened by the host and written again: the same drawing.
            shutil.copy(first, os.path.join(root, "C", "TRACELON", "DRAWINGS", "AGAIN.DXF"))
            session = os.path.join(folder, "again.session")
            with open(session, "w") as f:
                f.write('host open "C:\\TRACELON\\DRAWINGS\\AGAIN.DXF"\n')
            second = os.path.join(folder, "b.dxf")
            run(tracelon, plugin, session, root, {"dxf": second})
            check(signature(read_checked(second)) == signature(doc),
                  name + ": the DXF opened and written again is another drawing")
        except Failure as e:
            failures.append(str(e))
    for f in failures:
        print("FAIL", f)
    print("%d drawings, %d entities, %d failures" % (len(names), entities, len(failures)))
    return 1 if failures or not names else 0


if __name__ == "__main__":
    sys.exit(main())
