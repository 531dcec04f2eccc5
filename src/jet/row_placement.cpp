#include "jet/row_placement.h"

#include <algorithm>

#include "jet/needs_rebuild.h"
#include "jet/usage_map.h"

namespace kv::jet {
namespace {

namespace dp = format::data_page;

// Less room than this holds no row worth looking for: a row has a column count, a null mask and
// its offsets besides its data.
constexpr std::size_t kUsefulRoom = 32;

}  // namespace

RowPlacement::RowPlacement(const PageFile& file, const TableDef& def, PageAllocator& allocator)
    : file_(file), def_(def), allocator_(allocator) {
    for (std::uint32_t number : readUsageMap(file, def.ownedPagesMap)) {
        ByteView page = file.page(number);
        if (page.u8(0) != static_cast<std::uint8_t>(format::PageType::Data) || page.u32(dp::kOwnerOffset) != def.page)
            continue;
        // A moved row's data sits in a slot flagged deleted, which a page edit would drop.
        for (unsigned row = 0; row < rowCount(page); ++row)
            if (page.u16(dp::kRowOffsetsOffset + dp::kRowOffsetSize * row) & dp::kRowOverflowFlag)
                throw NeedsRebuild("table " + def.name + " has moved rows");
        if (page.u16(dp::kFreeSpaceOffset) >= kUsefulRoom) withRoom_.push_back(number);
    }
}

DataPageEdit& RowPlacement::edit(std::uint32_t page) {
    auto found = edits_.find(page);
    if (found != edits_.end()) return found->second;
    return edits_.emplace(page, DataPageEdit(file_.page(page, format::PageType::Data, "a row of a table")))
        .first->second;
}

void RowPlacement::remove(RowLocation row) { edit(row.page).remove(row.row); }

bool RowPlacement::replace(RowLocation row, std::vector<std::uint8_t> bytes) {
    return edit(row.page).replace(row.row, std::move(bytes));
}

RowLocation RowPlacement::add(std::vector<std::uint8_t> bytes) {
    if (filling_)
        if (auto number = edit(*filling_).add(bytes)) return {*filling_, *number};
    // Pages that were too full for one row are not tried again: rows of a table are much alike.
    while (nextWithRoom_ < withRoom_.size()) {
        std::uint32_t page = withRoom_[nextWithRoom_++];
        if (auto number = edit(page).add(bytes)) {
            filling_ = page;
            return {page, *number};
        }
    }
    std::uint32_t page = allocator_.next();
    taken_.push_back(page);
    edits_.emplace(page, DataPageEdit::fresh(def_.page));
    filling_ = page;
    auto number = edits_.at(page).add(std::move(bytes));
    if (!number) throw std::logic_error("a packed row larger than an empty page");
    return {page, *number};
}

RowPlacement::Pages RowPlacement::write(PageImages& images) const {
    Pages pages{taken_, {}};
    for (const auto& [number, edit] : edits_) {
        if (edit.hasRows()) {
            images[number] = edit.image();
        } else {
            images[number].assign(format::kPageSize, 0);
            pages.freed.push_back(number);
        }
    }
    return pages;
}

}  // namespace kv::jet
