#pragma once
// Hands out page numbers for a table's rebuild: first the pages the table owned before (lowest
// first, so a rebuilt table stays where it was), then pages the global usage map marks free, then
// new pages at the end of the file.

#include <cstdint>
#include <vector>

namespace kv::jet {

class PageAllocator {
public:
    // Both lists ascending; pages in both are used once.
    PageAllocator(std::vector<std::uint32_t> owned, std::vector<std::uint32_t> globallyFree, std::uint32_t pageCount);

    std::uint32_t next();

    // Owned pages that were not handed out: the table no longer needs them.
    std::vector<std::uint32_t> unusedOwned() const;
    // Pages handed out that the table did not own before.
    const std::vector<std::uint32_t>& newlyTaken() const { return newlyTaken_; }
    // The file's length in pages once every page handed out exists.
    std::uint32_t pageCount() const { return pageCount_; }

private:
    std::vector<std::uint32_t> owned_;
    std::size_t nextOwned_ = 0;
    std::vector<std::uint32_t> globallyFree_;
    std::size_t nextFree_ = 0;
    std::uint32_t pageCount_;
    std::vector<std::uint32_t> newlyTaken_;
};

}  // namespace kv::jet
