#!/usr/bin/python3
"""Reads an .xlsx with openpyxl and prints what the export tests check, one fact a line:
   sheet <name>
   cell <row> <col> s <text>           (1-based row and column)
   cell <row> <col> n <value> <format>
   merge <min_row> <min_col> <max_row> <max_col>
"""
import sys

import openpyxl

wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    print("sheet", ws.title)
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            if isinstance(c.value, (int, float)):
                print("cell", c.row, c.column, "n", repr(float(c.value)), c.number_format)
            else:
                print("cell", c.row, c.column, "s", c.value)
    for m in sorted(ws.merged_cells.ranges, key=lambda r: (r.min_row, r.min_col)):
        print("merge", m.min_row, m.min_col, m.max_row, m.max_col)
