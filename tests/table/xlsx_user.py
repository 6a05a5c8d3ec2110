#!/usr/bin/python3
"""What a user does to a workbook between exports, with openpyxl:
   make <path>                 a workbook of 4 sheets with merges, fonts and formats
   add <path> <sheet> <text>   opens it, adds a sheet with <text> in A1, saves it
   parts <path>                prints each part of the package with the hash of its bytes
   office <path> [bad]         writes its docProps/app.xml as a spreadsheet program does: the
                               worksheets and a print area by kind and name (bad: a count that
                               does not add up)
   titles <path>               prints that part's kinds ("pair <kind> <count>") and names
                               ("title <name>"), and "sizes <pairs> <titles>" of its vectors
"""
import hashlib
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

import openpyxl
from openpyxl.styles import Font

cmd, path = sys.argv[1], sys.argv[2]
if cmd == "make":
    wb = openpyxl.Workbook()
    wb.active.title = "封面"
    wb.active["A1"] = "工程概况"
    wb.active["A1"].font = Font(bold=True, size=16)
    wb.active.merge_cells("A1:D1")
    for name in ("控制点", "水准", "备注"):
        ws = wb.create_sheet(name)
        ws["A1"] = name
        ws["B2"] = 3381522.41
        ws["B2"].number_format = "0.000"
    wb.save(path)
elif cmd == "add":
    wb = openpyxl.load_workbook(path)
    ws = wb.create_sheet(sys.argv[3])
    ws["A1"] = sys.argv[4]
    wb.save(path)
elif cmd == "parts":
    with zipfile.ZipFile(path) as z:
        for n in z.namelist():
            print(n, hashlib.sha1(z.read(n)).hexdigest())
elif cmd == "office":
    with zipfile.ZipFile(path) as z:
        parts = [(i, z.read(i.filename)) for i in z.infolist()]
    names = openpyxl.load_workbook(path).sheetnames
    count = len(names) + (1 if len(sys.argv) > 3 else 0)
    lp = "".join("<vt:lpstr>%s</vt:lpstr>" % n for n in names)
    app = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
           '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties" '
           'xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">'
           '<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>'
           '<HeadingPairs><vt:vector size="4" baseType="variant">'
           '<vt:variant><vt:lpstr>工作表</vt:lpstr></vt:variant><vt:variant><vt:i4>%d</vt:i4></vt:variant>'
           '<vt:variant><vt:lpstr>命名范围</vt:lpstr></vt:variant><vt:variant><vt:i4>1</vt:i4></vt:variant>'
           '</vt:vector></HeadingPairs>'
           '<TitlesOfParts><vt:vector size="%d" baseType="lpstr">%s<vt:lpstr>%s!Print_Area</vt:lpstr></vt:vector>'
           '</TitlesOfParts><Company></Company><AppVersion>16.0300</AppVersion></Properties>'
           % (count, len(names) + 1, lp, names[0]))
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for info, data in parts:
            z.writestr(info, app.encode() if info.filename == "docProps/app.xml" else data)
elif cmd == "titles":
    VT = "{http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes}"
    EP = "{http://schemas.openxmlformats.org/officeDocument/2006/extended-properties}"
    with zipfile.ZipFile(path) as z:
        root = ET.fromstring(z.read("docProps/app.xml"))
    pairs, titles = root.find(EP + "HeadingPairs"), root.find(EP + "TitlesOfParts")
    if pairs is not None:
        v = pairs.find(VT + "vector")
        items = list(v)
        for k in range(0, len(items), 2):
            print("pair", items[k][0].text, items[k + 1][0].text)
    if titles is not None:
        v2 = titles.find(VT + "vector")
        for t in v2:
            print("title", t.text)
    if pairs is not None and titles is not None:
        print("sizes", v.get("size"), v2.get("size"), len(list(v)), len(list(v2)))
