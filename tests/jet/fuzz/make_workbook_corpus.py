#!/usr/bin/python3
"""Writes small seed workbooks for workbook_open_fuzzer into a folder.

    make_workbook_corpus.py FOLDER

Each holds some of the cells the reader knows: numbers as RK and NUMBER records, dates and times
in both date systems, Booleans, formulas, text in one and two bytes a character, rich text, and
enough strings that the shared string table goes on in CONTINUE records.
"""
import datetime
import os
import sys

import xlwt


def numbers_and_dates(book):
    sheet = book.add_sheet("Values")
    for c, title in enumerate(["Number", "Date", "Stamp", "Time", "Flag", "Sum", ""]):
        sheet.write(0, c, title)
    formats = [xlwt.easyxf(num_format_str=f) for f in ("YYYY-MM-DD", "D-MMM-YY h:mm:ss", "hh:mm")]
    for r, value in enumerate([1, 2.5, -3, 0.01, 2 ** 40, 1e-7], 1):
        sheet.write(r, 0, value)
        sheet.write(r, 1, datetime.date(2005, 5, r), formats[0])
        sheet.write(r, 2, datetime.datetime(2005, 12, r, 9, 5, 7), formats[1])
        sheet.write(r, 3, datetime.time(r, 30), formats[2])
        sheet.write(r, 4, r % 2 == 0)
        sheet.write(r, 5, xlwt.Formula("A%d*2" % (r + 1)))


def dates_1904(book):
    book.dates_1904 = True
    sheet = book.add_sheet("Log")
    sheet.write(0, 0, "When")
    sheet.write(1, 0, datetime.datetime(1999, 12, 31, 23, 59, 59), xlwt.easyxf(num_format_str="DD.MM.YYYY hh:mm:ss"))


def many_strings(book):
    sheet = book.add_sheet("Strings")
    for r in range(400):
        sheet.write(r, 0, "s%d " % r + "ä" * (r % 12))
    sheet.write(400, 0, "long " * 600)
    font = xlwt.Font()
    font.bold = True
    sheet.write_rich_text(401, 0, ["plain ", ("bold", font)])
    book.add_sheet("Empty")


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, fill in (("values", numbers_and_dates), ("dates1904", dates_1904), ("strings", many_strings)):
        book = xlwt.Workbook(encoding="utf-8")
        fill(book)
        book.save(os.path.join(folder, name + ".xls"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
