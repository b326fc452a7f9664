#!/usr/bin/python3
"""Reads an .xls workbook with xlrd and prints what the tests compare, one item a line:
SHEET <tab> name <tab> rows <tab> columns
CELL <tab> row <tab> column <tab> kind (text|blank|other) <tab> number format <tab> text
Texts are UTF-8; backslash, tab and line feed are escaped so that every item stays on one line.
With a second argument, empty (blank) cells are listed too."""
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
out = []
for sheet in book.sheets():
    out.append("SHEET\t%s\t%d\t%d" % (sheet.name, sheet.nrows, sheet.ncols))
    for r in range(sheet.nrows):
        for c in range(sheet.row_len(r)):
            cell = sheet.cell(r, c)
            kind = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_BLANK: "blank"}.get(cell.ctype, "other")
            if kind == "blank" and len(sys.argv) < 3:
                continue
            fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
            text = str(cell.value).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
            out.append("CELL\t%d\t%d\t%s\t%s\t%s" % (r, c, kind, fmt, text))
sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))
