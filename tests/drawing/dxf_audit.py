#!/usr/bin/python3
"""Reads a DXF file with ezdxf and prints what the writer's tests check, one fact a line:
audit <errors>
layer <name> <colour> <linetype> <on|off>
count <type> <layer> <n>
vertex <layer> <i> <x> <y>          (every polyline vertex, in order)
line <layer> <x1> <y1> <x2> <y2>
text <layer> <height> <text>
place <layer> <x> <y> <halign> <valign> <text>   (the point a text is placed by)
circle <layer> <x> <y> <r>
"""
import sys
import ezdxf
from collections import Counter

doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
print("audit", len(auditor.errors))
print("version", doc.dxfversion)
for layer in doc.layers:
    print("layer", layer.dxf.name, abs(layer.dxf.color), layer.dxf.linetype, "on" if layer.is_on() else "off")
msp = doc.modelspace()
counts = Counter((e.dxftype(), e.dxf.layer) for e in msp)
for (t, l), n in sorted(counts.items()):
    print("count", t, l, n)
for e in msp:
    t = e.dxftype()
    if t == "POLYLINE":
        for i, v in enumerate(e.vertices):
            p = v.dxf.location
            print("vertex", e.dxf.layer, i, "%.6f" % p.x, "%.6f" % p.y)
        print("closed", e.dxf.layer, int(e.is_closed))
    elif t == "LINE":
        print("line", e.dxf.layer, "%.6f %.6f %.6f %.6f" % (e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y))
    elif t == "TEXT":
        print("text", e.dxf.layer, "%.3f" % e.dxf.height, e.dxf.text)
        h, v = e.dxf.get("halign", 0), e.dxf.get("valign", 0)
        p = e.dxf.align_point if (h or v) else e.dxf.insert
        print("place", e.dxf.layer, "%.3f %.3f" % (p.x, p.y), h, v, e.dxf.text)
    elif t == "CIRCLE":
        print("circle", e.dxf.layer, "%.6f %.6f %.6f" % (e.dxf.center.x, e.dxf.center.y, e.dxf.radius))
