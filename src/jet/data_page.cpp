#include "jet/data_page.h"

#include "jet/format.h"

namespace kv::jet {

namespace dp = format::data_page;

std::uint16_t rowCount(const ByteView& page) { return page.u16(dp::kRowCountOffset); }

std::size_t firstRowByte(const ByteView& page) { return dp::kRowOffsetsOffset + dp::kRowOffsetSize * rowCount(page); }

RowExtent rowExtent(const ByteView& page, unsigned row) {
    std::uint16_t word = page.u16(dp::kRowOffsetsOffset + dp::kRowOffsetSize * row);
    RowExtent extent;
    extent.start = word & dp::kRowOffsetMask;
    // Rows are stored from the page's end down: a row ends where the one before it starts.
    extent.end =
        row == 0 ? page.size() : page.u16(dp::kRowOffsetsOffset + dp::kRowOffsetSize * (row - 1)) & dp::kRowOffsetMask;
    extent.deleted = word & dp::kRowDeletedFlag;
    extent.overflow = word & dp::kRowOverflowFlag;
    return extent;
}

namespace {

RowSlot readSlot(const ByteView& page, unsigned row, bool readDeleted) {
    if (row >= rowCount(page))
        throw FormatError(page.where() + " has no row " + std::to_string(row) + "; the file is damaged");
    RowExtent extent = rowExtent(page, row);
    RowSlot slot;
    slot.deleted = extent.deleted;
    slot.overflow = extent.overflow;
    if (slot.deleted && !readDeleted) return slot;
    if (extent.end < extent.start)
        throw FormatError(page.where() + ", row " + std::to_string(row) + ": its offsets overlap; the file is damaged");
    slot.bytes = page.sub(extent.start, extent.end - extent.start);
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
