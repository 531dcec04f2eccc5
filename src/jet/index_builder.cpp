#include "jet/index_builder.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "jet/byte_writer.h"

namespace kv::jet {
namespace {

namespace ip = format::index_page;
constexpr std::size_t kEntryRoom = format::kPageSize - ip::kEntriesOffset;

// One entry as it is stored: key, row pointer (3-byte big-endian page, row) and, in an intermediate
// page, the child's page.
std::vector<std::uint8_t> entryBytes(const IndexBuildEntry& entry, std::optional<std::uint32_t> child) {
    std::vector<std::uint8_t> bytes = entry.key;
    bytes.push_back(static_cast<std::uint8_t>(entry.row.page >> 16));
    bytes.push_back(static_cast<std::uint8_t>(entry.row.page >> 8));
    bytes.push_back(static_cast<std::uint8_t>(entry.row.page));
    bytes.push_back(entry.row.row);
    if (child) {
        std::size_t at = bytes.size();
        bytes.resize(at + ip::kChildPointerSize);
        putU32BigEndian(bytes, at, *child);
    }
    return bytes;
}

struct Node {
    std::uint32_t page;
    std::vector<std::vector<std::uint8_t>> entries;
    IndexBuildEntry last;  // the last entry of the node's subtree
    std::uint32_t tail = 0;
};

std::vector<std::uint8_t> nodePage(const Node& node, format::PageType type, std::uint32_t definitionPage,
                                   std::uint32_t previous, std::uint32_t next) {
    std::vector<std::uint8_t> page(format::kPageSize, 0);
    page[0] = static_cast<std::uint8_t>(type);
    page[1] = 0x01;
    putU32(page, format::data_page::kOwnerOffset, definitionPage);
    putU32(page, ip::kPreviousPageOffset, previous);
    putU32(page, ip::kNextPageOffset, next);
    putU32(page, ip::kTailPageOffset, node.tail);
    std::size_t used = 0;
    for (const auto& entry : node.entries) {
        std::copy(entry.begin(), entry.end(), page.begin() + static_cast<std::ptrdiff_t>(ip::kEntriesOffset + used));
        used += entry.size();
        // The mask marks where each entry ends.
        page[ip::kEntryMaskOffset + used / 8] |= static_cast<std::uint8_t>(1u << used % 8);
    }
    putU16(page, format::data_page::kFreeSpaceOffset, static_cast<std::uint16_t>(kEntryRoom - used));
    return page;
}

// Splits entries into pages in order: [begin, end) ranges, every page holding at least one entry.
std::vector<std::pair<std::size_t, std::size_t>> pageRanges(const std::vector<std::vector<std::uint8_t>>& stored) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    std::size_t used = kEntryRoom;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i].size() > kEntryRoom) throw std::runtime_error("An index key is too long for an index page");
        if (used + stored[i].size() > kEntryRoom) {
            ranges.emplace_back(i, i);
            used = 0;
        }
        used += stored[i].size();
        ranges.back().second = i + 1;
    }
    return ranges;
}

void writeLevel(std::vector<Node>& level, format::PageType type, std::uint32_t definitionPage, PageImages& images,
                BuiltIndex& built) {
    for (std::size_t i = 0; i < level.size(); ++i) {
        std::uint32_t previous = i > 0 ? level[i - 1].page : 0;
        std::uint32_t next = i + 1 < level.size() ? level[i + 1].page : 0;
        images[level[i].page] = nodePage(level[i], type, definitionPage, previous, next);
        built.pages.push_back(level[i].page);
    }
}

}  // namespace

BuiltIndex buildIndex(const std::vector<IndexBuildEntry>& entries, std::uint32_t definitionPage,
                      PageAllocator& allocator, PageImages& images) {
    BuiltIndex built;
    std::vector<std::vector<std::uint8_t>> stored;
    stored.reserve(entries.size());
    for (const auto& entry : entries) stored.push_back(entryBytes(entry, std::nullopt));
    std::vector<Node> level;
    for (auto [begin, end] : pageRanges(stored)) {
        Node node{allocator.next(), {}, entries[end - 1]};
        for (std::size_t i = begin; i < end; ++i) node.entries.push_back(std::move(stored[i]));
        level.push_back(std::move(node));
    }
    if (level.empty()) level.push_back({allocator.next(), {}, {}});
    writeLevel(level, format::PageType::LeafIndex, definitionPage, images, built);

    while (level.size() > 1) {
        std::vector<std::vector<std::uint8_t>> childEntries;
        for (const Node& child : level) childEntries.push_back(entryBytes(child.last, child.page));
        auto ranges = pageRanges(childEntries);
        // A last parent with one child would have no entry besides its tail: give it one more child.
        if (ranges.size() > 1 && ranges.back().second - ranges.back().first == 1) {
            --ranges[ranges.size() - 2].second;
            --ranges.back().first;
        }
        std::vector<Node> parents;
        for (auto [begin, end] : ranges) {
            // Every child but the last has an entry; the last is reached by the tail pointer.
            Node parent{allocator.next(), {}, level[end - 1].last, level[end - 1].page};
            for (std::size_t i = begin; i + 1 < end; ++i) parent.entries.push_back(std::move(childEntries[i]));
            parents.push_back(std::move(parent));
        }
        writeLevel(parents, format::PageType::IntermediateIndex, definitionPage, images, built);
        level = std::move(parents);
    }
    built.rootPage = level.front().page;
    std::sort(built.pages.begin(), built.pages.end());
    return built;
}

}  // namespace kv::jet
