#include "jet/usage_map.h"

#include "jet/data_page.h"

namespace kv::jet {
namespace {

namespace um = format::usage_map;

void collectBits(const ByteView& bitmap, std::uint64_t firstPage, std::uint32_t pageCount,
                 std::vector<std::uint32_t>& pages) {
    for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
        std::uint8_t bits = bitmap.u8(byte);
        for (int bit = 0; bits && bit < 8; ++bit) {
            if (!(bits & 1 << bit)) continue;
            std::uint64_t page = firstPage + byte * 8 + bit;
            if (page >= pageCount)
                throw FormatError(bitmap.where() + ": a usage map marks page " + std::to_string(page) +
                                  ", past the end of the file; the file is damaged or truncated");
            pages.push_back(static_cast<std::uint32_t>(page));
        }
    }
}

}  // namespace

std::vector<std::uint32_t> readUsageMap(const PageFile& file, std::uint32_t pointer) {
    RowLocation location = RowLocation::fromPointer(pointer);
    RowSlot slot = rowSlot(file.page(location.page, format::PageType::Data, "a usage map"), location.row);
    if (slot.deleted || slot.bytes.size() == 0)
        throw FormatError(file.path() + ": a usage map points at a missing row; the file is damaged");
    const ByteView& map = slot.bytes;
    std::vector<std::uint32_t> pages;
    switch (map.u8(0)) {
    case um::kInline:
        collectBits(map.sub(um::kInlineBitmapOffset, map.size() - std::min(map.size(), um::kInlineBitmapOffset)),
                    map.u32(um::kInlineStartPageOffset), file.pageCount(), pages);
        break;
    case um::kReference: {
        const std::uint64_t pagesPerMapPage = (format::kPageSize - um::kMapPageBitmapOffset) * 8;
        for (std::size_t i = 0; um::kReferencePagesOffset + 4 * i + 4 <= map.size(); ++i) {
            std::uint32_t mapPage = map.u32(um::kReferencePagesOffset + 4 * i);
            if (mapPage == 0) continue;
            ByteView bits = file.page(mapPage, format::PageType::UsageMap, "a usage map");
            collectBits(bits.sub(um::kMapPageBitmapOffset, bits.size() - um::kMapPageBitmapOffset), i * pagesPerMapPage,
                        file.pageCount(), pages);
        }
        break;
    }
    default:
        throw FormatError(map.where() + ": a usage map of unknown kind " + std::to_string(map.u8(0)) +
                          "; the file is damaged");
    }
    return pages;
}

}  // namespace kv::jet
