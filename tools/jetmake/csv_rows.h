#pragma once
// A table's rows from an RFC 4180 CSV file with a header row naming its columns (in any order; a
// column the header leaves out is NULL). Blanks are part of a field, quoted or not. Values are the
// text mdb-export prints: an empty unquoted field is NULL, "" is an empty text; numbers with '.';
// Date/Time as month/day/year or month-day-year with an optional H:MM:SS, or as ISO 8601
// (YYYY-MM-DD, with an optional time after a blank or a 'T'); Boolean as 1/0, True/False or -1;
// Replication ID as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}; Binary and OLE as hexadecimal digits
// (mdb-export -b hex).

#include <string>
#include <vector>

#include "jet/table_def_builder.h"
#include "jet/table_writer.h"

namespace kv::jetmake {

// Throws std::runtime_error naming the file, the line and the column for a value that does not
// fit its column, and for a header naming a column the table does not have.
std::vector<jet::TableRow> readCsvRows(const jet::TableDesign& table, const std::string& text,
                                       const std::string& fileName);

}  // namespace kv::jetmake
