#include "jet/table_reader.h"

#include <unordered_set>

#include "jet/row.h"
#include "jet/usage_map.h"

namespace kv::jet {
namespace {

bool isDataPageOf(const ByteView& page, const TableDef& def) {
    return page.u8(0) == static_cast<std::uint8_t>(format::PageType::Data) &&
           page.u32(format::data_page::kOwnerOffset) == def.page;
}

// A moved row holds a pointer to its data; the data's slot may itself be a pointer again.
ByteView followOverflow(const PageFile& file, const TableDef& def, RowSlot slot) {
    std::unordered_set<std::uint32_t> seen;
    while (slot.overflow) {
        RowLocation target = RowLocation::fromPointer(slot.bytes.u32(0));
        if (!seen.insert(target.packed()).second)
            throw FormatError(slot.bytes.where() + ": moved rows point at each other in a loop; the file is damaged");
        ByteView page = file.page(target.page, format::PageType::Data, "a moved row");
        if (!isDataPageOf(page, def))
            throw FormatError(page.where() + ": a moved row of table " + def.name +
                              " points at a page of another table; the file is damaged");
        slot = movedRowSlot(page, target.row);
    }
    return slot.bytes;
}

}  // namespace

std::size_t TableRows::positionOf(RowLocation location) const {
    if (!mapped_) {
        byLocation_.clear();
        byLocation_.reserve(locations.size());
        for (std::size_t i = 0; i < locations.size(); ++i) byLocation_.emplace(locations[i].packed(), i);
        mapped_ = true;
    }
    auto found = byLocation_.find(location.packed());
    if (found == byLocation_.end())
        throw FormatError("An index entry points at page " + std::to_string(location.page) + ", row " +
                          std::to_string(location.row) + ", where the table has no row; the file is damaged");
    return found->second;
}

TableRows readTableRows(const PageFile& file, const TableDef& def) {
    TableRows result;
    for (std::uint32_t pageNumber : readUsageMap(file, def.ownedPagesMap)) {
        ByteView page = file.page(pageNumber);
        if (!isDataPageOf(page, def)) continue;
        std::uint16_t count = rowCount(page);
        if (count > format::data_page::kMaxRowsPerPage)
            throw FormatError(page.where() + ": its row count " + std::to_string(count) +
                              " is too large; the file is damaged");
        for (unsigned row = 0; row < count; ++row) {
            RowSlot slot = rowSlot(page, row);
            if (slot.deleted) continue;
            RowLocation location{pageNumber, static_cast<std::uint8_t>(row)};
            result.locations.push_back(location);
            result.rows.push_back(crackRow(file, def, slot.overflow ? followOverflow(file, def, slot) : slot.bytes));
        }
    }
    return result;
}

}  // namespace kv::jet
