#include "jet/index_tree.h"

#include <algorithm>
#include <unordered_set>

#include "jet/index_page.h"

namespace kv::jet {
namespace {

// Deep enough for any index a 4 GB file can hold; a deeper descent means a damaged tree.
constexpr int kMaxDepth = 64;

class TreeWalk {
public:
    TreeWalk(const PageFile& file, std::vector<IndexEntry>& out) : file_(file), out_(out) {}

    void visit(std::uint32_t number, int depth) {
        if (depth > kMaxDepth || !visited_.insert(number).second)
            throw FormatError(file_.path() + ": an index tree leads back to page " + std::to_string(number) +
                              "; the file is damaged");
        IndexNode page = readIndexNode(file_, number);
        if (page.leaf) {
            for (auto& entry : page.entries) out_.push_back({std::move(entry.key), entry.row});
            return;
        }
        for (const auto& entry : page.entries) visit(entry.child, depth + 1);
        // The last child of a level can be reachable through the tail pointer only.
        if (page.tail != 0 && !visited_.count(page.tail)) visit(page.tail, depth + 1);
    }

private:
    const PageFile& file_;
    std::vector<IndexEntry>& out_;
    std::unordered_set<std::uint32_t> visited_;
};

bool keyLess(const std::vector<std::uint8_t>& entry, std::span<const std::uint8_t> key) {
    return std::lexicographical_compare(entry.begin(), entry.end(), key.begin(), key.end());
}

}  // namespace

std::vector<IndexEntry> readIndexEntries(const PageFile& file, const RealIndex& index) {
    std::vector<IndexEntry> entries;
    if (index.firstPage == 0) return entries;
    TreeWalk(file, entries).visit(index.firstPage, 0);
    return entries;
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
