#pragma once
// Stores memo and OLE values for a table's rebuild: small ones inside the row, others in one row of
// an LVAL page, and the longest in a chain of LVAL rows, each row leading to the next.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jet/data_page_writer.h"
#include "jet/page_allocator.h"
#include "jet/writable_database.h"

namespace kv::jet {

class LongValueWriter {
public:
    // Values up to this size are kept in the row when the row has room for them.
    static constexpr std::size_t kMaxInlineSize = 64;

    LongValueWriter(PageAllocator& allocator, PageImages& pages);

    // The field to put in the row: the 12-byte header, followed by the value when `inlineAllowed`
    // and the value is small.
    std::vector<std::uint8_t> store(std::span<const std::uint8_t> value, bool inlineAllowed);
    // Writes the page being filled.
    void finish();

private:
    std::uint32_t addRow(std::span<const std::uint8_t> row);

    PageAllocator& allocator_;
    PageImages& pages_;
    DataPageWriter page_{DataPageWriter::LongValues{}};
    std::optional<std::uint32_t> pageNumber_;
};

}  // namespace kv::jet
