#pragma once
// Cracking a row: its column count, fixed columns, variable columns and null mask, into values.

#include <cstddef>
#include <optional>
#include <vector>

#include "jet/bytes.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

// One value per column of `def`, in its column order. Memo and OLE values are fetched from their
// pages. Throws FormatError for a row that does not fit its structure.
std::vector<Value> crackRow(const PageFile& file, const TableDef& def, const ByteView& row);

// The bytes of variable column `variableIndex` of a row; nothing when the row holds no entry for
// it. Throws FormatError when the row's null mask or variable offsets do not fit the row.
std::optional<ByteView> variableColumnBytes(const ByteView& row, std::size_t variableIndex);

}  // namespace kv::jet
