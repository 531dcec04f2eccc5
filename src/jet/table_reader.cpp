#include "jet/table_reader.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "jet/row.h"
#include "jet/table_integrity.h"
#include "jet/usage_map.h"

namespace kv::jet {
namespace {

// A moved row holds a pointer to its data; the data's slot may itself be a pointer again.
ByteView followOverflow(const PageFile& file, const TableDef& def, std::uint32_t pageNumber, unsigned row,
                        RowSlot slot) {
    std::unordered_set<std::uint32_t> seen;
    while (slot.overflow) {
        RowLocation target = RowLocation::fromPointer(slot.bytes.u32(0));
        if (!seen.insert(target.packed()).second)
            throw FormatError(slot.bytes.where() + ": moved rows point at each other in a loop; the file is damaged");
        ByteView page =
            requireDataPageOfTable(file, def, target.page,
                                   "has row " + std::to_string(row) + " on page " + std::to_string(pageNumber) +
                                       " moved to page " + std::to_string(target.page));
        slot = movedRowSlot(page, target.row);
    }
    return slot.bytes;
}

ByteView rowBytes(const PageFile& file, const TableDef& def, const ByteView& page, RowLocation location) {
    RowSlot slot = rowSlot(page, location.row);
    return slot.overflow ? followOverflow(file, def, location.page, location.row, slot) : slot.bytes;
}

// Calls `visit(location, bytes)` for every row, in page order.
template <typename Visit>
void walkRows(const PageFile& file, const TableDef& def, Visit visit) {
    std::size_t count = 0;
    for (std::uint32_t pageNumber : readUsageMap(file, def.ownedPagesMap)) {
        ByteView page = requireDataPageOfTable(file, def, pageNumber,
                                               "lists page " + std::to_string(pageNumber) + " among its data pages");
        requireRowsFitPage(file, def, pageNumber, page);
        std::uint16_t rows = rowCount(page);
        for (unsigned row = 0; row < rows; ++row) {
            if (rowSlot(page, row).deleted) continue;
            RowLocation location{pageNumber, static_cast<std::uint8_t>(row)};
            visit(location, rowBytes(file, def, page, location));
            ++count;
        }
    }
    requireRowsAddUp(file, def, count);
}

// Room for the rows the definition counts, to reserve: no more than the file's pages can hold, as
// the count of a damaged definition may be anything.
std::size_t expectedRows(const PageFile& file, const TableDef& def) {
    return std::min<std::size_t>(def.rowCount, std::size_t{file.pageCount()} * format::data_page::kMaxRowsPerPage);
}

}  // namespace

void forEachStoredRow(const PageFile& file, const TableDef& def,
                      const std::function<void(RowLocation, const StoredRow&)>& visit) {
    try {
        walkRows(file, def, [&](RowLocation location, const ByteView& bytes) { visit(location, StoredRow(bytes)); });
    } catch (const FormatError& error) {
        throwAsDamaged(file, def, error);
    }
}

std::size_t RowPlaces::positionOf(RowLocation location) const {
    if (!mapped_) mapPositions();
    if (firstOfPage_.empty()) {
        if (auto found = byLocation_.find(location.packed()); found != byLocation_.end()) return found->second;
    } else if (location.page + 1 < firstOfPage_.size()) {
        const auto begin = locations.begin() + firstOfPage_[location.page];
        const auto end = locations.begin() + firstOfPage_[location.page + 1];
        const auto found =
            std::lower_bound(begin, end, location.row, [](RowLocation place, unsigned row) { return place.row < row; });
        if (found != end && found->row == location.row) return static_cast<std::size_t>(found - locations.begin());
    }
    throw FormatError("An index entry points at page " + std::to_string(location.page) + ", row " +
                      std::to_string(location.row) + ", where the table has no row; the file is damaged");
}

void RowPlaces::mapPositions() const {
    // Rows read page by page come in the order of their places: each page's rows are a run, found
    // by its page number. An edit in place leaves them in any order, for a map to find.
    const bool inOrder = std::is_sorted(locations.begin(), locations.end(),
                                        [](RowLocation a, RowLocation b) { return a.packed() < b.packed(); });
    byLocation_.clear();
    firstOfPage_.clear();
    if (inOrder && !locations.empty()) {
        firstOfPage_.resize(locations.back().page + 2);
        std::size_t first = 0;
        for (std::size_t page = 0; page < firstOfPage_.size(); ++page) {
            while (first < locations.size() && locations[first].page < page) ++first;
            firstOfPage_[page] = first;
        }
    } else {
        byLocation_.reserve(locations.size());
        for (std::size_t i = 0; i < locations.size(); ++i) byLocation_.emplace(locations[i].packed(), i);
    }
    mapped_ = true;
}

RowPlaces readRowPlaces(const PageFile& file, const TableDef& def) {
    try {
        RowPlaces places;
        places.locations.reserve(expectedRows(file, def));
        walkRows(file, def, [&](RowLocation location, const ByteView&) { places.locations.push_back(location); });
        return places;
    } catch (const FormatError& error) {
        throwAsDamaged(file, def, error);
    }
}

TableRows readTableRows(const PageFile& file, const TableDef& def) {
    TableRows table;
    const std::size_t expected = expectedRows(file, def);
    table.locations.reserve(expected);
    table.rows.reserve(expected);
    forEachStoredRow(file, def, [&](RowLocation location, const StoredRow& row) {
        table.locations.push_back(location);
        table.rows.push_back(crackRow(file, def, row));
    });
    return table;
}

ByteView storedRowBytes(const PageFile& file, const TableDef& def, RowLocation location) {
    // A short text that needs no building: this runs for every row read, and the message names
    // the page itself.
    ByteView page = requireDataPageOfTable(file, def, location.page, "has a row");
    return rowBytes(file, def, page, location);
}

TableRow readRowAt(const PageFile& file, const TableDef& def, RowLocation location) {
    return readStoredRowAt(file, def, location, [&](const StoredRow& row) { return crackRow(file, def, row); });
}

}  // namespace kv::jet
