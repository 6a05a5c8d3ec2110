#!/usr/bin/python3
"""Measures an .odt the way a word processor lays it out, from the heights and widths
the document itself declares, and prints one fact a line:
   page <n> <used mm> <available mm>    (each table starts a page: its title, items, rows)
   wrap <page> <row> <col> <text>       (a cell text wider than its column at its font)
   relwidth <page> <col> <rel>           (a relative column width the office would not keep)
A half-width character is taken as 0.62 em and a full-width one as 1.24 em, the widest
faces an office may use for them.
"""
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
}


def q(name):
    prefix, local = name.split(":")
    return "{%s}%s" % (NS[prefix], local)


def mm(v):
    if v is None:
        return 0.0
    m = re.match(r"([0-9.]+)(mm|pt|cm|in)", v)
    f = {"mm": 1, "pt": 25.4 / 72, "cm": 10, "in": 25.4}[m.group(2)]
    return float(m.group(1)) * f


def text_width(text, pt):
    em = pt * 25.4 / 72
    return sum((0.62 if ord(ch) < 128 else 1.24) * em for ch in text)


z = zipfile.ZipFile(sys.argv[1])
styles = ET.fromstring(z.read("styles.xml"))
layouts = {}
for pl in styles.iter(q("style:page-layout")):
    p = pl.find(q("style:page-layout-properties"))
    layouts[pl.get(q("style:name"))] = (mm(p.get(q("fo:page-height"))) - mm(p.get(q("fo:margin-top"))) -
                                        mm(p.get(q("fo:margin-bottom"))))
masters = {mp.get(q("style:name")): layouts[mp.get(q("style:page-layout-name"))]
           for mp in styles.iter(q("style:master-page"))}

content = ET.fromstring(z.read("content.xml"))
para, row, col, rel, cellpad = {}, {}, {}, {}, {}
for st in content.iter(q("style:style")):
    name = st.get(q("style:name"))
    pp = st.find(q("style:paragraph-properties"))
    tp = st.find(q("style:text-properties"))
    if st.get(q("style:family")) == "paragraph":
        line = mm(pp.get(q("fo:line-height"))) if pp is not None else 0
        size = mm(tp.get(q("fo:font-size"))) / (25.4 / 72) if tp is not None else 12
        para[name] = (st.get(q("style:master-page-name")), line, size)
    elif st.get(q("style:family")) == "table-row":
        row[name] = mm(st.find(q("style:table-row-properties")).get(q("style:min-row-height")))
    elif st.get(q("style:family")) == "table-column":
        cp = st.find(q("style:table-column-properties"))
        col[name] = mm(cp.get(q("style:column-width")))
        rel[name] = int(cp.get(q("style:rel-column-width"), "0*").rstrip("*"))
    elif st.get(q("style:family")) == "table-cell":
        cp = st.find(q("style:table-cell-properties"))
        cellpad[name] = mm(cp.get(q("fo:padding-left"))) + mm(cp.get(q("fo:padding-right"))) + 0.36

pages = []
body = content.find(q("office:body")).find(q("office:text"))
for el in body:
    if el.tag == q("text:p"):
        master, line, _ = para[el.get(q("text:style-name"))]
        if master:
            pages.append([0.0, masters[master]])
        pages[-1][0] += line
    elif el.tag == q("table:table"):
        names = [c.get(q("table:style-name")) for c in el.findall(q("table:table-column"))]
        widths = [col[n] for n in names]
        # An office lays a table out by its relative widths, each clamped to 65535: they
        # must keep the proportions of the absolute ones.
        for k, n in enumerate(names, 1):
            if rel[n] > 65535 or abs(rel[n] / sum(rel[m] for m in names) - col[n] / sum(widths)) > 0.005:
                print("relwidth", len(pages), k, rel[n])
        for r, tr in enumerate(el.iter(q("table:table-row")), 1):
            pages[-1][0] += row.get(tr.get(q("table:style-name")), 0)
            c = 0
            for cell in tr:
                span = int(cell.get(q("table:number-columns-spanned"), "1"))
                if cell.tag == q("table:table-cell"):
                    room = sum(widths[c:c + span]) - cellpad[cell.get(q("table:style-name"))]
                    for p in cell.findall(q("text:p")):
                        text = "".join(p.itertext())
                        if text_width(text, para[p.get(q("text:style-name"))][2]) > room:
                            print("wrap", len(pages), r, c + 1, text)
                c += 1  # a spanning cell is followed by covered cells
for n, (used, avail) in enumerate(pages, 1):
    print("page %d %.2f %.2f" % (n, used, avail))
