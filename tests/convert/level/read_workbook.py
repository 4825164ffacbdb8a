"""Prints the sheets and cells of a workbook as JSON, read with openpyxl (independent of the
writer): {"sheets": [names], "cells": [[row, column, "n" or "s", value], ...]} for the first sheet."""
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
cells = []
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None:
            continue
        kind = "n" if isinstance(cell.value, (int, float)) else "s"
        cells.append([cell.row, cell.column, kind, cell.value if kind == "n" else str(cell.value)])
json.dump({"sheets": book.sheetnames, "cells": cells}, sys.stdout, ensure_ascii=True)
