#pragma once
// One loaded table of a connection, shared by every cursor that opens it, so that a post through
// one cursor is seen by the others at once. It keeps the rows as posted, which run ahead of the
// source's rows while commits are deferred (bulk work), and the indexes cursors have asked for.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data_access/provider.h"
#include "data_access/table_index.h"

namespace kv::data_access {

class SharedTable {
public:
    SharedTable(std::string name, std::unique_ptr<ProviderTable> source);

    const std::string& name() const { return name_; }
    const std::vector<std::string>& columnNames() const { return source_->columnNames(); }
    // Matched regardless of letter case; the first of equal names wins.
    std::optional<std::size_t> findColumn(std::string_view name) const;
    const std::vector<Row>& rows() const { return rows_; }

    Value convert(std::size_t column, const Value& value) const { return source_->convert(column, value); }
    std::optional<std::size_t> textCapacity(std::size_t column) const { return source_->textCapacity(column); }

    // Changes whenever row positions change (rows removed, or the rows reloaded after a failed
    // commit); cursors then rebuild their order. Appending a row does not change it.
    std::uint64_t generation() const { return generation_; }

    // A closed connection detaches its tables; cursors on them count as closed.
    bool isAttached() const { return attached_; }
    void detach() { attached_ = false; }

    // The index of that name (matched regardless of letter case), built on first use.
    // Throws when the table has no such index.
    const TableIndex& index(std::string_view name);

    // Writes `values` into the row at `row`, or appends them when `row` is empty, and returns the
    // row's position. Commits at once unless commits are deferred. On failure nothing changed,
    // or, when the commit failed, the rows are reloaded from the source.
    std::size_t post(std::optional<std::size_t> row, Row values);
    // Removes the rows for which `doomed` is true; committed like a post. Returns how many.
    std::size_t removeRows(const std::function<bool(const Row&)>& doomed);

    // While deferred, posts only change the rows here; commitPending() writes them all.
    void setCommitDeferred(bool deferred) { deferred_ = deferred; }
    void commitPending();
    // Drops the posts not yet committed: the rows are the source's again.
    void discardPending();

private:
    void commitOrReload();
    void reloadFromSource();
    void originsFromSource();

    std::string name_;
    std::unique_ptr<ProviderTable> source_;
    std::vector<Row> rows_;
    RowOrigins origins_;  // by row: its position in the source's rows and whether it was posted
    std::unordered_map<std::string, std::size_t> columnByFoldedName_;
    std::map<std::string, std::unique_ptr<TableIndex>> indexByFoldedName_;
    std::uint64_t generation_ = 0;
    bool attached_ = true;
    bool deferred_ = false;
    bool pending_ = false;
};

}  // namespace kv::data_access
