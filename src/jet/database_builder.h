#pragma once
// Creating a database from nothing: the header page, the global usage map, the four system tables
// of an empty Jet database with their rows and indexes, then the user tables, each filled with its
// rows by the table writer.

#include <string>
#include <vector>

#include "jet/table_def_builder.h"
#include "jet/table_writer.h"

namespace kv::jet {

struct TableContent {
    TableDesign design;
    std::vector<TableRow> rows;  // one value per column of the design, in its column order
};

// The new database's bytes. Throws std::runtime_error naming the table and the problem for an
// invalid design (see validateDesign), a table name used twice (letter case aside) or taken by a
// system table, and for any row the table writer refuses.
std::vector<std::uint8_t> buildDatabase(const std::vector<TableContent>& tables);

// Writes the new database to `path` through a temporary file beside it, so that the path holds
// either nothing new or the whole database. Refuses a path that exists unless `replace`.
void createDatabase(const std::string& path, const std::vector<TableContent>& tables, bool replace = false);

}  // namespace kv::jet
