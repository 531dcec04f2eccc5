#include "jet/index_page.h"

#include <algorithm>
#include <stdexcept>

#include "jet/byte_writer.h"

namespace kv::jet {
namespace {
namespace ip = format::index_page;
}  // namespace

IndexNode readIndexNode(const PageFile& file, std::uint32_t number) {
    ByteView view = file.page(number);
    IndexNode page;
    std::uint8_t type = view.u8(0);
    page.leaf = type == static_cast<std::uint8_t>(format::PageType::LeafIndex);
    if (!page.leaf && type != static_cast<std::uint8_t>(format::PageType::IntermediateIndex))
        throw FormatError(view.where() + " should be an index page but is a page of another kind; the file is damaged");
    page.previous = view.u32(ip::kPreviousPageOffset);
    page.next = view.u32(ip::kNextPageOffset);
    page.tail = view.u32(ip::kTailPageOffset);
    std::size_t prefixLength = view.u16(ip::kPrefixLengthOffset);
    std::size_t pointerSize = ip::kRowPointerSize + (page.leaf ? 0 : ip::kChildPointerSize);
    std::vector<std::uint8_t> prefix;

    // A set bit k of the mask ends an entry (and starts the next) at kEntriesOffset + k.
    std::size_t start = ip::kEntriesOffset;
    for (std::size_t bit = 0; ip::kEntryMaskOffset + bit / 8 < ip::kEntriesOffset; ++bit) {
        if (!(view.u8(ip::kEntryMaskOffset + bit / 8) & 1 << bit % 8)) continue;
        std::size_t end = ip::kEntriesOffset + bit;
        auto bytes = view.slice(start, end - start);
        if (bytes.size() < pointerSize)
            throw FormatError(view.where() + ": an index entry is shorter than its page pointer; the file is damaged");
        IndexNodeEntry entry;
        bool first = page.entries.empty();
        if (!first) entry.key = prefix;
        entry.key.insert(entry.key.end(), bytes.begin(), bytes.end() - static_cast<std::ptrdiff_t>(pointerSize));
        if (first) {
            if (prefixLength > entry.key.size())
                throw FormatError(view.where() +
                                  ": the shared key prefix is longer than the first key; the file is damaged");
            prefix.assign(entry.key.begin(), entry.key.begin() + static_cast<std::ptrdiff_t>(prefixLength));
        }
        ByteView pointers = view.within(bytes.subspan(bytes.size() - pointerSize));
        entry.row = {pointers.u24BigEndian(0), pointers.u8(3)};
        if (!page.leaf) entry.child = pointers.u32BigEndian(ip::kRowPointerSize);
        page.entries.push_back(std::move(entry));
        start = end;
    }
    return page;
}

std::vector<std::uint8_t> indexEntryBytes(std::span<const std::uint8_t> key, RowLocation row,
                                          const std::uint32_t* child) {
    std::vector<std::uint8_t> bytes(key.begin(), key.end());
    bytes.push_back(static_cast<std::uint8_t>(row.page >> 16));
    bytes.push_back(static_cast<std::uint8_t>(row.page >> 8));
    bytes.push_back(static_cast<std::uint8_t>(row.page));
    bytes.push_back(row.row);
    if (child) {
        std::size_t at = bytes.size();
        bytes.resize(at + ip::kChildPointerSize);
        putU32BigEndian(bytes, at, *child);
    }
    return bytes;
}

std::size_t indexEntrySize(const IndexNodeEntry& entry, bool leaf) {
    return entry.key.size() + ip::kRowPointerSize + (leaf ? 0 : ip::kChildPointerSize);
}

std::vector<std::uint8_t> indexPageImage(bool leaf, std::uint32_t definitionPage, std::uint32_t previous,
                                         std::uint32_t next, std::uint32_t tail,
                                         const std::vector<std::vector<std::uint8_t>>& entries) {
    std::vector<std::uint8_t> page(format::kPageSize, 0);
    page[0] = static_cast<std::uint8_t>(leaf ? format::PageType::LeafIndex : format::PageType::IntermediateIndex);
    page[format::kPageMarkOffset] = format::kPageMark;
    putU32(page, format::data_page::kOwnerOffset, definitionPage);
    putU32(page, ip::kPreviousPageOffset, previous);
    putU32(page, ip::kNextPageOffset, next);
    putU32(page, ip::kTailPageOffset, tail);
    std::size_t used = 0;
    for (const auto& entry : entries) {
        if (used + entry.size() > kIndexEntryRoom) throw std::logic_error("index entries that overfill their page");
        std::copy(entry.begin(), entry.end(), page.begin() + static_cast<std::ptrdiff_t>(ip::kEntriesOffset + used));
        used += entry.size();
        // The mask marks where each entry ends.
        page[ip::kEntryMaskOffset + used / 8] |= static_cast<std::uint8_t>(1u << used % 8);
    }
    putU16(page, format::data_page::kFreeSpaceOffset, static_cast<std::uint16_t>(kIndexEntryRoom - used));
    return page;
}

std::vector<std::uint8_t> indexPageImage(const IndexNode& node, std::uint32_t definitionPage) {
    std::vector<std::vector<std::uint8_t>> stored;
    stored.reserve(node.entries.size());
    for (const IndexNodeEntry& entry : node.entries)
        stored.push_back(indexEntryBytes(entry.key, entry.row, node.leaf ? nullptr : &entry.child));
    return indexPageImage(node.leaf, definitionPage, node.previous, node.next, node.tail, stored);
}

bool indexEntryLess(std::span<const std::uint8_t> keyA, RowLocation rowA, std::span<const std::uint8_t> keyB,
                    RowLocation rowB) {
    auto order = std::lexicographical_compare_three_way(keyA.begin(), keyA.end(), keyB.begin(), keyB.end());
    if (order != 0) return order < 0;
    return rowA.packed() < rowB.packed();
}

}  // namespace kv::jet
