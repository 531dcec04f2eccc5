#pragma once
// Cracking a row: its column count, fixed columns, variable columns and null mask, into values.

#include <cstddef>
#include <optional>
#include <vector>

#include "jet/bytes.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

// A stored row with its layout read once, so that its columns can be taken one by one: a reader
// that wants a few columns decodes only those.
class StoredRow {
public:
    // Throws FormatError when the row is shorter than its null mask.
    explicit StoredRow(const ByteView& row);

    // The bytes the row holds for a column; nothing when it holds none (NULL, a Boolean that is
    // false or any column past the row's column count). A Boolean that is true holds no bytes.
    std::optional<ByteView> bytes(const Column& column) const;
    // The column's value; Memo and OLE values are fetched from their pages in `file`.
    Value value(const PageFile& file, const Column& column) const;
    // The same, into `into`.
    void readValue(const PageFile& file, const Column& column, Value& into) const;
    // The whole row as stored.
    const ByteView& storedBytes() const { return row_; }
    // The bytes of variable column `variableIndex`, whatever the null mask says; nothing when the
    // row holds no entry for it.
    std::optional<ByteView> variable(std::size_t variableIndex) const;

private:
    bool holds(const Column& column) const { return column.number < columnCount_; }
    bool present(const Column& column) const;

    ByteView row_;
    std::size_t columnCount_ = 0;
    std::size_t maskStart_ = 0;
    std::size_t variableCount_ = 0;
};

// One value per column of `def`, in its column order. Memo and OLE values are fetched from their
// pages. Throws FormatError for a row that does not fit its structure.
std::vector<Value> crackRow(const PageFile& file, const TableDef& def, const StoredRow& row);
// The same into `values`, which keeps its room from one row to the next.
void crackRowInto(const PageFile& file, const TableDef& def, const StoredRow& row, std::vector<Value>& values);

}  // namespace kv::jet
