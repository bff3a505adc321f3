#!/usr/bin/env python3
"""Reads the sample report workbooks back with openpyxl and checks cells, merges, widths and styles."""
import os
import subprocess
import sys

import openpyxl

failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def style(ws, ref, colour, bold, italic=False):
    f = ws[ref].font
    check(f"{ws.title}!{ref} colour", f.color.rgb if f.color is not None else None, colour)
    check(f"{ws.title}!{ref} bold", bool(f.b), bold)
    check(f"{ws.title}!{ref} italic", bool(f.i), italic)


def merged(ws):
    return {str(r) for r in ws.merged_cells.ranges}


def width(ws, col):
    # The writer stores the width with the padding Excel adds for the cell margins.
    return int(ws.column_dimensions[col].width or 0)


BLACK, GREY, BLUE = "FF000000", "FF666666", "FF003CB4"
RED, GREEN = "FFAA0000", "FF00AA00"

tool, out = sys.argv[1], sys.argv[2]
subprocess.run([tool, out], check=True)
book = lambda name: openpyxl.load_workbook(os.path.join(out, name)).active

# The switch tables: every pair, name and value colours.
ws = book("lfa_sw.xlsx")
check("lfa title", ws["A1"].value, "LFA: Switch table")
check("lfa title size", ws["A1"].font.sz, 14)
check("lfa title alignment", ws["A1"].alignment.horizontal, "left")
style(ws, "A1", BLACK, True)
check("lfa heads", [ws["A3"].value, ws["B3"].value, ws["C3"].value], ["PAIR", "Vdc", "Vac"])
style(ws, "B3", BLACK, True)
check("lfa table alignment", ws["A4"].alignment.horizontal, "center")
check("lfa table border", ws["A4"].border.left.style, "thin")
check("lfa table size", ws["B4"].font.sz, 13)
style(ws, "A4", BLUE, True)
style(ws, "B4", RED, False)
style(ws, "C4", BLACK, False)
check("lfa grey name", ws["A5"].value, "1-3")
style(ws, "A5", GREY, False, True)
style(ws, "A6", BLACK, True)
style(ws, "B6", GREEN, False)
style(ws, "C6", RED, False)
check("lfa last row", ws["A39"].value, "8-SH")
check("lfa rows", ws.max_row, 39)

ws = book("wrx_sw.xlsx")
check("wrx sw title", ws["A1"].value, "WRx: Switch table")
check("wrx sw heads", [ws["B3"].value, ws["C3"].value], ["Total signals", "Unique signals"])
check("wrx sw widths", [width(ws, "B"), width(ws, "C")], [15, 16])
style(ws, "B4", BLACK, False)
style(ws, "C6", BLACK, False)
style(ws, "A5", GREY, False, True)

# The signal table of every pair: the grey pair has no group.
ws = book("wrx_signal_all.xlsx")
check("signal title", ws["A1"].value, "WRx: Signal table")
check("signal left column", [ws["A3"].value, ws["A4"].value, ws["A5"].value, ws["A6"].value], ["PAIR", "No.", 1, 2])
check("signal first group", [ws["B3"].value, ws["B4"].value, ws["C4"].value, ws["D4"].value],
      ["1-2", "Freq.", "Level", "Total"])
style(ws, "B3", BLUE, True)
check("signal widths", [width(ws, "B"), width(ws, "C"), width(ws, "D")], [16, 7, 7])
check("signal row", [ws["B5"].value, ws["C5"].value, ws["D5"].value], ["12.340 MHz", "40 dB", "3"])
style(ws, "B5", GREEN, True)
style(ws, "B6", RED, True)
check("signal unmarked", ws["H5"].value, "90.000 MHz")
style(ws, "H5", BLACK, False)
style(ws, "C5", BLACK, False)
check("signal second group", ws["E3"].value, "1-4")
check("signal nothing found", ws["E5"].value, "Nothing found!")
check("signal not searched", ws["K5"].value, "Search not performed!")
m = merged(ws)
for r in ("B3:D3", "E3:G3", "E5:G5", "K5:M5"):
    check(f"signal merge {r}", r in m, True)
check("signal groups", sum(1 for c in range(2, ws.max_column + 1, 3) if ws.cell(3, c).value), 35)
check("grey pair left out", any(ws.cell(3, c).value == "1-3" for c in range(1, ws.max_column + 1)), False)

ws = book("wrx_signal_one.xlsx")
check("one pair group", [ws["B3"].value, ws["B5"].value, ws["E3"].value], ["1-6", "Search not performed!", None])
check("one pair merge", "B5:D5" in merged(ws), True)

# Defects of every pair.
ws = book("refl_def_all.xlsx")
check("defects title", ws["A1"].value, "REFL: Defects table")
check("defects factor", ws["A2"].value, "Factor: 1.50")
check("defects factor size", ws["A2"].font.sz, 13)
check("defects heads", [ws["A3"].value, ws["A4"].value, ws["B4"].value, ws["C4"].value],
      ["1-2", "No.", "Distance", "Level"])
check("defects widths", [width(ws, "A"), width(ws, "B"), width(ws, "C")], [7, 10, 7])
check("defects rows", [ws["A5"].value, ws["B5"].value, ws["C5"].value, ws["B6"].value],
      [1, "15.3 m", "12 dB", "200.0 m"])
style(ws, "B5", BLACK, False)
check("defects notes", [ws["D5"].value, ws["G5"].value, ws["J5"].value], ["No defects!", "No data", "Noise!"])
m = merged(ws)
for r in ("A3:C3", "D5:F5", "G5:I5", "J5:L5"):
    check(f"defects merge {r}", r in m, True)

# The comparison of current and file data.
ws = book("refl_comp.xlsx")
check("comp title", ws["A1"].value, "REFL: Comparison on pair 1-2")
check("comp message", ws["A3"].value, "Differences found")
check("comp message size", ws["A3"].font.sz, 12)
style(ws, "A3", RED, True)
check("comp heads", [ws["D4"].value, ws["G4"].value], ["Current data (1-2)", " From file (1-2) "])
style(ws, "D4", BLACK, True)
check("comp widths", [width(ws, c) for c in "DEFGHI"], [8, 12, 10, 8, 12, 10])
check("comp rows", [ws["D6"].value, ws["E6"].value, ws["F6"].value, ws["E7"].value], ["1", "15.3 m", "12 dB", "200.0 m"])
style(ws, "D6", BLACK, False)
style(ws, "E6", RED, False)
style(ws, "F6", GREEN, False)
style(ws, "E7", BLACK, False)
check("comp file note", ws["G6"].value, "No defects!")
m = merged(ws)
for r in ("D4:F4", "G4:I4", "G6:I6"):
    check(f"comp merge {r}", r in m, True)

ws = book("refl_comp_nodata.xlsx")
check("no data", [ws["D6"].value, ws["G6"].value], ["No data", "No data"])
check("no data merges", {"D6:F6", "G6:I6"} <= merged(ws), True)

leftovers = [f for f in os.listdir(out) if not f.endswith(".xlsx")]
check("no temporary files left", leftovers, [])

for f in failures:
    print("FAIL", f)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
