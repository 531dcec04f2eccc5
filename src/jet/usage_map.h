#pragma once
// Usage maps: bitmaps of pages, kept in a row of a data page either inline (a start page and the
// bits) or by reference (pages of type 5 that hold the bits).

#include <cstdint>
#include <vector>

#include "jet/page_file.h"

namespace kv::jet {

// The pages the map at `pointer` (1-byte row, 3-byte page) marks, in ascending order.
std::vector<std::uint32_t> readUsageMap(const PageFile& file, std::uint32_t pointer);

}  // namespace kv::jet
