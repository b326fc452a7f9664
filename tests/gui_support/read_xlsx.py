#!/usr/bin/python3
"""Reads an .xlsx workbook with openpyxl and prints what the tests compare, one item a line:
SHEET <tab> name <tab> rows <tab> columns
CELL <tab> row <tab> column (both from 0) <tab> number|text|other <tab> value
Numbers are printed with repr(), the shortest text that reads back as the same double;
texts are UTF-8 with backslash, tab and line feed escaped. Empty cells are left out."""
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
out = []
for sheet in book.worksheets:
    out.append("SHEET\t%s\t%d\t%d" % (sheet.title, sheet.max_row, sheet.max_column))
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            if cell.data_type == "n":
                kind, text = "number", repr(float(cell.value))
            elif cell.data_type == "s":
                kind = "text"
                text = cell.value.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
            else:
                kind, text = "other", str(cell.value)
            out.append("CELL\t%d\t%d\t%s\t%s" % (cell.row - 1, cell.column - 1, kind, text))
sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))
