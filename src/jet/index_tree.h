#pragma once
// The B-tree of a real index: leaf pages (type 4) of entries in key order, intermediate pages (type
// 3) whose entries each lead to a child page, and a tail pointer to the last child of a level.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jet/data_page.h"
#include "jet/index_page.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

// Calls `visit` with every leaf entry, in index order, without holding them. Throws FormatError for
// a tree with loops or damaged pages.
void forEachIndexEntry(const PageFile& file, const RealIndex& index, const LeafEntryVisitor& visit);
// Every leaf entry, in index order; throws as forEachIndexEntry does.
std::vector<IndexEntry> readIndexEntries(const PageFile& file, const RealIndex& index);
// How many entries the tree's leaves hold, counted without reading a key.
std::size_t countIndexEntries(const PageFile& file, const RealIndex& index);
// The first entry, in index order, whose key equals `key`, found by descending the tree.
std::optional<IndexEntry> seekIndex(const PageFile& file, const RealIndex& index, std::span<const std::uint8_t> key);

}  // namespace kv::jet
