#include "jet/long_value_writer.h"

#include "jet/byte_writer.h"
#include "jet/data_page.h"

namespace kv::jet {
namespace {
namespace lv = format::long_value;
constexpr std::size_t kChainedDataSize = DataPageWriter::kMaxRowSize - lv::kChainLinkSize;
}  // namespace

LongValueWriter::LongValueWriter(PageAllocator& allocator, PageImages& pages) : allocator_(allocator), pages_(pages) {}

std::uint32_t LongValueWriter::addRow(std::span<const std::uint8_t> row) {
    if (!pageNumber_ || !page_.fits(row.size())) {
        finish();
        pageNumber_ = allocator_.next();
    }
    std::uint8_t number = page_.add(row);
    return RowLocation{*pageNumber_, number}.packed();
}

void LongValueWriter::finish() {
    if (pageNumber_ && !page_.empty()) pages_[*pageNumber_] = page_.take();
    pageNumber_.reset();
}

std::vector<std::uint8_t> LongValueWriter::store(std::span<const std::uint8_t> value, bool inlineAllowed) {
    std::vector<std::uint8_t> field;
    const auto length = static_cast<std::uint32_t>(value.size());
    if (value.size() > lv::kLengthMask) throw std::runtime_error("A memo or OLE value is longer than 1 GB");
    if (inlineAllowed && value.size() <= kMaxInlineSize) {
        appendU32(field, length | lv::kInline);
        appendU32(field, 0);
        appendU32(field, 0);
        field.insert(field.end(), value.begin(), value.end());
        return field;
    }
    if (value.size() <= DataPageWriter::kMaxRowSize) {
        appendU32(field, length | lv::kSingleRow);
        appendU32(field, addRow(value));
        appendU32(field, 0);
        return field;
    }
    // Each chained row starts with the pointer to the next one, so the chain is laid down from its end.
    std::uint32_t next = 0;
    std::size_t segments = (value.size() + kChainedDataSize - 1) / kChainedDataSize;
    for (std::size_t i = segments; i-- > 0;) {
        std::size_t start = i * kChainedDataSize;
        auto piece = value.subspan(start, std::min(kChainedDataSize, value.size() - start));
        std::vector<std::uint8_t> row;
        appendU32(row, next);
        row.insert(row.end(), piece.begin(), piece.end());
        next = addRow(row);
    }
    appendU32(field, length | lv::kRowChain);
    appendU32(field, next);
    appendU32(field, 0);
    return field;
}

}  // namespace kv::jet
