#pragma once
// Stations held in memory as the one read-only table of a connection, so that an import run reads
// them through a cursor like any other source. The rows are handed over to the connection, which
// keeps them while it is open, so that they are held once.

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/packed_rows.h"

#include <string>
#include <vector>

namespace kv::import {

// Opens `connection` on `rows` with `columns`; `sourceName` (the file they come from) names the
// table in errors.
void holdStationRows(data_access::Connection& connection, std::string sourceName, std::vector<std::string> columns,
                     data_access::PackedRows rows);

// A cursor named `cursorName` on the rows `connection` holds, at the first.
data_access::Cursor openStationRows(data_access::Connection& connection, std::string cursorName);

}  // namespace kv::import
