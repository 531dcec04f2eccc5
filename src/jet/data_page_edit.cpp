#include "jet/data_page_edit.h"

#include <algorithm>
#include <stdexcept>

#include "jet/byte_writer.h"
#include "jet/data_page.h"
#include "jet/format.h"

namespace kv::jet {
namespace {
namespace dp = format::data_page;
}  // namespace

DataPageEdit::DataPageEdit(const ByteView& page) {
    auto head = page.slice(0, dp::kRowOffsetsOffset);
    header_.assign(head.begin(), head.end());
    std::uint16_t count = rowCount(page);
    if (count > dp::kMaxRowsPerPage)
        throw FormatError(page.where() + ": its row count " + std::to_string(count) +
                          " is too large; the file is damaged");
    for (unsigned row = 0; row < count; ++row) {
        RowSlot slot = rowSlot(page, row);
        if (slot.overflow) throw std::logic_error("a page edit of a table with moved rows");
        if (slot.deleted) {
            rows_.emplace_back();
            continue;
        }
        auto bytes = slot.bytes.bytes();
        rows_.emplace_back(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        rowBytes_ += bytes.size();
    }
}

DataPageEdit DataPageEdit::fresh(std::uint32_t definitionPage) {
    DataPageEdit edit;
    edit.header_.assign(dp::kRowOffsetsOffset, 0);
    edit.header_[0] = static_cast<std::uint8_t>(format::PageType::Data);
    edit.header_[format::kPageMarkOffset] = format::kPageMark;
    putU32(edit.header_, dp::kOwnerOffset, definitionPage);
    return edit;
}

std::size_t DataPageEdit::slotCount() const {
    std::size_t count = rows_.size();
    while (count > 0 && !rows_[count - 1]) --count;
    return count;
}

std::size_t DataPageEdit::freeSpace() const {
    return format::kPageSize - dp::kRowOffsetsOffset - dp::kRowOffsetSize * slotCount() - rowBytes_;
}

bool DataPageEdit::hasRows() const { return slotCount() > 0; }

void DataPageEdit::remove(std::uint8_t row) {
    if (row >= rows_.size() || !rows_[row]) throw std::logic_error("removing a row the page does not hold");
    rowBytes_ -= rows_[row]->size();
    rows_[row].reset();
}

bool DataPageEdit::replace(std::uint8_t row, std::vector<std::uint8_t> bytes) {
    if (row >= rows_.size() || !rows_[row]) throw std::logic_error("replacing a row the page does not hold");
    if (bytes.size() > freeSpace() + rows_[row]->size()) return false;
    rowBytes_ = rowBytes_ - rows_[row]->size() + bytes.size();
    rows_[row] = std::move(bytes);
    return true;
}

std::optional<std::uint8_t> DataPageEdit::add(std::vector<std::uint8_t> bytes) {
    // A new slot at the end keeps the rows in the order they came; the slot of a deleted row is
    // taken only when the page has no numbers left.
    std::size_t count = slotCount();
    std::size_t number = count;
    if (number >= dp::kMaxRowsPerPage)
        number = static_cast<std::size_t>(
            std::find_if(rows_.begin(), rows_.end(), [](const auto& row) { return !row; }) - rows_.begin());
    std::size_t newSlots = number < count ? 0 : 1;
    if (number >= dp::kMaxRowsPerPage || bytes.size() + dp::kRowOffsetSize * newSlots > freeSpace())
        return std::nullopt;
    if (number >= rows_.size()) rows_.resize(number + 1);
    rowBytes_ += bytes.size();
    rows_[number] = std::move(bytes);
    return static_cast<std::uint8_t>(number);
}

std::vector<std::uint8_t> DataPageEdit::image() const {
    std::vector<std::uint8_t> page(format::kPageSize, 0);
    std::copy(header_.begin(), header_.end(), page.begin());
    std::size_t count = slotCount();
    std::size_t start = format::kPageSize;
    for (std::size_t row = 0; row < count; ++row) {
        std::uint16_t word;
        if (rows_[row]) {
            start -= rows_[row]->size();
            std::copy(rows_[row]->begin(), rows_[row]->end(), page.begin() + static_cast<std::ptrdiff_t>(start));
            word = static_cast<std::uint16_t>(start);
        } else {
            // A deleted row keeps its number but no bytes: it starts where the row before it does.
            word = static_cast<std::uint16_t>(start | dp::kRowDeletedFlag);
        }
        putU16(page, dp::kRowOffsetsOffset + dp::kRowOffsetSize * row, word);
    }
    putU16(page, dp::kFreeSpaceOffset, static_cast<std::uint16_t>(freeSpace()));
    putU16(page, dp::kRowCountOffset, static_cast<std::uint16_t>(count));
    return page;
}

}  // namespace kv::jet
