#pragma once
// The pages of a new database that hold no rows: the header, the global usage map, a table's
// usage-map page and an empty index leaf. Unknown bytes are what Jet writes into an empty database.

#include <cstdint>
#include <vector>

#include "jet/value.h"

namespace kv::jet::new_pages {

// Page 0, masked as Jet masks it: Jet 4, code page 1252, the "General" sort order, no password.
std::vector<std::uint8_t> header(DateTime created);

// Page 1: every page from `pageCount` on is free, within the range the inline map covers.
std::vector<std::uint8_t> globalUsageMap(std::uint32_t pageCount);

// A data page holding `maps` inline usage maps, each marking the pages of its list (all below the
// range an inline map covers). The rows are numbered in the order given.
std::vector<std::uint8_t> usageMaps(const std::vector<std::vector<std::uint32_t>>& maps);

// A leaf page without entries, the tree of an empty index of the table at `definitionPage`.
std::vector<std::uint8_t> emptyIndexLeaf(std::uint32_t definitionPage);

// The pages an inline map can mark: its bitmap's bits, from page 0.
std::uint32_t inlineMapRange();

}  // namespace kv::jet::new_pages
