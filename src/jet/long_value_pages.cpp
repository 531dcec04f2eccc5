#include "jet/long_value_pages.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "jet/data_page.h"
#include "jet/row.h"
#include "jet/usage_map.h"

namespace kv::jet {
namespace {

namespace lv = format::long_value;

void collectChain(const PageFile& file, std::span<const std::uint8_t> field, std::set<std::uint32_t>& rows) {
    if (field.size() < lv::kHeaderSize) return;
    ByteView header(field, file.path());
    std::uint32_t kind = header.u32(0) & lv::kFlagMask;
    std::uint32_t pointer = header.u32(lv::kPointerOffset);
    if (kind == lv::kSingleRow) {
        rows.insert(pointer);
    } else if (kind == lv::kRowChain) {
        while (pointer != 0 && rows.insert(pointer).second) {
            RowLocation location = RowLocation::fromPointer(pointer);
            RowSlot slot =
                rowSlot(file.page(location.page, format::PageType::Data, "a memo or OLE value"), location.row);
            pointer = slot.bytes.u32(0);
        }
    }
}

}  // namespace

std::vector<std::uint32_t> exclusiveLongValuePages(const PageFile& file, const TableDef& def) {
    std::vector<std::size_t> longColumns;
    for (const Column& column : def.columns)
        if (column.isLongValue() && !column.isFixedLength()) longColumns.push_back(column.variableIndex);
    if (longColumns.empty()) return {};

    std::set<std::uint32_t> referenced;  // row pointers
    for (std::uint32_t pageNumber : readUsageMap(file, def.ownedPagesMap)) {
        ByteView page = file.page(pageNumber);
        if (page.u8(0) != static_cast<std::uint8_t>(format::PageType::Data) ||
            page.u32(format::data_page::kOwnerOffset) != def.page)
            continue;
        for (unsigned row = 0, count = rowCount(page); row < count; ++row) {
            RowSlot slot = rowSlot(page, row);
            if (slot.deleted) continue;
            ByteView bytes = slot.bytes;
            if (slot.overflow) {
                RowLocation moved = RowLocation::fromPointer(bytes.u32(0));
                bytes = rowSlot(file.page(moved.page, format::PageType::Data, "a moved row"), moved.row).bytes;
            }
            const StoredRow stored(bytes);
            for (std::size_t index : longColumns)
                if (auto field = stored.variable(index)) collectChain(file, field->bytes(), referenced);
        }
    }

    std::vector<std::uint32_t> pages;
    std::unordered_set<std::uint32_t> candidates;
    for (std::uint32_t pointer : referenced) candidates.insert(RowLocation::fromPointer(pointer).page);
    for (std::uint32_t pageNumber : candidates) {
        ByteView page = file.page(pageNumber);
        bool onlyOurs = true;
        for (unsigned row = 0, count = rowCount(page); row < count && onlyOurs; ++row)
            onlyOurs = rowSlot(page, row).deleted ||
                       referenced.count(RowLocation{pageNumber, static_cast<std::uint8_t>(row)}.packed());
        if (onlyOurs) pages.push_back(pageNumber);
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

}  // namespace kv::jet
