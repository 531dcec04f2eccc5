#pragma once
// The contract between the table access layer and the providers that read and write one kind of
// source (Access database, Excel workbook, delimited text). A provider hands out a table's rows by
// position, each made as text when it is read; filtering, sorting, locating and seeking are done
// once, above the providers, by Cursor.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::data_access {

// A cell as it crosses this layer: UTF-8 text, or no value (NULL).
using Value = std::optional<std::string>;
// A row may be shorter than its table's columns: the cells past its end are NULL.
using Row = std::vector<Value>;

inline const Value& cellOf(const Row& row, std::size_t column) {
    static const Value null;
    return column < row.size() ? row[column] : null;
}

// Rows by position, from 0 to rowCount() - 1.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual std::size_t rowCount() const = 0;
    // Fills `into` with the cells of the row at `position`, reusing its storage; it may come out
    // shorter than the table's columns. Throws std::out_of_range past the last row.
    virtual void readRow(std::size_t position, Row& into) const = 0;
    // Fills `into` with one cell of that row, NULL past the row's end: for readers of a few
    // columns, which a source may serve without making the others. Throws as readRow does.
    virtual void readCell(std::size_t position, std::size_t column, Value& into) const {
        Row row;
        readRow(position, row);
        into = cellOf(row, column);
    }
};

// What a commit writes, by the rows' positions in the source before it: rows removed, rows posted
// (which may or may not differ from the source's), and rows added after the last. The posted cells
// are read one row at a time, so that a large commit never holds them all a second time.
struct TableChanges {
    std::vector<std::size_t> removed;  // ascending
    std::vector<std::size_t> posted;   // ascending, none of them removed
    std::size_t added = 0;
    // The cells of change k: posted[k] while k < posted.size(), then added row k - posted.size().
    std::function<void(std::size_t change, Row& into)> readChange;
};

struct IndexColumn {
    std::string name;
    bool descending = false;
};

struct IndexInfo {
    std::string name;
    std::vector<IndexColumn> columns;
    bool unique = false;
    bool primaryKey = false;
};

// The entries of an index: each a key, encoded so that byte order is the index's order, and the
// position of the row it belongs to. The keys lie back to back in one buffer, so that a table of a
// million rows hands its index over in a few allocations.
class IndexEntries {
public:
    void reserve(std::size_t entries) {
        starts_.reserve(entries);
        rows_.reserve(entries);
    }
    void add(std::string_view key, std::size_t row) {
        starts_.push_back(keys_.size());
        rows_.push_back(row);
        keys_ += key;
    }
    std::size_t size() const { return rows_.size(); }
    std::string_view key(std::size_t entry) const {
        const std::size_t end = entry + 1 < starts_.size() ? starts_[entry + 1] : keys_.size();
        return std::string_view(keys_).substr(starts_[entry], end - starts_[entry]);
    }
    std::size_t row(std::size_t entry) const { return rows_[entry]; }
    // Where the entry's key starts in keys().
    std::size_t keyStart(std::size_t entry) const { return starts_[entry]; }
    const std::string& keys() const { return keys_; }
    // Hands the keys' buffer over to a holder of the entries' starts.
    std::string takeKeys() { return std::move(keys_); }

private:
    std::string keys_;
    std::vector<std::size_t> starts_;
    std::vector<std::size_t> rows_;
};

// One table of a source, held by the connection while cursors use it.
// Its rows are in the order the source keeps them.
class ProviderTable : public RowSource {
public:
    virtual const std::vector<std::string>& columnNames() const = 0;
    virtual const std::vector<IndexInfo>& indexes() const = 0;

    // Checks a value written into a column and returns it as it will read back afterwards
    // (for example a number in plain form). Throws with a message naming the column and the
    // value when it does not fit the column's type or size, and for read-only sources.
    virtual Value convert(std::size_t column, const Value& value) const = 0;
    // The most characters a text column of fixed size holds (as the source counts them: UTF-16
    // units for Access), so that a caller can make a value fit before convert() refuses it. None
    // for columns of other types and for sources that set no such limit.
    virtual std::optional<std::size_t> textCapacity(std::size_t /*column*/) const { return std::nullopt; }

    // Every entry of the index, in index order.
    virtual IndexEntries indexEntries(const IndexInfo& index) const = 0;
    // The key the index would hold for these values of its columns, in the index's column order.
    // Throws when the key cannot be encoded.
    virtual std::string encodeKey(const IndexInfo& index, const std::vector<Value>& values) const = 0;

    // Writes the changes to the source. Afterwards the rows are those kept, in their order, then
    // those added. Returns the positions (after the commit) of the posted and added rows that read
    // back otherwise than given: values the source fills in, such as autonumbers. All or nothing:
    // on failure the source and its rows are unchanged and the exception says why.
    virtual std::vector<std::size_t> commit(const TableChanges& changes) = 0;
};

// One opened source: a database file, a workbook or a folder of text files.
class Provider {
public:
    virtual ~Provider() = default;
    // Every table the source has, system tables included, in the source's own order.
    virtual std::vector<std::string> tableNames() = 0;
    // Throws when there is no such table; the name is matched regardless of letter case.
    virtual std::unique_ptr<ProviderTable> openTable(const std::string& name) = 0;
};

}  // namespace kv::data_access
