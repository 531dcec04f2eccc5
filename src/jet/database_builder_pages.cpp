#include "jet/database_builder_pages.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "jet/byte_writer.h"
#include "jet/data_page_writer.h"
#include "jet/format.h"
#include "jet/header.h"

namespace kv::jet::new_pages {
namespace {

namespace h = format::header;
namespace um = format::usage_map;

std::vector<std::uint8_t> inlineMap(const std::vector<std::uint32_t>& pages, bool allOthersToo,
                                    std::uint32_t from = 0) {
    std::vector<std::uint8_t> row(um::kInlineMapSize, 0);
    row[0] = um::kInline;
    putU32(row, um::kInlineStartPageOffset, 0);
    auto mark = [&](std::uint32_t page) {
        row[um::kInlineBitmapOffset + page / 8] |= static_cast<std::uint8_t>(1u << (page % 8));
    };
    for (std::uint32_t page : pages) mark(page);
    if (allOthersToo)
        for (std::uint32_t page = from; page < inlineMapRange(); ++page) mark(page);
    return row;
}

}  // namespace

std::uint32_t inlineMapRange() { return static_cast<std::uint32_t>(um::kInlineBitmapSize * 8); }

std::vector<std::uint8_t> header(DateTime created) {
    std::vector<std::uint8_t> page(format::kPageSize, 0);
    page[0] = static_cast<std::uint8_t>(format::PageType::Header);
    putU32(page, h::kMagicOffset, h::kMagic);
    std::copy(h::kJetFormatName.begin(), h::kJetFormatName.end(), page.begin() + h::kFormatNameOffset);
    page[h::kVersionOffset] = h::kVersionJet4;
    std::copy(h::kAfterVersion.begin(), h::kAfterVersion.end(), page.begin() + h::kAfterVersionOffset);
    putU16(page, h::kCodePageOffset, h::kCodePageWestern);
    // An empty password is stored as the mask alone: the integer part of the creation date.
    auto dateMask = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(created.days)));
    for (std::size_t at = 0; at < h::kPasswordSize; at += 4) putU32(page, h::kPasswordOffset + at, dateMask);
    std::copy(h::kAfterPassword.begin(), h::kAfterPassword.end(), page.begin() + h::kAfterPasswordOffset);
    putU16(page, h::kSortOrderOffset, format::kGeneralSortOrder);
    std::uint64_t dateBits = std::bit_cast<std::uint64_t>(created.days);
    putU32(page, h::kCreationDateOffset, static_cast<std::uint32_t>(dateBits));
    putU32(page, h::kCreationDateOffset + 4, static_cast<std::uint32_t>(dateBits >> 32));
    std::copy(h::kEngine.begin(), h::kEngine.end(), page.begin() + h::kEngineOffset);
    page[h::kTrailerOffset] = 0x01;
    for (std::size_t at = h::kTrailerOffset + 1; at < format::kPageSize; at += 2) page[at] = 0x01;
    toggleHeaderMask(page);
    return page;
}

std::vector<std::uint8_t> globalUsageMap(std::uint32_t pageCount) {
    // Jet names page 1 itself as the owner of the global map; its second row is all zeros.
    DataPageWriter writer(DataPageWriter::TableRows{1});
    writer.add(inlineMap({}, true, pageCount));
    writer.add(std::vector<std::uint8_t>(um::kInlineMapSize, 0));
    return writer.take();
}

std::vector<std::uint8_t> usageMaps(const std::vector<std::vector<std::uint32_t>>& maps) {
    DataPageWriter writer(DataPageWriter::TableRows{0});
    for (const auto& pages : maps) writer.add(inlineMap(pages, false));
    return writer.take();
}

std::vector<std::uint8_t> emptyIndexLeaf(std::uint32_t definitionPage) {
    std::vector<std::uint8_t> page(format::kPageSize, 0);
    page[0] = static_cast<std::uint8_t>(format::PageType::LeafIndex);
    page[format::kPageMarkOffset] = format::kPageMark;
    putU16(page, format::data_page::kFreeSpaceOffset,
           static_cast<std::uint16_t>(format::kPageSize - format::index_page::kEntriesOffset));
    putU32(page, format::data_page::kOwnerOffset, definitionPage);
    return page;
}

}  // namespace kv::jet::new_pages
