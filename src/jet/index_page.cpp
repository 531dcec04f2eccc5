#include "jet/index_page.h"

#include <algorithm>
#include <stdexcept>

#include "jet/byte_writer.h"

namespace kv::jet {
namespace {
namespace ip = format::index_page;

std::size_t storedPointerSize(bool leaf) { return ip::kRowPointerSize + (leaf ? 0 : ip::kChildPointerSize); }

// The page, checked to be a page of a tree; `leaf` tells which kind.
ByteView indexPageView(const PageFile& file, std::uint32_t number, bool& leaf) {
    ByteView view = file.page(number);
    std::uint8_t type = view.u8(0);
    leaf = type == static_cast<std::uint8_t>(format::PageType::LeafIndex);
    if (!leaf && type != static_cast<std::uint8_t>(format::PageType::IntermediateIndex))
        throw FormatError(view.where() + " should be an index page but is a page of another kind; the file is damaged");
    return view;
}

// Calls `onEntry` with the stored bytes of each entry, in page order. A set bit k of the mask ends
// an entry (and starts the next) at kEntriesOffset + k.
template <typename OnEntry>
void forEachEntry(const ByteView& view, bool leaf, OnEntry onEntry) {
    std::size_t start = ip::kEntriesOffset;
    for (std::size_t byte = ip::kEntryMaskOffset; byte < ip::kEntriesOffset; ++byte) {
        std::uint8_t bits = view.u8(byte);
        for (std::size_t bit = 0; bits && bit < 8; ++bit) {
            if (!(bits & 1u << bit)) continue;
            std::size_t end = ip::kEntriesOffset + (byte - ip::kEntryMaskOffset) * 8 + bit;
            auto bytes = view.slice(start, end - start);
            if (bytes.size() < storedPointerSize(leaf))
                throw FormatError(view.where() +
                                  ": an index entry is shorter than its page pointer; the file is damaged");
            onEntry(bytes);
            start = end;
        }
    }
}

}  // namespace

namespace {

// Calls `onEntry(key, row, child)` for each entry of the page `view`, in page order, with its key
// put together from the page's shared prefix and the entry's own bytes in one buffer reused from
// entry to entry; `child` is 0 on a leaf.
template <typename OnEntry>
void forEachKeyedEntry(const ByteView& view, bool leaf, OnEntry onEntry) {
    const std::size_t prefixLength = view.u16(ip::kPrefixLengthOffset);
    const std::size_t pointerSize = storedPointerSize(leaf);
    std::vector<std::uint8_t> key;
    bool first = true;
    forEachEntry(view, leaf, [&](std::span<const std::uint8_t> bytes) {
        key.resize(first ? 0 : prefixLength);
        key.insert(key.end(), bytes.begin(), bytes.end() - static_cast<std::ptrdiff_t>(pointerSize));
        if (first && prefixLength > key.size())
            throw FormatError(view.where() +
                              ": the shared key prefix is longer than the first key; the file is damaged");
        first = false;
        ByteView pointers = view.within(bytes.subspan(bytes.size() - pointerSize));
        const RowLocation row{pointers.u24BigEndian(0), pointers.u8(3)};
        onEntry(std::span<const std::uint8_t>(key), row, leaf ? 0 : pointers.u32BigEndian(ip::kRowPointerSize));
    });
}

}  // namespace

IndexNode readIndexNode(const PageFile& file, std::uint32_t number) {
    IndexNode page;
    ByteView view = indexPageView(file, number, page.leaf);
    page.previous = view.u32(ip::kPreviousPageOffset);
    page.next = view.u32(ip::kNextPageOffset);
    page.tail = view.u32(ip::kTailPageOffset);
    forEachKeyedEntry(view, page.leaf, [&](std::span<const std::uint8_t> key, RowLocation row, std::uint32_t child) {
        page.entries.push_back({std::vector<std::uint8_t>(key.begin(), key.end()), row, child});
    });
    return page;
}

bool isLeafIndexPage(const PageFile& file, std::uint32_t page) {
    bool leaf = false;
    indexPageView(file, page, leaf);
    return leaf;
}

void forEachLeafEntry(const PageFile& file, std::uint32_t page, const LeafEntryVisitor& visit) {
    bool leaf = false;
    ByteView view = indexPageView(file, page, leaf);
    if (!leaf) throw std::logic_error("page " + std::to_string(page) + " is not a leaf of an index");
    forEachKeyedEntry(view, true,
                      [&](std::span<const std::uint8_t> key, RowLocation row, std::uint32_t) { visit(key, row); });
}

IndexNodeShape readIndexNodeShape(const PageFile& file, std::uint32_t number) {
    IndexNodeShape shape;
    ByteView view = indexPageView(file, number, shape.leaf);
    shape.tail = view.u32(ip::kTailPageOffset);
    forEachEntry(view, shape.leaf, [&](std::span<const std::uint8_t> bytes) {
        ++shape.entryCount;
        if (!shape.leaf)
            shape.children.push_back(view.within(bytes).u32BigEndian(bytes.size() - ip::kChildPointerSize));
    });
    return shape;
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
