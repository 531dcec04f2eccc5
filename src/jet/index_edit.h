#pragma once
// Changing some entries of an index B-tree in place: each entry to remove or add is taken to the
// leaf its key leads to, and only the nodes on those paths are written again. A node that
// overflows is split into nodes filled about evenly, a node left empty leaves the tree, and the
// parents follow, up to a new root when the root splits. Sibling pointers of the nodes beside a
// split or removed node are mended. Throws NeedsRebuild for shapes it leaves to a rebuild.

#include <cstdint>
#include <vector>

#include "jet/index_page.h"
#include "jet/page_allocator.h"
#include "jet/page_file.h"

namespace kv::jet {

struct IndexTreeEdit {
    std::uint32_t root = 0;
    std::vector<std::uint32_t> taken;  // pages the tree took from `allocator`
    std::vector<std::uint32_t> freed;  // pages the tree gave up (blanked in the images)
};

// The entries to remove must be in the tree. Pages changed go into `images`.
IndexTreeEdit editIndexTree(const PageFile& file, std::uint32_t root, std::uint32_t definitionPage,
                            std::vector<IndexEntry> removed, std::vector<IndexEntry> added, PageAllocator& allocator,
                            PageImages& images);

}  // namespace kv::jet
