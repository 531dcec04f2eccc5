#pragma once
// What a commit checks and fills in before it writes a table's rows: autonumbers handed out, the
// columns a required index needs, and the keys a unique index may hold once. Messages name the
// index, the table and the values.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jet/table_def.h"
#include "jet/value.h"

namespace kv::jet {

// One value per column, in the order of TableDef::columns.
using TableRow = std::vector<Value>;
// Rows handed out one at a time by position, so that a table is never held whole in a second form.
// A rebuild may ask for rows from two threads at once: a supplier changes no state it shares.
using RowSupplier = std::function<TableRow(std::size_t position)>;

// Autonumber columns that are NULL get the numbers after `last` (the last number handed out), and
// random GUIDs where the column makes them. Returns the last number used, which also follows every
// number already present.
std::uint32_t fillAutonumbers(const TableDef& def, std::uint32_t last, std::vector<TableRow>& rows);

// Whether a commit fills in values the rows lack (autonumbers or GUIDs) in some column of the table.
bool fillsInValues(const TableDef& def);

// The positions of the table's autonumber columns.
std::vector<std::size_t> autonumberPositions(const TableDef& def);
// The highest of `last` and the row's autonumbers, in the columns at `positions`.
std::uint32_t highestAutonumber(const std::vector<std::size_t>& positions, std::uint32_t last, const TableRow& row);

// Throws when a column of a required index is NULL in the row.
void requireIndexValues(const TableDef& def, std::size_t realIndex, const TableRow& row);
// The index keeps no entry for the row: all its columns are NULL and the index ignores NULLs.
bool leftOutOfIndex(const TableDef& def, const RealIndex& index, const TableRow& row);
// A unique index may hold a key twice only for rows whose key columns are all NULL.
bool mayRepeatKey(const TableDef& def, const RealIndex& index, const TableRow& row);
[[noreturn]] void throwRepeatedKey(const TableDef& def, std::size_t realIndex, const TableRow& row);

}  // namespace kv::jet
