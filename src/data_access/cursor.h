#pragma once
// A table cursor: opens one table of a connection and walks its rows, in the source's order, in
// the order of a sort, or in the order of an index; reads and writes columns as text; filters,
// locates and seeks. Every error names the cursor, and a column the table lacks raises
// "<cursor name>: Field '<column>' not found".
//
// Positions: first() goes to the first row, next() to the following one; after the last row the
// cursor is at the end, where it has no current row and every column reads as empty. While an
// index is set the cursor walks the index's order and a sort is not used.
//
// Changes: edit() or insert(), then setText() for each column, then post(). Moving, locating or
// seeking posts a pending change first, and throws as post() does when it cannot be posted;
// close() and cancel() drop it. An inserted row is placed
// after the last row of the cursor's order; an edited row keeps its place, even when it no longer
// matches the filter, until the filter or sort is set again.
//
// Cursors on the same table of a connection share its rows: a post through one is read through
// the others at once. A row another cursor inserts joins this cursor's order when the cursor is
// next opened or its filter, sort or index is set (at once while an index is set).
//
// Row positions: every row of the table has one, from 0 for the first in the source's order,
// whatever the cursor's filter, sort or index; an inserted row takes the next one, and removing a
// row moves the rows after it up by one. A position reaches its row at once, without walking the
// order: a grid reads the rows it shows by their positions.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/filter_expression.h"
#include "data_access/provider.h"
#include "data_access/row_cache.h"
#include "data_access/row_sort.h"
#include "data_access/shared_table.h"

namespace kv::data_access {

class Connection;

class Cursor {
public:
    explicit Cursor(std::string name);

    const std::string& name() const { return name_; }

    // The cursor must be closed; a null connection unbinds it.
    void setConnection(Connection* connection);
    Connection* connection() const { return connection_; }
    void setTableName(std::string tableName);
    const std::string& tableName() const { return tableName_; }

    // Opens the table at its first row. Throws (and stays closed) when the table, or a column or
    // index that the filter, sort or index name refers to, does not exist.
    void open();
    void close();
    // False also after the connection was closed.
    bool isOpen() const;

    void first();
    void next();
    bool atEnd() const;
    // The rows the cursor walks (after the filter).
    long long recordCount() const;
    std::vector<std::string> columnNames() const;

    // The most characters the column holds (ProviderTable::textCapacity); none when the source
    // sets no limit or the column is not text.
    std::optional<std::size_t> textCapacity(std::string_view column) const;

    // A column of the open table, found once by name so that a loop over rows addresses it by
    // position. Throws the field error when the table lacks it.
    struct Field {
        std::size_t column;
    };
    Field field(std::string_view column) const;

    // The column's text; NULL reads as empty.
    std::string text(std::string_view column) const;
    std::string text(Field field) const;
    // The column's text in the row at `position`, as stored (a pending change is not seen); the
    // cursor does not move. Throws when the table has no row there.
    std::string text(long long position, std::string_view column) const;
    std::string text(long long position, Field field) const;
    // The current row's position; -1 at the end.
    long long position() const;
    // Posts a pending change, then moves to the row at `position`. A position outside the table,
    // or a row the cursor's order lacks (hidden by the filter): false, and the cursor is at the end.
    bool moveTo(long long position);
    // Only between edit() or insert() and post(); the provider checks the value against the column.
    void setText(std::string_view column, std::string_view value);
    void setText(Field field, std::string_view value);

    // Takes effect while filtering is on; an empty expression lets every row through. Setting
    // either moves to the first row.
    void setFilter(std::string expression);
    void setFiltered(bool on);
    const std::string& filter() const { return filterText_; }
    bool isFiltered() const { return filtered_; }

    // "ContestName ASC", several keys separated by commas; empty for the source's order.
    void setSort(std::string sortText);

    // Looks, from the first row of the cursor's order, for the first row whose `columns` (names
    // separated by ";") equal `values`, one per column, ignoring letter case; a number equals the
    // same number in another spelling. Found: moves there. Not found, or any error of the search:
    // false, and the cursor stays where it was.
    bool locate(std::string_view columns, const std::vector<std::string>& values);

    // Walks the named index from now on; an empty name goes back to the source's or sort's order.
    // Throws when the table has no such index.
    void setIndexName(std::string indexName);
    const std::string& indexName() const { return indexName_; }
    // Moves to the first row whose key on the index's first column equals `value`. Not found, no
    // index set, or any error of the search: false, and the cursor is at the end.
    bool seek(std::string_view value);
    // Moves to the first row, in the index's order, whose index's first column starts with
    // `prefix`, ignoring letter case. Not found, no index set, or any error of the search: false,
    // and the cursor is at the end.
    bool seekPrefix(std::string_view prefix);

    void edit();
    void insert();
    void post();
    void cancel();
    bool isEditing() const { return mode_ != Mode::Browse; }
    // Removes the current row (committed like a post); the cursor moves to the row that followed it.
    void remove();
    // Removes the rows at these positions in one step (committed like one post), a pending change
    // dropped; positions outside the table are passed over. The cursor moves to its first row.
    // Returns how many went.
    std::size_t removeAt(std::vector<long long> positions);

private:
    friend class Connection;
    enum class Mode { Browse, Edit, Insert };

    void openOn(std::shared_ptr<SharedTable> table);
    void requireOpen() const;
    [[noreturn]] void fieldNotFound(std::string_view column) const;
    std::size_t column(std::string_view name) const;
    // The field's column, checked to be one of the open table's.
    std::size_t column(Field field) const;
    FilterExpression::ColumnResolver columnResolver() const;

    // Parses the filter and sort and builds the order; moves to the first row. The order is a
    // cache of the settings, so reads that refresh it stay const.
    void applyOrder() const;
    // Sets a filter or sort setting and applies it; on failure the setting is as it was.
    template <typename Setting>
    void changeOrder(Setting& setting, Setting value);
    // Rebuilds the order after another cursor removed rows or a commit failed.
    void followTable() const;
    bool passes(std::size_t row) const;
    // The row at `position` as the table now holds it, read once and kept while it is current;
    // cellAt reads only the one cell.
    const Row& rowAt(std::size_t position) const;
    const Value& cellAt(std::size_t position, std::size_t column) const;
    std::optional<std::size_t> currentRow() const;
    void moveToRow(std::size_t row);
    std::optional<std::size_t> indexedFrom(std::optional<std::size_t> row) const;
    // Runs `search` for a row on the index and moves there; at the end when it finds none.
    template <typename Search>
    bool seekWith(Search search);
    void finishEditing();

    std::string name_;
    Connection* connection_ = nullptr;
    std::string tableName_;
    std::string filterText_;
    bool filtered_ = false;
    std::string sortText_;
    std::string indexName_;

    std::shared_ptr<SharedTable> table_;
    mutable std::optional<FilterExpression> filter_;
    mutable const TableIndex* index_ = nullptr;
    // Without an index: the rows in the cursor's order and the place in it.
    mutable std::vector<std::size_t> order_;
    mutable std::size_t place_ = 0;
    // With an index: the current row, empty at the end.
    mutable std::optional<std::size_t> indexRow_;
    mutable std::uint64_t generation_ = 0;
    // The cells read of the last row read.
    mutable RowCache read_;

    Mode mode_ = Mode::Browse;
    std::optional<std::size_t> editedRow_;
    Row buffer_;
};

}  // namespace kv::data_access
