#pragma once
// One loaded table of a connection, shared by every cursor that opens it, so that a post through
// one cursor is seen by the others at once. The source holds the rows; this keeps only the rows
// posted since the last commit, packed, and for each position where its row is. Posted rows run
// ahead of the source while commits are deferred (bulk work). It also keeps the indexes cursors
// have asked for.

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

#include "data_access/packed_rows.h"
#include "data_access/provider.h"
#include "data_access/table_index.h"

namespace kv::data_access {

class SharedTable : public RowSource {
public:
    SharedTable(std::string name, std::unique_ptr<ProviderTable> source);

    const std::string& name() const { return name_; }
    const std::vector<std::string>& columnNames() const { return source_->columnNames(); }
    // Matched regardless of letter case; the first of equal names wins.
    std::optional<std::size_t> findColumn(std::string_view name) const;

    // The rows as posted.
    std::size_t rowCount() const override { return rows_.size(); }
    void readRow(std::size_t position, Row& into) const override;
    void readCell(std::size_t position, std::size_t column, Value& into) const override;

    Value convert(std::size_t column, const Value& value) const { return source_->convert(column, value); }
    std::optional<std::size_t> textCapacity(std::size_t column) const { return source_->textCapacity(column); }

    // Changes whenever row positions change (rows removed, or the rows reloaded after a failed
    // commit); cursors then rebuild their order. Appending a row does not change it.
    std::uint64_t generation() const { return generation_; }
    // Changes whenever any row's cells may have changed, so that a row read before is read again.
    std::uint64_t version() const { return version_; }

    // A closed connection detaches its tables; cursors on them count as closed.
    bool isAttached() const { return attached_; }
    void detach() { attached_ = false; }

    // The index of that name (matched regardless of letter case), built on first use.
    // Throws when the table has no such index.
    const TableIndex& index(std::string_view name);

    // Writes `values` (a row as a cursor holds it, a value per column) into the row at `row`, or
    // appends them when `row` is empty, and returns the row's position. Commits at once unless commits are deferred. On failure nothing changed,
    // or, when the commit failed, the rows are reloaded from the source.
    std::size_t post(std::optional<std::size_t> row, const Row& values);
    // Removes the rows at these positions (ascending; those outside the table are passed over);
    // committed like a post. Returns how many went.
    std::size_t removeAt(const std::vector<std::size_t>& positions);
    // Removes the rows for which `doomed` is true, as removeAt.
    std::size_t removeWhere(const std::function<bool(const Row&)>& doomed);

    // While deferred, posts only change the rows here; commitPending() writes them all.
    void setCommitDeferred(bool deferred) { deferred_ = deferred; }
    void commitPending();
    // Drops the posts not yet committed: the rows are the source's again.
    void discardPending();

private:
    // Where a position's row is: the source's row it came from (none for a new row) and its posted
    // cells (none while it is as the source has it).
    struct RowPlace {
        static constexpr std::uint32_t kNone = UINT32_MAX;
        std::uint32_t source = kNone;
        std::uint32_t posted = kNone;
    };

    TableChanges pendingChanges() const;
    void commitOrReload();
    void reloadFromSource();
    void placeSourceRows();

    std::string name_;
    std::unique_ptr<ProviderTable> source_;
    std::vector<RowPlace> rows_;
    PackedRows posted_;
    std::unordered_map<std::string, std::size_t> columnByFoldedName_;
    std::map<std::string, std::unique_ptr<TableIndex>> indexByFoldedName_;
    std::uint64_t generation_ = 0;
    std::uint64_t version_ = 0;
    bool attached_ = true;
    bool deferred_ = false;
    bool pending_ = false;
};

}  // namespace kv::data_access
