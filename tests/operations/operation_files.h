#pragma once
// The files the operations' tests give the program: a program directory with the built
// mapping.xls and template, workbooks written from CSV text by the build's own workbook writer,
// History databases filled with rows by jetmake, and the rows of a table read back through
// the table access layer.

#include "program_directory.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kv::testing {

// A program directory holding the mapping.xls and kestrovane_mdb.template of the build.
class ProgramFiles : public ui::testing::ProgramDirectory {
public:
    ProgramFiles();
    // A file of the test's own in this folder.
    std::string file(const std::string& name) const { return (path() / name).string(); }
};

// Writes an Excel workbook with the sheets ImportMapping and ExportMapping from CSV text (the
// first line of each is its header row). An empty text leaves that sheet out.
void writeWorkbook(const std::string& path, const std::string& importMapping, const std::string& exportMapping);

// Writes an Access database with the tables of `schema` (an SQL file in the dialect jetmake reads)
// and these rows: table name and CSV text whose first line names the columns.
void writeAccessDatabase(const std::string& path, const std::string& schema,
                         const std::vector<std::pair<std::string, std::string>>& tableRows);

// Writes a History database with the template's tables and these History rows.
void writeHistoryDatabase(const std::string& path, const std::string& historyRows);

// The value of `column` in every row of `table`, read through the table access layer.
std::vector<std::string> columnValues(const std::string& databasePath, const std::string& table,
                                      const std::string& column);

std::string fileBytes(const std::string& path);

// `text` as one word of a shell command, whatever it holds.
std::string quoted(const std::string& text);

// Zeroes the data page that holds the middle row of `table`, as a failing disk or copy leaves a
// page, and returns what the engine then reports when it reads the table.
std::string blankDataPage(const std::string& databasePath, const std::string& table);

}  // namespace kv::testing
