#!/usr/bin/python3
"""Writes an Excel 8.0 workbook from comma-separated text files, one sheet per file.

    make_workbook.py OUT.xls SHEET=FILE.csv [SHEET=FILE.csv ...]

Each file is read as UTF-8; its lines become the sheet's rows in order. A cell that looks like a
number (12, -1, 2.5) is written as a number, an empty cell is left blank, anything else is text.
"""
import csv
import re
import sys

import xlwt

NUMBER = re.compile(r"-?\d+(\.\d+)?")


def cell_value(text):
    if NUMBER.fullmatch(text):
        return float(text) if "." in text else int(text)
    return text


def add_sheet(workbook, name, path):
    sheet = workbook.add_sheet(name)
    with open(path, newline="", encoding="utf-8-sig") as source:
        for r, row in enumerate(csv.reader(source)):
            for c, text in enumerate(row):
                if text != "":
                    sheet.write(r, c, cell_value(text))


def main(arguments):
    if len(arguments) < 2 or any("=" not in a for a in arguments[1:]):
        sys.exit(__doc__)
    workbook = xlwt.Workbook(encoding="utf-8")
    for argument in arguments[1:]:
        name, path = argument.split("=", 1)
        add_sheet(workbook, name, path)
    workbook.save(arguments[0])


if __name__ == "__main__":
    main(sys.argv[1:])
