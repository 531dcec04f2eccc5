#!/usr/bin/python3
"""Checks the program's mapping.xls against its text sources and against the files it names.

    check_workbook.py cells WORKBOOK SHEET=FILE.csv [SHEET=FILE.csv ...]
        The workbook, read with xlrd, has exactly these sheets, and every cell of each holds what
        the text file says: a text cell the same text, a number cell a number that reads back as
        the same text (1 is the number 1, read as "1"), an empty cell nothing.

    check_workbook.py names WORKBOOK TEMPLATE LOGGER_DATABASE [--mdb-export PROGRAM]
        Every History column the workbook names is a column of the template's History table (as
        mdb-export lists it); every logger column the import sheet names is a column of the
        logger's DXLOG table and every contest is one the logger knows (its Contest table); every
        contest appears once per sheet, in both sheets, with History 0 or 1 and the same History
        in both; the key columns hold Call; contests that share a Contest_general share its
        Field1..field7; an export field names only a History column whose value the logger
        reads at that position of a line; every CabrilloMapping row belongs to an ImportMapping
        contest, comes once per Cabrillo and Location, names History columns or "-" in its
        Sent and Received cells without a gap, and a Cabrillo contest with a Location row also
        has a row for every other location. Names are compared without regard to letter case,
        as the program looks them up.

Prints every difference found and exits 1 when there is one, 2 when a file cannot be read.
"""
import argparse
import csv
import os
import sqlite3
import subprocess
import sys

import xlrd

IMPORT_HEADER = ["Contest", "History", "Contest_general", "Field1", "field2", "field3", "field4",
                 "field5", "field6", "field7", "Call", "Ck", "Sect", "Exchange1", "Name",
                 "Gridsquare", "nr", "ZN", "Power"]
EXPORT_HEADER = ["Contest", "History"] + [f"field{k}" for k in range(1, 15)]
CABRILLO_SENT = [f"Sent{k}" for k in range(1, 6)]
CABRILLO_RECEIVED = [f"Received{k}" for k in range(1, 6)]
CABRILLO_HEADER = ["Cabrillo", "Location", "Contest"] + CABRILLO_SENT + CABRILLO_RECEIVED
TEXT_FILE_COLUMNS = IMPORT_HEADER[3:10]
LOGGER_COLUMNS = IMPORT_HEADER[10:]
EXPORT_FIELDS = EXPORT_HEADER[2:]

# The logger's fields in its default order, the positions field1 ... field14; each position takes
# the History columns named here: the one of the logger's name, and Grid (the grid kept before
# Loc1 existed) at Loc1 and data2 (the latest of a changing exchange, the Field Day class) at Exch1.
EXPORT_POSITIONS = [("Call", {"call"}), ("Name", {"name"}), ("Loc1", {"loc1", "grid"}), ("Loc2", {"loc2"}),
                    ("Sect", {"sect"}), ("State", {"state"}), ("CK", {"ck"}), ("BirthDate", {"birthdate"}),
                    ("Exch1", {"exch1", "data2"}), ("Misc", {"misc"}), ("Power", {"power"}),
                    ("CqZone", {"cqzone"}), ("ITUZone", {"ituzone"}), ("UserText", {"usertext"})]


class Unreadable(Exception):
    pass


def column_name(index):
    name = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def read_csv(path):
    try:
        with open(path, newline="", encoding="utf-8-sig") as source:
            return [row for row in csv.reader(source)]
    except OSError as error:
        raise Unreadable(f"cannot read {path}: {error.strerror}")


def open_workbook(path):
    try:
        return xlrd.open_workbook(path)
    except (OSError, xlrd.XLRDError) as error:
        raise Unreadable(f"cannot open {path} with xlrd: {error}")


def number_text(value):
    return str(int(value)) if value == int(value) else repr(value)


def describe(cell):
    kind = xlrd.sheet.ctype_text.get(cell.ctype, str(cell.ctype))
    return f"{'an' if kind[0] in 'aeiou' else 'a'} {kind} cell {cell.value!r}"


def cell_problem(cell, text):
    """What is wrong with one workbook cell that should hold `text`, or None."""
    if text == "":
        if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
            return None
        return f"should be empty but is {describe(cell)}"
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        if number_text(cell.value) != text:
            return f"is the number {cell.value!r}, which reads {number_text(cell.value)!r}, not {text!r}"
        return None
    if text.isdigit():
        return f"should be the number {text} but is {describe(cell)}"
    if cell.ctype != xlrd.XL_CELL_TEXT or cell.value != text:
        return f"should be the text {text!r} but is {describe(cell)}"
    return None


def compare_sheet(sheet, rows):
    problems = []
    height = max(sheet.nrows, len(rows))
    width = max([sheet.ncols] + [len(row) for row in rows])
    empty = xlrd.sheet.Cell(xlrd.XL_CELL_EMPTY, "")
    for r in range(height):
        for c in range(width):
            text = rows[r][c] if r < len(rows) and c < len(rows[r]) else ""
            cell = sheet.cell(r, c) if r < sheet.nrows and c < sheet.row_len(r) else empty
            problem = cell_problem(cell, text)
            if problem:
                problems.append(f"{sheet.name}!{column_name(c)}{r + 1} {problem}")
    return problems


def check_cells(arguments):
    book = open_workbook(arguments.workbook)
    sources = {}
    for pair in arguments.sheets:
        name, _, path = pair.partition("=")
        if not path:
            raise Unreadable(f"{pair!r} is not SHEET=FILE.csv")
        sources[name] = read_csv(path)
    problems = []
    if sorted(book.sheet_names()) != sorted(sources):
        problems.append(f"the workbook has the sheets {book.sheet_names()}, not {sorted(sources)}")
    for name, rows in sources.items():
        if name in book.sheet_names():
            problems += compare_sheet(book.sheet_by_name(name), rows)
    return problems


def sheet_rows(book, name, header):
    """The sheet's rows below its header, each as a dict of display text, and any header problem."""
    try:
        sheet = book.sheet_by_name(name)
    except xlrd.XLRDError:
        return [], [f"the workbook has no sheet {name}"]
    texts = [[number_text(v) if t == xlrd.XL_CELL_NUMBER else str(v)
              for t, v in zip(sheet.row_types(r), sheet.row_values(r))] for r in range(sheet.nrows)]
    found = texts[0] if texts else []
    if found != header:
        return [], [f"{name}: the header row is {found}, not {header}"]
    rows = []
    for r, values in enumerate(texts[1:], start=2):
        row = dict(zip(header, values + [""] * (len(header) - len(values))))
        row["line"] = r
        if len(values) > len(header):
            row["extra"] = values[len(header):]
        row["History is a number"] = (sheet.row_len(r - 1) > 1 and
                                      sheet.cell_type(r - 1, 1) == xlrd.XL_CELL_NUMBER)
        rows.append(row)
    return rows, []


def template_columns(template, mdb_export):
    try:
        result = subprocess.run([mdb_export, template, "History"], capture_output=True, text=True)
    except OSError as error:
        raise Unreadable(f"cannot run {mdb_export}: {error.strerror}")
    if result.returncode != 0 or not result.stdout:
        raise Unreadable(f"{mdb_export} {template} History failed: {result.stderr.strip()}")
    return next(csv.reader([result.stdout.splitlines()[0]]))


def logger_names(database):
    """The DXLOG columns and the contest names of a logger database, read without changing it."""
    if not os.path.isfile(database):
        raise Unreadable(f"the logger database {database} is missing")
    try:
        connection = sqlite3.connect(f"file:{database}?mode=ro&immutable=1", uri=True)
        try:
            columns = [row[1] for row in connection.execute("PRAGMA table_info(DXLOG)")]
            contests = [row[0] for row in connection.execute("SELECT Name FROM Contest")]
        finally:
            connection.close()
    except sqlite3.Error as error:
        raise Unreadable(f"cannot read the logger database {database}: {error}")
    if not columns or not contests:
        raise Unreadable(f"{database} has no DXLOG table or no contests")
    return columns, contests


def check_names(arguments):
    book = open_workbook(arguments.workbook)
    history = {name.lower() for name in template_columns(arguments.template, arguments.mdb_export)}
    dxlog, known_contests = logger_names(arguments.logger_database)
    dxlog = {name.lower() for name in dxlog}
    known_contests = {name.lower() for name in known_contests}

    imports, import_problems = sheet_rows(book, "ImportMapping", IMPORT_HEADER)
    exports, export_problems = sheet_rows(book, "ExportMapping", EXPORT_HEADER)
    problems = import_problems + export_problems
    both_read = not problems

    for column in LOGGER_COLUMNS:
        if column.lower() not in dxlog:
            problems.append(f"ImportMapping: {column} is no column of the logger's DXLOG table")

    def check_rows(sheet, rows, named_columns):
        seen = {}
        for row in rows:
            where = f"{sheet} line {row['line']} ({row['Contest']})"
            contest = row["Contest"].lower()
            if "extra" in row:
                problems.append(f"{where}: cells beyond the header: {row['extra']}")
            if contest == "":
                problems.append(f"{where}: no Contest")
            elif contest in seen:
                problems.append(f"{where}: {row['Contest']} is already on line {seen[contest]}")
            else:
                seen[contest] = row["line"]
            if contest and contest not in known_contests:
                problems.append(f"{where}: the logger knows no contest {row['Contest']}")
            if row["History"] not in ("0", "1") or not row["History is a number"]:
                problems.append(f"{where}: History is {row['History']!r}, not the number 0 or 1")
            for column in named_columns:
                target = row[column]
                if target and target.lower() not in history:
                    problems.append(f"{where}: {column} names {target!r}, which is no column of History")
        return seen

    imported = check_rows("ImportMapping", imports, TEXT_FILE_COLUMNS + LOGGER_COLUMNS)
    exported = check_rows("ExportMapping", exports, EXPORT_FIELDS)

    for contest in sorted(set(imported) ^ set(exported)) if both_read else []:
        sheet = "ExportMapping" if contest in imported else "ImportMapping"
        problems.append(f"{contest} has no row in {sheet}")
    history_of = {row["Contest"].lower(): row["History"] for row in imports}
    for row in exports:
        imported_history = history_of.get(row["Contest"].lower())
        if imported_history is not None and imported_history != row["History"]:
            problems.append(f"{row['Contest']}: History is {imported_history} in ImportMapping "
                            f"but {row['History']} in ExportMapping")

    fields_of_group = {}
    for row in imports:
        where = f"ImportMapping line {row['line']} ({row['Contest']})"
        if row["Field1"].lower() != "call" or row["Call"].lower() != "call":
            problems.append(f"{where}: Field1 and Call must both be Call, the key, not "
                            f"{row['Field1']!r} and {row['Call']!r}")
        if row["Contest_general"] == "":
            problems.append(f"{where}: no Contest_general")
        for columns, kind in ((TEXT_FILE_COLUMNS, "text-file"), (LOGGER_COLUMNS, "logger")):
            targets = [row[c].lower() for c in columns if row[c]]
            if len(targets) != len(set(targets)):
                problems.append(f"{where}: two {kind} columns go into the same History column")
        fields = [row[c] for c in TEXT_FILE_COLUMNS]
        fields = [name.lower() for name in fields]
        group = row["Contest_general"].lower()
        if group in fields_of_group and fields_of_group[group][1] != fields:
            first, first_fields = fields_of_group[group]
            problems.append(f"{where}: Field1..field7 {fields} differ from {first_fields} of {first}, "
                            f"which has the same Contest_general {row['Contest_general']}")
        fields_of_group.setdefault(group, (row["Contest"], fields))

    for row in exports:
        where = f"ExportMapping line {row['line']} ({row['Contest']})"
        for field, (position, column) in zip(EXPORT_FIELDS, EXPORT_POSITIONS):
            target = row[field]
            if target and target.lower() not in column:
                expected = " or ".join(sorted(column)) + " or nothing"
                problems.append(f"{where}: {field} is the logger's {position}, which takes {expected}, "
                                f"not {target}")
        if row["field1"].lower() != "call":
            problems.append(f"{where}: field1 must be Call, not {row['field1']!r}")

    cabrillo_rows, cabrillo_problems = sheet_rows(book, "CabrilloMapping", CABRILLO_HEADER)
    problems += cabrillo_problems
    problems += check_cabrillo_rows(cabrillo_rows, set(imported), history)
    return problems


def check_cabrillo_rows(rows, import_contests, history):
    problems = []
    seen = {}
    for row in rows:
        where = f"CabrilloMapping line {row['line']} ({row['Cabrillo']})"
        key = (row["Cabrillo"].lower(), row["Location"].lower())
        if "extra" in row:
            problems.append(f"{where}: cells beyond the header: {row['extra']}")
        if not row["Cabrillo"]:
            problems.append(f"{where}: no Cabrillo")
        if key in seen:
            problems.append(f"{where}: {row['Cabrillo']} {row['Location']} is already on line {seen[key]}")
        seen.setdefault(key, row["line"])
        if row["Contest"].lower() not in import_contests:
            problems.append(f"{where}: Contest {row['Contest']!r} is no contest of ImportMapping")
        for cells in (CABRILLO_SENT, CABRILLO_RECEIVED):
            texts = [row[c] for c in cells]
            filled = [t for t in texts if t]
            if not filled or texts[:len(filled)] != filled:
                problems.append(f"{where}: {cells[0]}.. must start with the exchange's fields and have no gap")
            for column, text in zip(cells, texts):
                if text and text != "-" and text.lower() not in history:
                    problems.append(f"{where}: {column} names {text!r}, which is neither a History column nor -")
    for cabrillo, location in seen:
        if location and (cabrillo, "") not in seen:
            problems.append(f"CabrilloMapping: {cabrillo} has a row for {location} but none for other locations")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    cells = commands.add_parser("cells")
    cells.add_argument("workbook")
    cells.add_argument("sheets", nargs="+", metavar="SHEET=FILE.csv")
    cells.set_defaults(run=check_cells)
    names = commands.add_parser("names")
    names.add_argument("workbook")
    names.add_argument("template")
    names.add_argument("logger_database")
    names.add_argument("--mdb-export", default="mdb-export")
    names.set_defaults(run=check_names)
    arguments = parser.parse_args()
    try:
        problems = arguments.run(arguments)
    except Unreadable as error:
        print(f"check_workbook.py: {error}", file=sys.stderr)
        return 2
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"{arguments.workbook}: {len(problems)} difference(s)", file=sys.stderr)
        return 1
    print(f"{arguments.workbook}: no difference")
    return 0


if __name__ == "__main__":
    sys.exit(main())
