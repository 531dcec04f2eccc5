#pragma once
// Fills one data page with rows: the slot table grows from the header, the rows from the page's end.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "jet/format.h"

namespace kv::jet {

class DataPageWriter {
public:
    // The largest row a page holds: the whole page less its header and one slot.
    static constexpr std::size_t kMaxRowSize =
        format::kPageSize - format::data_page::kRowOffsetsOffset - format::data_page::kRowOffsetSize;

    struct TableRows {
        std::uint32_t definitionPage;
    };
    struct LongValues {};

    explicit DataPageWriter(TableRows owner);
    explicit DataPageWriter(LongValues);

    bool fits(std::size_t rowSize) const;
    bool empty() const { return rowCount_ == 0; }
    // Returns the row's number on the page. The row must fit.
    std::uint8_t add(std::span<const std::uint8_t> row);
    std::size_t freeSpace() const;
    // The finished page; the writer is empty again afterwards.
    std::vector<std::uint8_t> take();

private:
    void start();

    std::vector<std::uint8_t> page_;
    std::array<std::uint8_t, 4> ownerField_;
    unsigned rowCount_ = 0;
    std::size_t rowsStart_ = format::kPageSize;
};

}  // namespace kv::jet
