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

std::uint16_t rowCount(const ByteView& dataPage);
// Throws FormatError when the row number or its offsets do not fit the page.
RowSlot rowSlot(const ByteView& dataPage, unsigned row);
// The data of a moved row, at the place its pointer gives. Access flags such a slot deleted so that
// page scans pass it by; its bytes are read all the same.
RowSlot movedRowSlot(const ByteView& dataPage, unsigned row);

}  // namespace kv::jet
