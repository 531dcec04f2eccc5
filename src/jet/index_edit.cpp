#include "jet/index_edit.h"

#include <algorithm>
#include <map>
#include <optional>
#include <span>

#include "jet/byte_writer.h"
#include "jet/index_page.h"
#include "jet/needs_rebuild.h"
#include "jet/usage_map_writer.h"

namespace kv::jet {
namespace {

namespace ip = format::index_page;

// Deep enough for any index a 4 GB file can hold; a deeper descent means a damaged tree.
constexpr int kMaxDepth = 64;

bool less(const IndexEntry& a, const IndexEntry& b) { return indexEntryLess(a.key, a.row, b.key, b.row); }
bool less(const IndexNodeEntry& a, const IndexEntry& b) { return indexEntryLess(a.key, a.row, b.key, b.row); }
bool less(const IndexEntry& a, const IndexNodeEntry& b) { return indexEntryLess(a.key, a.row, b.key, b.row); }

struct Op {
    IndexEntry entry;
    bool add;
};

// A node of a level as its parent sees it: its page and the greatest entry of its subtree, when
// known (a parent stores it for every child but the one its tail pointer leads to).
struct Child {
    std::uint32_t page;
    std::optional<IndexEntry> last;
};

// Where a node of the tree before the edit went: the pages that now stand in its place, in order
// (none when it left the tree), and its neighbours on its level before the edit.
struct Replacement {
    std::uint32_t previous;
    std::uint32_t next;
    std::vector<std::uint32_t> pages;
};

// Contents of one new node: for a leaf its entries, for an intermediate node its children.
struct NodeContents {
    std::vector<IndexNodeEntry> entries;
    std::vector<Child> children;
};

class TreeEditor {
public:
    TreeEditor(const PageFile& file, std::uint32_t definitionPage, PageAllocator& allocator, PageImages& images)
        : file_(file), definitionPage_(definitionPage), allocator_(allocator), images_(images) {}

    IndexTreeEdit run(std::uint32_t root, std::span<const Op> ops) {
        std::vector<Child> top = edit(root, ops, true, 0);
        while (top.size() > 1) top = newLevel(top);
        result_.root = top.front().page;
        linkAndWrite();
        return std::move(result_);
    }

private:
    IndexNode read(std::uint32_t page) const {
        auto found = pending_.find(page);
        return found != pending_.end() ? found->second : readIndexNode(file_, page);
    }

    // The greatest entry under `child`: the last entry of its rightmost leaf.
    IndexEntry lastOf(const Child& child) const {
        if (child.last) return *child.last;
        std::uint32_t page = child.page;
        for (int depth = 0; depth <= kMaxDepth; ++depth) {
            IndexNode node = read(page);
            if (node.entries.empty() && (node.leaf || node.tail == 0))
                throw NeedsRebuild("an index node without entries");
            if (node.leaf) return {node.entries.back().key, node.entries.back().row};
            page = node.tail != 0 ? node.tail : node.entries.back().child;
        }
        throw FormatError(file_.path() + ": an index tree is deeper than any file can hold; the file is damaged");
    }

    std::vector<Child> edit(std::uint32_t page, std::span<const Op> ops, bool isRoot, int depth) {
        if (depth > kMaxDepth)
            throw FormatError(file_.path() + ": an index tree leads back to page " + std::to_string(page) +
                              "; the file is damaged");
        IndexNode node = readIndexNode(file_, page);
        if (node.leaf) return place(page, node, true, groupEntries(editLeaf(std::move(node.entries), ops)), isRoot);

        std::vector<Child> children;
        for (IndexNodeEntry& entry : node.entries)
            children.push_back({entry.child, IndexEntry{std::move(entry.key), entry.row}});
        if (node.tail != 0) children.push_back({node.tail, std::nullopt});
        if (children.empty()) throw NeedsRebuild("an index node without children");

        // Each operation goes to the first child whose greatest entry is not below it; the last
        // child takes the rest.
        std::vector<std::pair<std::size_t, std::span<const Op>>> routed;
        std::size_t begin = 0;
        for (std::size_t i = 0; i < children.size() && begin < ops.size(); ++i) {
            std::size_t end = begin;
            if (i + 1 == children.size())
                end = ops.size();
            else
                while (end < ops.size() && !less(*children[i].last, ops[end].entry)) ++end;
            if (end > begin) routed.emplace_back(i, ops.subspan(begin, end - begin));
            begin = end;
        }
        for (auto it = routed.rbegin(); it != routed.rend(); ++it) {
            std::vector<Child> replaced = edit(children[it->first].page, it->second, false, depth + 1);
            auto at = children.begin() + static_cast<std::ptrdiff_t>(it->first);
            at = children.erase(at);
            children.insert(at, replaced.begin(), replaced.end());
        }
        if (children.size() < 2) throw NeedsRebuild("an index node left with fewer than two children");
        return place(page, node, false, groupChildren(children), isRoot);
    }

    static std::vector<IndexNodeEntry> editLeaf(std::vector<IndexNodeEntry> entries, std::span<const Op> ops) {
        for (const Op& op : ops) {
            auto at = std::lower_bound(entries.begin(), entries.end(), op.entry,
                                       [](const IndexNodeEntry& a, const IndexEntry& b) { return less(a, b); });
            if (op.add) {
                entries.insert(at, IndexNodeEntry{op.entry.key, op.entry.row, 0});
                continue;
            }
            if (at == entries.end() || less(op.entry, *at))
                throw NeedsRebuild("an index entry to remove is not where its key leads");
            entries.erase(at);
        }
        return entries;
    }

    // Splits stored sizes into runs that each fit a page, about evenly when more than one is needed.
    static std::vector<std::size_t> runLengths(const std::vector<std::size_t>& sizes) {
        std::size_t total = 0, largest = 0;
        for (std::size_t size : sizes) {
            if (size > kIndexEntryRoom) throw std::runtime_error("An index key is too long for an index page");
            total += size;
            largest = std::max(largest, size);
        }
        std::size_t pages = std::max<std::size_t>(1, (total + kIndexEntryRoom - 1) / kIndexEntryRoom);
        std::size_t limit = pages == 1 ? kIndexEntryRoom : std::min(kIndexEntryRoom, total / pages + largest);
        std::vector<std::size_t> runs{0};
        std::size_t used = 0;
        for (std::size_t size : sizes) {
            if (used + size > limit && runs.back() > 0) {
                runs.push_back(0);
                used = 0;
            }
            used += size;
            ++runs.back();
        }
        return runs;
    }

    // Intermediate nodes: every child but a node's last has an entry; the last is its tail.
    std::vector<NodeContents> groupChildren(const std::vector<Child>& children) const {
        std::vector<std::size_t> sizes;
        for (std::size_t i = 0; i + 1 < children.size(); ++i)
            sizes.push_back(lastOf(children[i]).key.size() + ip::kRowPointerSize + ip::kChildPointerSize);
        std::vector<std::size_t> runs = runLengths(sizes);
        // A run of k entries makes a node of k + 1 children, but the nodes share the children: the
        // child after a run is the tail of that run's node, and the next node starts after it.
        std::vector<NodeContents> nodes;
        std::size_t at = 0;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            std::size_t take = runs[r] + 1;
            if (r + 1 == runs.size()) take = children.size() - at;
            NodeContents node;
            node.children.assign(children.begin() + static_cast<std::ptrdiff_t>(at),
                                 children.begin() + static_cast<std::ptrdiff_t>(at + take));
            at += take;
            nodes.push_back(std::move(node));
        }
        for (const NodeContents& node : nodes)
            if (node.children.size() < 2) throw NeedsRebuild("an index node would hold a single child");
        return nodes;
    }

    std::vector<NodeContents> groupEntries(std::vector<IndexNodeEntry> entries) const {
        std::vector<std::size_t> sizes;
        for (const IndexNodeEntry& entry : entries) sizes.push_back(indexEntrySize(entry, true));
        std::vector<NodeContents> nodes;
        std::size_t at = 0;
        for (std::size_t run : runLengths(sizes)) {
            NodeContents node;
            node.entries.assign(std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(at)),
                                std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(at + run)));
            at += run;
            nodes.push_back(std::move(node));
        }
        return nodes;
    }

    // Lays the new contents of the node at `page` on that page and, when they need more, new ones.
    std::vector<Child> place(std::uint32_t page, const IndexNode& before, bool leaf, std::vector<NodeContents> contents,
                             bool isRoot) {
        if (leaf && contents.front().entries.empty() && !isRoot) contents.clear();
        Replacement& replacement = replaced_[page] = {before.previous, before.next, {}};
        std::vector<Child> placed;
        for (std::size_t i = 0; i < contents.size(); ++i) {
            std::uint32_t number = i == 0 ? page : allocator_.next();
            if (i > 0) result_.taken.push_back(number);
            replacement.pages.push_back(number);
            placed.push_back(store(number, leaf, contents[i]));
        }
        if (placed.empty()) result_.freed.push_back(page);
        return placed;
    }

    Child store(std::uint32_t page, bool leaf, const NodeContents& contents) {
        IndexNode node;
        node.leaf = leaf;
        std::optional<IndexEntry> last;
        if (leaf) {
            node.entries = contents.entries;
            if (!node.entries.empty()) last = IndexEntry{node.entries.back().key, node.entries.back().row};
        } else {
            for (std::size_t i = 0; i + 1 < contents.children.size(); ++i) {
                IndexEntry entry = lastOf(contents.children[i]);
                node.entries.push_back({std::move(entry.key), entry.row, contents.children[i].page});
            }
            node.tail = contents.children.back().page;
            last = contents.children.back().last;
        }
        pending_[page] = std::move(node);
        return {page, std::move(last)};
    }

    // A root that split: a new level above it, all on new pages.
    std::vector<Child> newLevel(const std::vector<Child>& children) {
        std::vector<Child> level;
        for (const NodeContents& contents : groupChildren(children)) {
            std::uint32_t page = allocator_.next();
            result_.taken.push_back(page);
            level.push_back(store(page, false, contents));
        }
        for (std::size_t i = 0; i < level.size(); ++i) {
            pending_[level[i].page].previous = i > 0 ? level[i - 1].page : 0;
            pending_[level[i].page].next = i + 1 < level.size() ? level[i + 1].page : 0;
        }
        return level;
    }

    // The page now standing first (or last) where `page` stood, passing over nodes that left.
    std::uint32_t firstStandingFor(std::uint32_t page) const {
        for (auto found = replaced_.find(page); page != 0 && found != replaced_.end(); found = replaced_.find(page)) {
            if (!found->second.pages.empty()) return found->second.pages.front();
            page = found->second.next;
        }
        return page;
    }
    std::uint32_t lastStandingFor(std::uint32_t page) const {
        for (auto found = replaced_.find(page); page != 0 && found != replaced_.end(); found = replaced_.find(page)) {
            if (!found->second.pages.empty()) return found->second.pages.back();
            page = found->second.previous;
        }
        return page;
    }

    void linkAndWrite() {
        for (const auto& [page, replacement] : replaced_) {
            const auto& pages = replacement.pages;
            for (std::size_t i = 0; i < pages.size(); ++i) {
                IndexNode& node = pending_[pages[i]];
                node.previous = i > 0 ? pages[i - 1] : lastStandingFor(replacement.previous);
                node.next = i + 1 < pages.size() ? pages[i + 1] : firstStandingFor(replacement.next);
            }
            // Neighbours that were not edited themselves only have a pointer mended.
            if (replacement.previous != 0 && !replaced_.count(replacement.previous))
                putU32(pageImage(file_, replacement.previous, images_), ip::kNextPageOffset, firstStandingFor(page));
            if (replacement.next != 0 && !replaced_.count(replacement.next))
                putU32(pageImage(file_, replacement.next, images_), ip::kPreviousPageOffset, lastStandingFor(page));
        }
        for (const auto& [page, node] : pending_) images_[page] = indexPageImage(node, definitionPage_);
        for (std::uint32_t page : result_.freed) images_[page].assign(format::kPageSize, 0);
    }

    const PageFile& file_;
    std::uint32_t definitionPage_;
    PageAllocator& allocator_;
    PageImages& images_;
    std::map<std::uint32_t, IndexNode> pending_;
    std::map<std::uint32_t, Replacement> replaced_;
    IndexTreeEdit result_;
};

}  // namespace

IndexTreeEdit editIndexTree(const PageFile& file, std::uint32_t root, std::uint32_t definitionPage,
                            std::vector<IndexEntry> removed, std::vector<IndexEntry> added, PageAllocator& allocator,
                            PageImages& images) {
    std::vector<Op> ops;
    ops.reserve(removed.size() + added.size());
    // Removals first among equal entries, so that an entry removed and added again stays once.
    for (IndexEntry& entry : removed) ops.push_back({std::move(entry), false});
    for (IndexEntry& entry : added) ops.push_back({std::move(entry), true});
    std::stable_sort(ops.begin(), ops.end(), [](const Op& a, const Op& b) { return less(a.entry, b.entry); });
    return TreeEditor(file, definitionPage, allocator, images).run(root, ops);
}

}  // namespace kv::jet
