#pragma once
// Packing a row, the reverse of crackRow: the column count, the fixed columns at their offsets, the
// variable columns, the end-of-data offset and the variable-offset table (in reverse), the count of
// variable columns and the null mask, where booleans keep their value.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "jet/long_value_writer.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace kv::jet {

// Packs rows of one table. Its layout is worked out once, and the buffers a row is put together
// in are kept from row to row; `def` must outlive the packer.
class RowPacker {
public:
    explicit RowPacker(const TableDef& def);
    // `values` holds one value per column of `def`. Memo and OLE values that do not stay in the row
    // go through `longValues`, which may be null for a table without such columns. Throws
    // std::runtime_error naming the column when a value does not fit its column's type or size, or
    // the row is too long for a page.
    std::vector<std::uint8_t> pack(const std::vector<Value>& values, LongValueWriter* longValues);
    // The same, into `row`, whose memory serves the next row as well.
    void pack(const std::vector<Value>& values, LongValueWriter* longValues, std::vector<std::uint8_t>& row);

private:
    const TableDef& def_;
    std::size_t columnCount_ = 0;
    std::size_t fixedSize_ = 0;
    std::size_t variableCount_ = 0;

    std::vector<std::uint8_t> nullMask_;
    // The variable columns' bytes one after another, each column's span (start, size) by its
    // variable index; a long value's bytes are made once the row's other columns are known.
    std::vector<std::uint8_t> variableBytes_;
    std::vector<std::pair<std::size_t, std::size_t>> variableSpans_;
    std::vector<std::size_t> longColumns_;
    std::vector<std::uint16_t> offsets_;
};

// Throws std::runtime_error naming the column and the text when the text is longer than a Text
// column holds.
void requireTextFits(const Column& column, const std::string& text);

}  // namespace kv::jet
