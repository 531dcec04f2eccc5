#pragma once
// The row slots of a data page: where each row's bytes are and whether it was deleted or moved.

#include <cstdint>

#include "jet/bytes.h"

namespace kv::jet {

// A row's address as indexes, long values and usage maps store it: 3-byte page, 1-byte row.
struct RowLocation {
    std::uint32_t page = 0;
    std::uint8_t row = 0;
    bool operator==(const RowLocation&) const = default;
    std::uint32_t packed() const { return page << 8 | row; }
    static RowLocation fromPointer(std::uint32_t pointer) {
        return {pointer >> 8, static_cast<std::uint8_t>(pointer & 0xff)};
    }
};

struct RowSlot {
    ByteView bytes;
    bool deleted = false;
    bool overflow = false;  // the bytes are a pointer to where the row moved
};

// Where a row's bytes lie by its page's offsets, not yet checked against the page.
struct RowExtent {
    std::size_t start = 0;
    std::size_t end = 0;
    bool deleted = false;
    bool overflow = false;
};

std::uint16_t rowCount(const ByteView& dataPage);
// The first byte a row may take: rows lie past the page header and its table of row offsets.
std::size_t firstRowByte(const ByteView& dataPage);
// `row` must be below rowCount().
RowExtent rowExtent(const ByteView& dataPage, unsigned row);
// Throws FormatError when the row number or its offsets do not fit the page.
RowSlot rowSlot(const ByteView& dataPage, unsigned row);
// The data of a moved row, at the place its pointer gives. Access flags such a slot deleted so that
// page scans pass it by; its bytes are read all the same.
RowSlot movedRowSlot(const ByteView& dataPage, unsigned row);

}  // namespace kv::jet
