#include "jet/data_page.h"

#include "jet/format.h"

namespace kv::jet {

namespace dp = format::data_page;

std::uint16_t rowCount(const ByteView& page) { return page.u16(dp::kRowCountOffset); }

namespace {

RowSlot readSlot(const ByteView& page, unsigned row, bool readDeleted) {
    if (row >= rowCount(page))
        throw FormatError(page.where() + " has no row " + std::to_string(row) + "; the file is damaged");
    std::uint16_t word = page.u16(dp::kRowOffsetsOffset + dp::kRowOffsetSize * row);
    std::size_t start = word & dp::kRowOffsetMask;
    // Rows are stored from the page's end down: a row ends where the one before it starts.
    std::size_t end = row == 0 ? page.size() : page.u16(dp::kRowOffsetsOffset + 2 * (row - 1)) & dp::kRowOffsetMask;
    RowSlot slot;
    slot.deleted = word & dp::kRowDeletedFlag;
    slot.overflow = word & dp::kRowOverflowFlag;
    if (slot.deleted && !readDeleted) return slot;
    if (end < start)
        throw FormatError(page.where() + ", row " + std::to_string(row) + ": its offsets overlap; the file is damaged");
    slot.bytes = page.sub(start, end - start);
    return slot;
}

}  // namespace

RowSlot rowSlot(const ByteView& page, unsigned row) { return readSlot(page, row, false); }

RowSlot movedRowSlot(const ByteView& page, unsigned row) {
    RowSlot slot = readSlot(page, row, true);
    slot.deleted = false;
    return slot;
}

}  // namespace kv::jet
