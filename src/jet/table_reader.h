#pragma once
// Reading a table's rows, in page order: the pages its usage map owns, deleted rows skipped, moved
// rows read where they moved to but kept at the place of their pointer (where indexes point).
// A table is known by where its rows are (RowPlaces); their values are cracked from the pages when
// asked, so that holding a table costs a few bytes a row beside the file's own pages.

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "jet/commit_rules.h"
#include "jet/data_page.h"
#include "jet/page_file.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "jet/table_integrity.h"

namespace kv::jet {

struct RowPlaces {
    // Where each row is addressed from (its pointer's place for a moved row), as indexes refer to it.
    std::vector<RowLocation> locations;

    std::size_t size() const { return locations.size(); }
    // The position in `locations` of the row at `location`; throws FormatError when there is none.
    std::size_t positionOf(RowLocation location) const;
    // To be called after `locations` changed: positionOf() then maps them again when next asked.
    void forgetPositions() { mapped_ = false; }

private:
    void mapPositions() const;

    // Made on first use for the locations as they are: while they ascend, the position of each
    // page's first row by page number (one more than the last page); otherwise, position by
    // RowLocation::packed().
    mutable std::vector<std::size_t> firstOfPage_;
    mutable std::unordered_map<std::uint32_t, std::size_t> byLocation_;
    mutable bool mapped_ = false;
};

// The places with every row's values, for tools and tests that want a table whole.
struct TableRows : RowPlaces {
    std::vector<TableRow> rows;
};

// The bytes of the row addressed from `location`, following a moved row; throws FormatError when
// they cannot be found.
ByteView storedRowBytes(const PageFile& file, const TableDef& def, RowLocation location);

// Throws DamagedTableError, naming the table, when its pages do not add up (see table_integrity.h)
// or cannot be read.
RowPlaces readRowPlaces(const PageFile& file, const TableDef& def);
TableRows readTableRows(const PageFile& file, const TableDef& def);
// Hands every row to `visit`, in page order, as readTableRows() reads them: for a reader that takes
// each row in turn, or only some of its columns, and so holds no more of the table than it keeps.
// Throws DamagedTableError as readTableRows() does, also for a FormatError that `visit` throws.
void forEachStoredRow(const PageFile& file, const TableDef& def,
                      const std::function<void(RowLocation, const StoredRow&)>& visit);
// The values of the row addressed from `location`, following a moved row. Memo and OLE values are
// fetched from their pages. Throws DamagedTableError when the row cannot be read.
TableRow readRowAt(const PageFile& file, const TableDef& def, RowLocation location);
// Hands the row addressed from `location` to `read`, as a StoredRow, and returns what it returns:
// for a reader that takes only some columns, or makes them into values of its own. Throws
// DamagedTableError when the row, or a column `read` takes, cannot be read.
template <typename Read>
auto readStoredRowAt(const PageFile& file, const TableDef& def, RowLocation location, Read&& read) {
    try {
        return read(StoredRow(storedRowBytes(file, def, location)));
    } catch (const FormatError& error) {
        throwAsDamaged(file, def, error);
    }
}

}  // namespace kv::jet
