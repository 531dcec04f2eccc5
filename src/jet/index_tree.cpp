#include "jet/index_tree.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "jet/index_page.h"

namespace kv::jet {
namespace {

// Deep enough for any index a 4 GB file can hold; a deeper descent means a damaged tree.
constexpr int kMaxDepth = 64;

// Visits every page of the tree from `root` once and hands each leaf's page number to `onLeaf`,
// in index order; the leaves themselves are left for `onLeaf` to read.
void walkTree(const PageFile& file, std::uint32_t root, const std::function<void(std::uint32_t)>& onLeaf) {
    std::unordered_set<std::uint32_t> visited;
    std::function<void(std::uint32_t, int)> visit = [&](std::uint32_t number, int depth) {
        if (depth > kMaxDepth || !visited.insert(number).second)
            throw FormatError(file.path() + ": an index tree leads back to page " + std::to_string(number) +
                              "; the file is damaged");
        if (isLeafIndexPage(file, number)) return onLeaf(number);
        const IndexNodeShape page = readIndexNodeShape(file, number);
        for (std::uint32_t child : page.children) visit(child, depth + 1);
        // The last child of a level can be reachable through the tail pointer only.
        if (page.tail != 0 && !visited.count(page.tail)) visit(page.tail, depth + 1);
    };
    visit(root, 0);
}

bool keyLess(const std::vector<std::uint8_t>& entry, std::span<const std::uint8_t> key) {
    return std::lexicographical_compare(entry.begin(), entry.end(), key.begin(), key.end());
}

}  // namespace

void forEachIndexEntry(const PageFile& file, const RealIndex& index, const LeafEntryVisitor& visit) {
    if (index.firstPage == 0) return;
    walkTree(file, index.firstPage, [&](std::uint32_t leaf) { forEachLeafEntry(file, leaf, visit); });
}

std::vector<IndexEntry> readIndexEntries(const PageFile& file, const RealIndex& index) {
    std::vector<IndexEntry> entries;
    forEachIndexEntry(file, index, [&](std::span<const std::uint8_t> key, RowLocation row) {
        entries.push_back({std::vector<std::uint8_t>(key.begin(), key.end()), row});
    });
    return entries;
}

std::size_t countIndexEntries(const PageFile& file, const RealIndex& index) {
    std::size_t count = 0;
    if (index.firstPage == 0) return count;
    walkTree(file, index.firstPage, [&](std::uint32_t leaf) { count += readIndexNodeShape(file, leaf).entryCount; });
    return count;
}

std::optional<IndexEntry> seekIndex(const PageFile& file, const RealIndex& index, std::span<const std::uint8_t> key) {
    if (index.firstPage == 0) return std::nullopt;
    std::unordered_set<std::uint32_t> visited;
    std::uint32_t number = index.firstPage;
    while (true) {
        if (!visited.insert(number).second)
            throw FormatError(file.path() + ": an index tree leads back to page " + std::to_string(number) +
                              "; the file is damaged");
        IndexNode page = readIndexNode(file, number);
        auto found = std::find_if_not(page.entries.begin(), page.entries.end(),
                                      [&](const IndexNodeEntry& entry) { return keyLess(entry.key, key); });
        if (page.leaf) {
            if (found != page.entries.end()) {
                if (!std::equal(found->key.begin(), found->key.end(), key.begin(), key.end())) return std::nullopt;
                return IndexEntry{found->key, found->row};
            }
            // Every key here is smaller: the first candidate starts the next leaf.
            if (page.next == 0) return std::nullopt;
            number = page.next;
        } else if (found != page.entries.end()) {
            // An intermediate entry carries the greatest key of its child.
            number = found->child;
        } else {
            if (page.tail == 0) return std::nullopt;
            number = page.tail;
        }
    }
}

}  // namespace kv::jet
