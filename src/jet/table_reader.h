#pragma once
// Reading every row of a table, in page order: the pages its usage map owns, deleted rows skipped,
// moved rows read where they moved to but kept at the place of their pointer (where indexes point).

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "jet/data_page.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

struct TableRows {
    std::vector<std::vector<Value>> rows;
    // Where each row is addressed from (its pointer's place for a moved row), as indexes refer to it.
    std::vector<RowLocation> locations;

    // The position in `rows` of the row at `location`; throws FormatError when there is none.
    std::size_t positionOf(RowLocation location) const;
    // To be called after `locations` changed: positionOf() then maps them again when next asked.
    void forgetPositions() { mapped_ = false; }

private:
    // RowLocation::packed() to position in `rows`, made on first use for the locations as they are.
    mutable std::unordered_map<std::uint32_t, std::size_t> byLocation_;
    mutable bool mapped_ = false;
};

// Throws DamagedTableError, naming the table, when its pages do not add up (see table_integrity.h)
// or cannot be read.
TableRows readTableRows(const PageFile& file, const TableDef& def);

}  // namespace kv::jet
