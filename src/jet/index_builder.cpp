#include "jet/index_builder.h"

#include <algorithm>
#include <stdexcept>

#include "jet/index_page.h"

namespace kv::jet {
namespace {

struct Node {
    std::uint32_t page;
    std::vector<std::vector<std::uint8_t>> entries;
    IndexEntryRef last;  // the last entry of the node's subtree
    std::uint32_t tail = 0;
};

void requireFits(const std::vector<std::uint8_t>& entry) {
    if (entry.size() > kIndexEntryRoom) throw std::runtime_error("An index key is too long for an index page");
}

// Splits entries into pages in order: [begin, end) ranges, every page holding at least one entry.
std::vector<std::pair<std::size_t, std::size_t>> pageRanges(const std::vector<std::vector<std::uint8_t>>& stored) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    std::size_t used = kIndexEntryRoom;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        requireFits(stored[i]);
        if (used + stored[i].size() > kIndexEntryRoom) {
            ranges.emplace_back(i, i);
            used = 0;
        }
        used += stored[i].size();
        ranges.back().second = i + 1;
    }
    return ranges;
}

// Writes a level of intermediate pages.
void writeLevel(std::vector<Node>& level, std::uint32_t definitionPage, PageImages& images, BuiltIndex& built) {
    for (std::size_t i = 0; i < level.size(); ++i) {
        std::uint32_t previous = i > 0 ? level[i - 1].page : 0;
        std::uint32_t next = i + 1 < level.size() ? level[i + 1].page : 0;
        images[level[i].page] = indexPageImage(false, definitionPage, previous, next, level[i].tail, level[i].entries);
        built.pages.push_back(level[i].page);
    }
}

}  // namespace

BuiltIndex buildIndex(std::size_t count, const IndexEntrySupplier& entryAt, std::uint32_t definitionPage,
                      PageAllocator& allocator, PageImages& images) {
    BuiltIndex built;
    // Each leaf is written once the next one starts (its next pointer known), so that only one
    // leaf's entries are held at a time; `level` keeps every leaf's page and last entry.
    std::vector<Node> level;
    auto writeLeaf = [&](std::uint32_t next) {
        Node& leaf = level.back();
        const std::uint32_t previous = level.size() > 1 ? level[level.size() - 2].page : 0;
        images[leaf.page] = indexPageImage(true, definitionPage, previous, next, 0, leaf.entries);
        built.pages.push_back(leaf.page);
        leaf.entries = {};
    };
    std::size_t used = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const IndexEntryRef entry = entryAt(k);
        std::vector<std::uint8_t> bytes = indexEntryBytes(entry.key, entry.row, nullptr);
        if (level.empty() || used + bytes.size() > kIndexEntryRoom) {
            requireFits(bytes);
            const std::uint32_t page = allocator.next();
            if (!level.empty()) writeLeaf(page);
            level.push_back({page, {}, entry});
            used = 0;
        }
        used += bytes.size();
        level.back().entries.push_back(std::move(bytes));
        level.back().last = entry;
    }
    if (level.empty()) level.push_back({allocator.next(), {}, {}});
    writeLeaf(0);

    while (level.size() > 1) {
        std::vector<std::vector<std::uint8_t>> childEntries;
        for (const Node& child : level)
            childEntries.push_back(indexEntryBytes(child.last.key, child.last.row, &child.page));
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
        writeLevel(parents, definitionPage, images, built);
        level = std::move(parents);
    }
    built.rootPage = level.front().page;
    std::sort(built.pages.begin(), built.pages.end());
    return built;
}

}  // namespace kv::jet
