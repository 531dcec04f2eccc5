#include "jet/long_value.h"

#include <unordered_set>

#include "jet/data_page.h"

namespace kv::jet {
namespace {

namespace lv = format::long_value;

ByteView longValueRow(const PageFile& file, std::uint32_t pointer) {
    RowLocation location = RowLocation::fromPointer(pointer);
    RowSlot slot = rowSlot(file.page(location.page, format::PageType::Data, "a memo or OLE value"), location.row);
    if (slot.deleted)
        throw FormatError(file.path() + ": a memo or OLE value points at a deleted row; the file is damaged");
    return slot.bytes;
}

}  // namespace

std::vector<std::uint8_t> readLongValue(const PageFile& file, const ByteView& header) {
    // An empty value is stored as no bytes at all, without a header.
    if (header.size() == 0) return {};
    std::uint32_t word = header.u32(0);
    std::uint32_t length = word & lv::kLengthMask;
    std::uint32_t kind = word & lv::kFlagMask;
    std::uint32_t pointer = header.u32(lv::kPointerOffset);
    std::vector<std::uint8_t> bytes;
    if (kind == lv::kInline) {
        auto data = header.slice(lv::kHeaderSize, length);
        bytes.assign(data.begin(), data.end());
    } else if (kind == lv::kSingleRow) {
        auto data = longValueRow(file, pointer).slice(0, length);
        bytes.assign(data.begin(), data.end());
    } else if (kind == lv::kRowChain) {
        std::unordered_set<std::uint32_t> seen;
        while (bytes.size() < length) {
            if (pointer == 0 || !seen.insert(pointer).second)
                throw FormatError(header.where() +
                                  ": a memo or OLE value's chain of pages ends early or loops; the file is damaged");
            ByteView row = longValueRow(file, pointer);
            pointer = row.u32(0);
            auto data = row.slice(lv::kChainLinkSize, row.size() - std::min(row.size(), lv::kChainLinkSize));
            std::size_t take = std::min<std::size_t>(data.size(), length - bytes.size());
            bytes.insert(bytes.end(), data.begin(), data.begin() + take);
        }
    } else {
        throw FormatError(header.where() + ": a memo or OLE value has an unknown kind of storage; the file is damaged");
    }
    return bytes;
}

}  // namespace kv::jet
