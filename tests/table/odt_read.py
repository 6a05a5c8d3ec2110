#!/usr/bin/python3
"""Reads an .odt with zipfile and ElementTree and prints what the export tests check,
one fact a line:
   entry <index> <name> <stored 0|1> <extra bytes>
   mimetype <text>
   layout <name> <width> <height> <orientation> <top> <bottom> <left> <right>
   master <name> <layout>
   para <master or -> <break 0|1> <text>          (paragraphs outside tables, in order)
   table <name> <rows> <header rows>
   cell <row> <col> <columns spanned> <rows spanned> <text>   (1-based, of the last table)
   covered <row> <col>
"""
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


def text_of(p):
    out = [p.text or ""]
    for child in p:
        if child.tag == q("text:s"):
            out.append(" " * int(child.get(q("text:c"), "1")))
        elif child.tag == q("text:tab"):
            out.append("\t")
        elif child.tag == q("text:line-break"):
            out.append("\n")
        else:
            out.append(text_of(child))
        out.append(child.tail or "")
    return "".join(out)


z = zipfile.ZipFile(sys.argv[1])
for i, info in enumerate(z.infolist()):
    print("entry", i, info.filename, int(info.compress_type == zipfile.ZIP_STORED), len(info.extra))
print("mimetype", z.read("mimetype").decode("ascii"))
ET.fromstring(z.read("META-INF/manifest.xml"))

styles = ET.fromstring(z.read("styles.xml"))
for pl in styles.iter(q("style:page-layout")):
    p = pl.find(q("style:page-layout-properties"))
    print("layout", pl.get(q("style:name")), p.get(q("fo:page-width")), p.get(q("fo:page-height")),
          p.get(q("style:print-orientation")), p.get(q("fo:margin-top")), p.get(q("fo:margin-bottom")),
          p.get(q("fo:margin-left")), p.get(q("fo:margin-right")))
for mp in styles.iter(q("style:master-page")):
    print("master", mp.get(q("style:name")), mp.get(q("style:page-layout-name")))

content = ET.fromstring(z.read("content.xml"))
paras = {}
for st in content.iter(q("style:style")):
    props = st.find(q("style:paragraph-properties"))
    brk = props is not None and props.get(q("fo:break-before")) == "page"
    paras[st.get(q("style:name"))] = (st.get(q("style:master-page-name")) or "-", int(brk))

body = content.find(q("office:body")).find(q("office:text"))
for el in body:
    if el.tag == q("text:p"):
        master, brk = paras.get(el.get(q("text:style-name")), ("-", 0))
        print("para", master, brk, text_of(el))
    elif el.tag == q("table:table"):
        header = el.find(q("table:table-header-rows"))
        rows = list(el.iter(q("table:table-row")))
        print("table", el.get(q("table:name")), len(rows), 0 if header is None else len(list(header)))
        for r, row in enumerate(rows, 1):
            c = 0
            for cell in row:
                c += 1
                if cell.tag == q("table:covered-table-cell"):
                    print("covered", r, c)
                    continue
                text = "\n".join(text_of(p) for p in cell.findall(q("text:p")))
                print("cell", r, c, cell.get(q("table:number-columns-spanned"), "1"),
                      cell.get(q("table:number-rows-spanned"), "1"), text.replace("\n", "\\n"))
