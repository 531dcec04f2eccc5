#include "jet/page_allocator.h"

#include <algorithm>

namespace kv::jet {

PageAllocator::PageAllocator(std::vector<std::uint32_t> owned, std::vector<std::uint32_t> globallyFree,
                             std::uint32_t pageCount)
    : owned_(std::move(owned)), pageCount_(pageCount) {
    std::sort(owned_.begin(), owned_.end());
    owned_.erase(std::unique(owned_.begin(), owned_.end()), owned_.end());
    std::sort(globallyFree.begin(), globallyFree.end());
    for (std::uint32_t page : globallyFree)
        if (page < pageCount && !std::binary_search(owned_.begin(), owned_.end(), page)) globallyFree_.push_back(page);
    globallyFree_.erase(std::unique(globallyFree_.begin(), globallyFree_.end()), globallyFree_.end());
}

std::uint32_t PageAllocator::next() {
    if (nextOwned_ < owned_.size()) return owned_[nextOwned_++];
    std::uint32_t page = nextFree_ < globallyFree_.size() ? globallyFree_[nextFree_++] : pageCount_++;
    newlyTaken_.push_back(page);
    return page;
}

std::vector<std::uint32_t> PageAllocator::unusedOwned() const {
    return {owned_.begin() + static_cast<std::ptrdiff_t>(nextOwned_), owned_.end()};
}

}  // namespace kv::jet
