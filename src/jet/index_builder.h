#pragma once
// Bulk-loading a real index from its entries in key order: leaf pages filled in turn and chained by
// their previous and next pointers, then each intermediate level built over the one below. An
// intermediate entry is the last entry of a child followed by the child's page, except for the
// last child of a page, which only its tail pointer reaches (as Access writes them).

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "jet/index_page.h"
#include "jet/page_allocator.h"
#include "jet/writable_database.h"

namespace kv::jet {

struct BuiltIndex {
    std::uint32_t rootPage = 0;
    std::vector<std::uint32_t> pages;  // every page of the tree, ascending
};

// An entry whose key is held elsewhere, for as long as the index is being built.
struct IndexEntryRef {
    std::span<const std::uint8_t> key;
    RowLocation row;
};

// The index's `count` entries, handed out in index order by `entryAt`, one at a time, so that they
// are never held all at once. An empty index is a single empty leaf.
using IndexEntrySupplier = std::function<IndexEntryRef(std::size_t entry)>;
BuiltIndex buildIndex(std::size_t count, const IndexEntrySupplier& entryAt, std::uint32_t definitionPage,
                      PageAllocator& allocator, PageImages& images);

}  // namespace kv::jet
