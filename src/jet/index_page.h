#pragma once
// One page of an index B-tree, decoded and encoded: leaf pages (type 4) hold entries of a key and
// the row it belongs to, intermediate pages (type 3) add to each entry the child page whose
// greatest entry it is, and a tail pointer leads to the last child of a level. Entries are stored
// whole (no shared prefix), each end marked in the page's entry mask.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "jet/data_page.h"
#include "jet/page_file.h"

namespace kv::jet {

// An entry of a tree: a key and the row it leads to.
struct IndexEntry {
    std::vector<std::uint8_t> key;
    RowLocation row;
};

struct IndexNodeEntry {
    std::vector<std::uint8_t> key;
    RowLocation row;
    std::uint32_t child = 0;  // intermediate pages only
};

struct IndexNode {
    bool leaf = true;
    std::uint32_t previous = 0;
    std::uint32_t next = 0;
    std::uint32_t tail = 0;
    std::vector<IndexNodeEntry> entries;
};

// A page of a tree as far as walking and counting need it: no key is put together.
struct IndexNodeShape {
    bool leaf = true;
    std::uint32_t tail = 0;
    std::size_t entryCount = 0;
    std::vector<std::uint32_t> children;  // intermediate pages only, in entry order
};

// Bytes of a page that entries may fill.
inline constexpr std::size_t kIndexEntryRoom = format::kPageSize - format::index_page::kEntriesOffset;

// Throws FormatError when the page is not an index page or its entries do not fit it.
IndexNode readIndexNode(const PageFile& file, std::uint32_t page);
// Whether the page is a leaf of a tree rather than an intermediate page; throws as readIndexNode
// does for a page of another kind.
bool isLeafIndexPage(const PageFile& file, std::uint32_t page);
// Calls `visit` with each entry of the leaf `page`, in page order; the key is valid during the call.
// Throws as readIndexNode does.
using LeafEntryVisitor = std::function<void(std::span<const std::uint8_t> key, RowLocation row)>;
void forEachLeafEntry(const PageFile& file, std::uint32_t page, const LeafEntryVisitor& visit);
// The same checks as readIndexNode, without the keys.
IndexNodeShape readIndexNodeShape(const PageFile& file, std::uint32_t page);

// An entry as it is stored: key, row pointer (3-byte big-endian page, row) and, on an intermediate
// page, the child's page.
std::vector<std::uint8_t> indexEntryBytes(std::span<const std::uint8_t> key, RowLocation row,
                                          const std::uint32_t* child);
std::size_t indexEntrySize(const IndexNodeEntry& entry, bool leaf);

// The page holding these stored entries; they must fit kIndexEntryRoom.
std::vector<std::uint8_t> indexPageImage(bool leaf, std::uint32_t definitionPage, std::uint32_t previous,
                                         std::uint32_t next, std::uint32_t tail,
                                         const std::vector<std::vector<std::uint8_t>>& entries);
std::vector<std::uint8_t> indexPageImage(const IndexNode& node, std::uint32_t definitionPage);

// Entries of a tree are ordered by key, then by the row they lead to.
bool indexEntryLess(std::span<const std::uint8_t> keyA, RowLocation rowA, std::span<const std::uint8_t> keyB,
                    RowLocation rowB);

}  // namespace kv::jet
