#pragma once
// Committing changes to some rows of a table, as a grid edit or an import makes them. Only the
// pages whose bytes change are journaled and written: a changed row stays on its page while it
// fits there, new rows go where there is room, and each index changes along the paths of the keys
// that changed. Tables of a shape this does not handle in place (moved rows, usage maps that must
// change form) and edits of a large share of the rows are rebuilt whole instead (see
// table_writer.h). Before anything is written, the table's pages in the file are compared with
// those the rows were read from, so that a commit never overwrites another program's.

#include <cstddef>
#include <stdexcept>
#include <vector>

#include "jet/commit_rules.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/table_reader.h"
#include "jet/table_writer.h"

namespace kv::jet {

// Changes by position in the rows read (RowPlaces::locations).
struct TableEdit {
    std::vector<std::size_t> updated;   // ascending
    std::vector<TableRow> updatedRows;  // the new values of each
    std::vector<std::size_t> deleted;   // ascending
    std::vector<TableRow> inserted;
};

// Another program committed to the table since it was read, or put another file in its place.
class TableChangedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommittedEdit {
    PageFile file;  // the file as the commit left it
    std::size_t pagesJournaled = 0;
    std::size_t pagesWritten = 0;
};

// Commits `edit` to the table `def` as read from `snapshot` (the file at snapshot.path()), durably
// and all or nothing. `stored` holds where the rows read from `snapshot` are; afterwards it holds
// where they are in the committed file: updated rows in place, deleted rows gone, inserted rows at
// the end. Autonumbers the edit's rows lack are filled in. An edit that changes no byte writes
// nothing.
// Throws TableChangedError, having written nothing, when the path names another file than the one
// `snapshot` was read from (a compaction or a restore replaced it), or the table's pages in the file
// are no longer those of `snapshot`; std::runtime_error as commitTable does for a value that does not fit,
// a repeated key, a read-only, locked or missing file, or a full disk. `stored` is then unchanged.
CommittedEdit commitTableEdit(const PageFile& snapshot, const TableDef& def, RowPlaces& stored, TableEdit edit);

// Where each row of a table comes from once rows are deleted, updated and inserted (`deleted` and
// `updated` are positions before, ascending): a stored row kept (by its position before), the k-th
// updated row, or the k-th inserted one, which follow all the others.
class RowsAfterEdit {
public:
    enum class From { Kept, Updated, Inserted };
    struct Source {
        From from;
        std::size_t index;
    };

    RowsAfterEdit(std::size_t rowsBefore, const std::vector<std::size_t>& deleted,
                  const std::vector<std::size_t>& updated, std::size_t inserted);
    std::size_t size() const { return sources_.size() + inserted_; }
    Source at(std::size_t row) const;

private:
    // A source with this bit is the index of an updated row; without it, the position of a kept one.
    static constexpr std::size_t kUpdated = std::size_t{1} << (sizeof(std::size_t) * 8 - 1);

    std::vector<std::size_t> sources_;
    std::size_t inserted_;
};

// Where each kept row lies among the rows `stored` (before the edit); nothing for the others. Both
// must outlive the finder.
StoredRowFinder keptRowsAt(const RowsAfterEdit& rows, const RowPlaces& stored);

// Whether an edit that changes `changedRows` of a table's `storedRows` lays the table down afresh
// (a rebuild) rather than editing it in place: past a share of its rows, that costs less.
bool rebuildsTable(std::size_t changedRows, std::size_t storedRows);

// Commits the table's whole content laid down afresh: `rowCount` rows handed out in order by
// `rowAt`, their autonumbers filled in (fillAutonumbers). The rows are asked for one at a time, so
// that a large commit holds none of them twice; those `keptAt` finds among the rows of `snapshot`
// are copied as stored where the table allows (rebuildTable). The checks, the refusals and the all-or-nothing of
// commitTableEdit hold; `stored` then holds where the rows are in the committed file.
CommittedEdit commitTableRows(const PageFile& snapshot, const TableDef& def, RowPlaces& stored, std::size_t rowCount,
                              const RowSupplier& rowAt, const StoredRowFinder& keptAt = {});

}  // namespace kv::jet
