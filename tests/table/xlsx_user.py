#!/usr/bin/python3
"""What a user does to a workbook between exports, with openpyxl:
   make <path>                 a workbook of 4 sheets with merges, fonts and formats
   add <path> <sheet> <text>   opens it, adds a sheet with <text> in A1, saves it
   parts <path>                prints each part of the package with the hash of its bytes
"""
import hashlib
import sys
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
