#!/usr/bin/python3
"""Prints the contests a mapping workbook offers, read with xlrd, as kestrovane-cli contests should:

    workbook_contests.py WORKBOOK

"export<TAB>Contest" for each ExportMapping row whose History is 1, then "history-file<TAB>
Contest_general" for each such ImportMapping row, in sheet order. Columns are found by their
header, as the program finds them.
"""
import sys

import xlrd


def listed(book, sheet_name, column):
    sheet = book.sheet_by_name(sheet_name)
    header = [str(value) for value in sheet.row_values(0)]
    history, wanted = header.index("History"), header.index(column)
    for r in range(1, sheet.nrows):
        row = sheet.row_values(r)
        if row[history] == 1:
            yield row[wanted]


def main(workbook):
    book = xlrd.open_workbook(workbook)
    for contest in listed(book, "ExportMapping", "Contest"):
        print(f"export\t{contest}")
    for contest_type in listed(book, "ImportMapping", "Contest_general"):
        print(f"history-file\t{contest_type}")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
