#include "jet/usage_map_writer.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "jet/byte_writer.h"
#include "jet/data_page.h"

namespace kv::jet {
namespace {

namespace um = format::usage_map;
constexpr std::uint32_t kPagesPerMapPage = (format::kPageSize - um::kMapPageBitmapOffset) * 8;
// Row 0 of page 1.
constexpr std::uint32_t kGlobalMapPointer = 1u << 8;

// Where the map row's bytes are on its page.
struct MapRow {
    std::uint32_t page;
    std::size_t offset;
    std::size_t size;
};

MapRow locate(const PageFile& file, std::uint32_t pointer) {
    RowLocation location = RowLocation::fromPointer(pointer);
    ByteView page = file.page(location.page, format::PageType::Data, "a usage map");
    RowSlot slot = rowSlot(page, location.row);
    if (slot.deleted || slot.overflow || slot.bytes.size() < um::kInlineBitmapOffset)
        throw FormatError(file.path() + ": a usage map points at a missing row; the file is damaged");
    auto offset = static_cast<std::size_t>(slot.bytes.bytes().data() - page.bytes().data());
    return {location.page, offset, slot.bytes.size()};
}

void setBit(std::vector<std::uint8_t>& bytes, std::size_t bitmapStart, std::uint64_t bit, bool on) {
    std::uint8_t& byte = bytes.at(bitmapStart + bit / 8);
    auto mask = static_cast<std::uint8_t>(1u << bit % 8);
    byte = on ? byte | mask : byte & ~mask;
}

std::vector<std::uint8_t> emptyMapPage() {
    std::vector<std::uint8_t> page(format::kPageSize, 0);
    page[0] = static_cast<std::uint8_t>(format::PageType::UsageMap);
    page[format::kPageMarkOffset] = format::kPageMark;
    return page;
}

// Calls `visit(bytes, bitmapStart, bit, page)` for each page that the map covers, with the bit that marks it.
void forEachCoveredBit(
    const PageFile& file, std::uint32_t pointer, PageImages& images, const std::vector<std::uint32_t>& pages,
    const std::function<void(std::vector<std::uint8_t>&, std::size_t, std::uint64_t, std::uint32_t)>& visit) {
    MapRow row = locate(file, pointer);
    std::vector<std::uint8_t>& mapPage = pageImage(file, row.page, images);
    if (mapPage[row.offset] == um::kInline) {
        std::uint32_t start = ByteView(mapPage, "a usage map").u32(row.offset + um::kInlineStartPageOffset);
        std::uint64_t bits = (row.size - um::kInlineBitmapOffset) * 8;
        for (std::uint32_t page : pages)
            if (page >= start && page - start < bits)
                visit(mapPage, row.offset + um::kInlineBitmapOffset, page - start, page);
        return;
    }
    for (std::uint32_t page : pages) {
        std::size_t slot = page / kPagesPerMapPage;
        std::size_t at = row.offset + um::kReferencePagesOffset + 4 * slot;
        if (at + 4 > row.offset + row.size) continue;
        std::uint32_t bitsPage = ByteView(mapPage, "a usage map").u32(at);
        if (bitsPage == 0) continue;
        visit(pageImage(file, bitsPage, images), um::kMapPageBitmapOffset, page % kPagesPerMapPage, page);
    }
}

}  // namespace

std::vector<std::uint8_t>& pageImage(const PageFile& file, std::uint32_t page, PageImages& images) {
    auto found = images.find(page);
    if (found != images.end()) return found->second;
    auto bytes = file.page(page).bytes();
    return images.emplace(page, std::vector<std::uint8_t>(bytes.begin(), bytes.end())).first->second;
}

std::vector<std::uint32_t> referencedMapPages(const PageFile& file, std::uint32_t pointer) {
    MapRow row = locate(file, pointer);
    ByteView page = file.page(row.page);
    std::vector<std::uint32_t> pages;
    if (page.u8(row.offset) != um::kReference) return pages;
    for (std::size_t at = um::kReferencePagesOffset; at + 4 <= row.size; at += 4)
        if (std::uint32_t bitsPage = page.u32(row.offset + at)) pages.push_back(bitsPage);
    return pages;
}

void writeUsageMap(const PageFile& file, std::uint32_t pointer, const std::vector<std::uint32_t>& pages,
                   PageAllocator& allocator, PageImages& images) {
    MapRow row = locate(file, pointer);
    std::vector<std::uint8_t> bytes(row.size, 0);
    const std::uint64_t inlineBits = (row.size - um::kInlineBitmapOffset) * 8;
    const std::uint32_t start = pages.empty() ? 0 : pages.front() / 8 * 8;
    if (pages.empty() || pages.back() - start < inlineBits) {
        bytes[0] = um::kInline;
        putU32(bytes, um::kInlineStartPageOffset, start);
        for (std::uint32_t page : pages) setBit(bytes, um::kInlineBitmapOffset, page - start, true);
    } else {
        bytes[0] = um::kReference;
        std::map<std::size_t, std::uint32_t> bitsPages;  // slot -> type-5 page
        for (std::uint32_t page : pages) {
            std::size_t slot = page / kPagesPerMapPage;
            if (um::kReferencePagesOffset + 4 * slot + 4 > row.size)
                throw std::runtime_error(file.path() + ": the table needs more pages than its usage map can hold");
            auto [entry, added] = bitsPages.try_emplace(slot, 0);
            if (added) {
                entry->second = allocator.next();
                images[entry->second] = emptyMapPage();
            }
            setBit(images[entry->second], um::kMapPageBitmapOffset, page % kPagesPerMapPage, true);
        }
        for (const auto& [slot, bitsPage] : bitsPages) putU32(bytes, um::kReferencePagesOffset + 4 * slot, bitsPage);
    }
    std::vector<std::uint8_t>& mapPage = pageImage(file, row.page, images);
    std::copy(bytes.begin(), bytes.end(), mapPage.begin() + static_cast<std::ptrdiff_t>(row.offset));
}

void updateGlobalUsageMap(const PageFile& file, const std::vector<std::uint32_t>& freed,
                          const std::vector<std::uint32_t>& taken, PageImages& images) {
    auto mark = [](bool free) {
        return [free](std::vector<std::uint8_t>& bytes, std::size_t start, std::uint64_t bit, std::uint32_t) {
            setBit(bytes, start, bit, free);
        };
    };
    forEachCoveredBit(file, kGlobalMapPointer, images, freed, mark(true));
    forEachCoveredBit(file, kGlobalMapPointer, images, taken, mark(false));
}

bool markInUsageMap(const PageFile& file, std::uint32_t pointer, const std::vector<std::uint32_t>& pages, bool inUse,
                    PageImages& images) {
    std::size_t covered = 0;
    forEachCoveredBit(file, pointer, images, pages,
                      [&](std::vector<std::uint8_t>& bytes, std::size_t start, std::uint64_t bit, std::uint32_t) {
                          setBit(bytes, start, bit, inUse);
                          ++covered;
                      });
    return covered == pages.size();
}

std::vector<std::uint32_t> globallyFreePages(const PageFile& file) {
    std::vector<std::uint32_t> all(file.pageCount());
    for (std::uint32_t page = 0; page < all.size(); ++page) all[page] = page;
    PageImages scratch;
    std::vector<std::uint32_t> free;
    forEachCoveredBit(file, kGlobalMapPointer, scratch, all,
                      [&](std::vector<std::uint8_t>& bytes, std::size_t start, std::uint64_t bit, std::uint32_t page) {
                          if (bytes[start + bit / 8] & 1u << bit % 8) free.push_back(page);
                      });
    return free;
}

}  // namespace kv::jet
