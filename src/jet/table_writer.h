#pragma once
// Committing a table: its pages are rebuilt from the rows it is to hold. Data pages, long-value
// pages and every index are written densely, pages the table owned are reused first, and the table
// definition's counters, index roots and usage maps follow. Nothing else in the file changes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jet/commit_rules.h"
#include "jet/data_page.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/value.h"
#include "jet/writable_database.h"

namespace kv::jet {

struct TableRebuild {
    PageImages pages;                    // every page that changes, by number
    std::vector<RowLocation> locations;  // where each row went
};

// Makes `rows` the table's whole content, in this order, atomically and durably (a rollback journal
// beside the file covers a crash). Autonumber columns that are NULL get the table's next numbers.
// Throws std::runtime_error, leaving the file unchanged, for a value that does not fit its column,
// a duplicate key in a unique index (naming the index and the values), a key that cannot be encoded,
// a read-only, locked or missing file, or a full disk. Returns the rows as stored.
std::vector<TableRow> commitTable(const std::string& databasePath, const std::string& tableName,
                                  std::vector<TableRow> rows);

// Where a row to be written lies among the table's rows in the file as they are, for a row kept as
// it is; nothing for the others.
using StoredRowFinder = std::function<std::optional<RowLocation>(std::size_t position)>;

// The page changes that give the table `def` of `file` these `rowCount` rows, without writing
// anything. Their autonumbers must be filled in already (fillAutonumbers); the table's counter
// follows the highest. A row that `storedAt` finds in `file` is copied as stored, and only the
// columns its keys and autonumbers need are read of it, unless the table has Memo or OLE columns
// (whose values may lie on pages the rebuild reuses); `rowAt` still hands out every row, for the
// message that names a repeated key. A table of many rows without such columns has its later half
// made on a second thread, so `rowAt` and `storedAt` are then asked from two threads at once.
TableRebuild rebuildTable(const PageFile& file, const TableDef& def, std::size_t rowCount, const RowSupplier& rowAt,
                          const StoredRowFinder& storedAt = {});

}  // namespace kv::jet
