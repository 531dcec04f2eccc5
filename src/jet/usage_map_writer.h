#pragma once
// Writing usage maps. A map lives in a row of fixed size on a data page, so it is rewritten in
// place: inline (a start page and bits) while the pages fit the row's bits, else by reference to
// type-5 pages that each hold the bits of a range of pages.

#include <cstdint>
#include <vector>

#include "jet/page_allocator.h"
#include "jet/page_file.h"
#include "jet/writable_database.h"

namespace kv::jet {

// The type-5 pages a map row refers to (none for an inline map).
std::vector<std::uint32_t> referencedMapPages(const PageFile& file, std::uint32_t pointer);

// Rewrites the map row at `pointer` to mark exactly `pages` (ascending). Type-5 pages it needs come
// from `allocator`. The pages changed are put into `images` (which may already hold the map's page).
void writeUsageMap(const PageFile& file, std::uint32_t pointer, const std::vector<std::uint32_t>& pages,
                   PageAllocator& allocator, PageImages& images);

// Updates the global usage map (free pages are marked) on page 1 for pages a rebuild freed and
// took; pages outside the range the map covers stay as they are.
void updateGlobalUsageMap(const PageFile& file, const std::vector<std::uint32_t>& freed,
                          const std::vector<std::uint32_t>& taken, PageImages& images);
// Sets (or clears) the bits of `pages` in the map at `pointer` where it is, without reshaping it.
// False when the map does not cover some of them (they lie outside an inline map's range, or in a
// range whose type-5 page does not exist); the caller must then write the map whole.
bool markInUsageMap(const PageFile& file, std::uint32_t pointer, const std::vector<std::uint32_t>& pages, bool inUse,
                    PageImages& images);
// The pages below the file's end that the global usage map marks free.
std::vector<std::uint32_t> globallyFreePages(const PageFile& file);

// The page as it will be written: from `images` when it changes, else from the file.
std::vector<std::uint8_t>& pageImage(const PageFile& file, std::uint32_t page, PageImages& images);

}  // namespace kv::jet
