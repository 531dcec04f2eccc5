#include "jet/index_tree.h"

#include <algorithm>
#include <unordered_set>

namespace kv::jet {
namespace {

namespace ip = format::index_page;

// Deep enough for any index a 4 GB file can hold; a deeper descent means a damaged tree.
constexpr int kMaxDepth = 64;

struct NodeEntry {
    std::vector<std::uint8_t> key;
    RowLocation row;
    std::uint32_t child = 0;  // intermediate pages only
};

struct IndexPage {
    bool leaf = false;
    std::uint32_t next = 0;
    std::uint32_t tail = 0;
    std::vector<NodeEntry> entries;
};

IndexPage readIndexPage(const PageFile& file, std::uint32_t number) {
    ByteView view = file.page(number);
    IndexPage page;
    std::uint8_t type = view.u8(0);
    page.leaf = type == static_cast<std::uint8_t>(format::PageType::LeafIndex);
    if (!page.leaf && type != static_cast<std::uint8_t>(format::PageType::IntermediateIndex))
        throw FormatError(view.where() + " should be an index page but is a page of another kind; the file is damaged");
    page.next = view.u32(ip::kNextPageOffset);
    page.tail = view.u32(ip::kTailPageOffset);
    std::size_t prefixLength = view.u16(ip::kPrefixLengthOffset);
    std::size_t pointerSize = ip::kRowPointerSize + (page.leaf ? 0 : ip::kChildPointerSize);
    std::vector<std::uint8_t> prefix;

    // A set bit k of the mask ends an entry (and starts the next) at kEntriesOffset + k.
    std::size_t start = ip::kEntriesOffset;
    for (std::size_t bit = 0; ip::kEntryMaskOffset + bit / 8 < ip::kEntriesOffset; ++bit) {
        if (!(view.u8(ip::kEntryMaskOffset + bit / 8) & 1 << bit % 8)) continue;
        std::size_t end = ip::kEntriesOffset + bit;
        auto bytes = view.slice(start, end - start);
        if (bytes.size() < pointerSize)
            throw FormatError(view.where() + ": an index entry is shorter than its page pointer; the file is damaged");
        NodeEntry entry;
        bool first = page.entries.empty();
        if (!first) entry.key = prefix;
        entry.key.insert(entry.key.end(), bytes.begin(), bytes.end() - pointerSize);
        if (first) {
            if (prefixLength > entry.key.size())
                throw FormatError(view.where() + ": the shared key prefix is longer than the first key; the file is damaged");
            prefix.assign(entry.key.begin(), entry.key.begin() + prefixLength);
        }
        ByteView pointers = view.within(bytes.subspan(bytes.size() - pointerSize));
        entry.row = {pointers.u24BigEndian(0), pointers.u8(3)};
        if (!page.leaf) entry.child = pointers.u32BigEndian(ip::kRowPointerSize);
        page.entries.push_back(std::move(entry));
        start = end;
    }
    return page;
}

class TreeWalk {
public:
    TreeWalk(const PageFile& file, std::vector<IndexTreeEntry>& out) : file_(file), out_(out) {}

    void visit(std::uint32_t number, int depth) {
        if (depth > kMaxDepth || !visited_.insert(number).second)
            throw FormatError(file_.path() + ": an index tree leads back to page " + std::to_string(number) + "; the file is damaged");
        IndexPage page = readIndexPage(file_, number);
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
    std::vector<IndexTreeEntry>& out_;
    std::unordered_set<std::uint32_t> visited_;
};

bool keyLess(const std::vector<std::uint8_t>& entry, std::span<const std::uint8_t> key) {
    return std::lexicographical_compare(entry.begin(), entry.end(), key.begin(), key.end());
}

}  // namespace

std::vector<IndexTreeEntry> readIndexEntries(const PageFile& file, const RealIndex& index) {
    std::vector<IndexTreeEntry> entries;
    if (index.firstPage == 0) return entries;
    TreeWalk(file, entries).visit(index.firstPage, 0);
    return entries;
}

std::optional<IndexTreeEntry> seekIndex(const PageFile& file, const RealIndex& index, std::span<const std::uint8_t> key) {
    if (index.firstPage == 0) return std::nullopt;
    std::unordered_set<std::uint32_t> visited;
    std::uint32_t number = index.firstPage;
    while (true) {
        if (!visited.insert(number).second)
            throw FormatError(file.path() + ": an index tree leads back to page " + std::to_string(number) + "; the file is damaged");
        IndexPage page = readIndexPage(file, number);
        auto found = std::find_if_not(page.entries.begin(), page.entries.end(),
                                      [&](const NodeEntry& entry) { return keyLess(entry.key, key); });
        if (page.leaf) {
            if (found != page.entries.end()) {
                if (!std::equal(found->key.begin(), found->key.end(), key.begin(), key.end())) return std::nullopt;
                return IndexTreeEntry{found->key, found->row};
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
