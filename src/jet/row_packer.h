#pragma once
// Packing a row, the reverse of crackRow: the column count, the fixed columns at their offsets, the
// variable columns, the end-of-data offset and the variable-offset table (in reverse), the count of
// variable columns and the null mask, where booleans keep their value.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/long_value_writer.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace kv::jet {

// `values` holds one value per column of `def`. Memo and OLE values that do not stay in the row go
// through `longValues`. Throws std::runtime_error naming the column when a value does not fit its
// column's type or size, or the row is too long for a page.
std::vector<std::uint8_t> packRow(const TableDef& def, const std::vector<Value>& values, LongValueWriter& longValues);

// Throws std::runtime_error naming the column and the text when the text is longer than a Text
// column holds.
void requireTextFits(const Column& column, const std::string& text);

}  // namespace kv::jet
