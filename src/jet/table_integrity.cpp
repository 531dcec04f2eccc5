#include "jet/table_integrity.h"

#include <algorithm>

#include "jet/data_page.h"
#include "jet/index_tree.h"

namespace kv::jet {
namespace {

namespace dp = format::data_page;

std::string pageKind(const ByteView& page) {
    auto bytes = page.bytes();
    if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; })) return "blank";
    switch (static_cast<format::PageType>(page.u8(0))) {
    case format::PageType::Header: return "the file's header";
    case format::PageType::Data:
        if (std::equal(dp::kLongValueMark.begin(), dp::kLongValueMark.end(), bytes.begin() + dp::kLongValueMarkOffset))
            return "a page of memo and OLE values";
        return "a data page of another table (the one defined at page " + std::to_string(page.u32(dp::kOwnerOffset)) +
               ")";
    case format::PageType::TableDefinition: return "a table definition";
    case format::PageType::IntermediateIndex:
    case format::PageType::LeafIndex: return "an index page";
    case format::PageType::UsageMap: return "a usage map";
    }
    return "of no known kind (type " + std::to_string(page.u8(0)) + ")";
}

std::string rows(std::size_t count) { return std::to_string(count) + (count == 1 ? " row" : " rows"); }

// The name users know the real index by: its logical index's.
std::string indexName(const TableDef& def, std::size_t realIndex) {
    for (const auto& logical : def.logicalIndexes)
        if (logical.realIndex == realIndex) return logical.name;
    return "number " + std::to_string(realIndex);
}

// The engine's own messages read "<file>, page N: what; the file is damaged": the part that says
// where and what, for a sentence that says already which file is damaged.
std::string damageDetail(const FormatError& error, const std::string& file) {
    std::string detail = error.what();
    for (const char* lead : {", ", ": ", " "})
        if (detail.starts_with(file + lead)) {
            detail.erase(0, file.size() + std::string(lead).size());
            break;
        }
    for (auto [tail, instead] : {std::pair{"; the file is damaged or truncated", " (the file may be truncated)"},
                                 std::pair{"; the file is damaged", ""}})
        if (detail.ends_with(tail)) {
            detail.replace(detail.size() - std::string(tail).size(), std::string::npos, instead);
            break;
        }
    return detail;
}

}  // namespace

ByteView requireDataPageOfTable(const PageFile& file, const TableDef& def, std::uint32_t number,
                                const std::string& namedBy) {
    if (number >= file.pageCount())
        throw DamagedTableError(file.path(), def.name,
                                namedBy + ", but page " + std::to_string(number) + " is past the end of the file (" +
                                    std::to_string(file.pageCount()) + " pages)");
    ByteView page = file.page(number);
    if (page.u8(0) != static_cast<std::uint8_t>(format::PageType::Data) || page.u32(dp::kOwnerOffset) != def.page)
        throw DamagedTableError(file.path(), def.name,
                                namedBy + ", but page " + std::to_string(number) + " is " + pageKind(page));
    return page;
}

void requireRowsFitPage(const PageFile& file, const TableDef& def, std::uint32_t number, const ByteView& page) {
    const std::string where = " on page " + std::to_string(number);
    if (rowCount(page) > dp::kMaxRowsPerPage)
        throw DamagedTableError(file.path(), def.name,
                                "has " + rows(rowCount(page)) + where + ", more than a page holds");
    const std::size_t first = firstRowByte(page);
    for (unsigned row = 0; row < rowCount(page); ++row) {
        RowExtent extent = rowExtent(page, row);
        if (extent.deleted) continue;
        if (extent.start < first || extent.end < extent.start || extent.end > page.size())
            throw DamagedTableError(file.path(), def.name,
                                    "has row " + std::to_string(row) + where + " whose offsets (" +
                                        std::to_string(extent.start) + " to " + std::to_string(extent.end) +
                                        ") do not fit the page");
    }
}

void requireRowsAddUp(const PageFile& file, const TableDef& def, std::size_t rowsFound) {
    auto countsDisagree = [&] {
        return DamagedTableError(file.path(), def.name,
                                 "has " + rows(def.rowCount) + " by its definition, but " + std::to_string(rowsFound) +
                                     (rowsFound == 1 ? " was" : " were") + " found on its pages");
    };
    // Rows missing from the pages: the count is the first witness of them.
    if (def.rowCount > rowsFound) throw countsDisagree();
    bool vouchedByIndex = false;
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const RealIndex& index = def.realIndexes[i];
        if (index.ignoresNulls()) continue;
        std::size_t entries = 0;
        try {
            entries = countIndexEntries(file, index);
        } catch (const FormatError& error) {
            throw DamagedTableError(
                file.path(), def.name,
                "has an index " + indexName(def, i) + " that cannot be read: " + damageDetail(error, file.path()));
        }
        if (entries != rowsFound)
            throw DamagedTableError(file.path(), def.name,
                                    "has " + rows(rowsFound) + " on its pages, but its index " + indexName(def, i) +
                                        " has " + std::to_string(entries) + " entries");
        vouchedByIndex = true;
    }
    // Jet has been seen to leave a count short of rows that its indexes hold all the same (a system
    // table of Access's own); with no index to vouch for them, more rows than counted are damage too.
    if (def.rowCount < rowsFound && !vouchedByIndex) throw countsDisagree();
}

void throwAsDamaged(const PageFile& file, const TableDef& def, const FormatError& error) {
    if (const auto* damaged = dynamic_cast<const DamagedTableError*>(&error)) throw *damaged;
    throw DamagedTableError(file.path(), def.name, "cannot be read: " + damageDetail(error, file.path()));
}

}  // namespace kv::jet
