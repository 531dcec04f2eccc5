#include "jet/table_edit_in_place.h"

#include <algorithm>
#include <unordered_set>

#include "jet/byte_writer.h"
#include "jet/index_edit.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"
#include "jet/long_value_writer.h"
#include "jet/needs_rebuild.h"
#include "jet/row_packer.h"
#include "jet/row_placement.h"
#include "jet/table_def_layout.h"
#include "jet/usage_map_writer.h"

namespace kv::jet {
namespace {

namespace td = format::tdef;

// Marks pages a table or index took in its usage map. Clearing needs no such care: a page the map
// does not cover is not marked in it.
void markTaken(const PageFile& file, std::uint32_t pointer, const std::vector<std::uint32_t>& pages,
               PageImages& images) {
    if (pointer != 0 && !pages.empty() && !markInUsageMap(file, pointer, pages, true, images))
        throw NeedsRebuild("a usage map would have to change its form");
}

void markFreed(const PageFile& file, std::uint32_t pointer, const std::vector<std::uint32_t>& pages,
               PageImages& images) {
    if (pointer != 0 && !pages.empty()) markInUsageMap(file, pointer, pages, false, images);
}

// The entries one real index loses and gains with the edit, and the rows of those it gains.
struct IndexChanges {
    std::vector<IndexEntry> removed;
    std::vector<IndexEntry> added;
    std::vector<const TableRow*> addedRows;
};

class IndexChangeCollector {
public:
    IndexChangeCollector(const TableDef& def, const RealIndex& index) : def_(def), index_(index) {}

    void remove(const TableRow& row, RowLocation at) {
        if (auto entry = entryOf(row, at)) changes_.removed.push_back(std::move(*entry));
    }
    void add(const TableRow& row, RowLocation at) {
        if (auto entry = entryOf(row, at)) {
            changes_.added.push_back(std::move(*entry));
            changes_.addedRows.push_back(&row);
        }
    }
    void change(const TableRow& before, RowLocation from, const TableRow& after, RowLocation to) {
        auto removed = entryOf(before, from);
        auto added = entryOf(after, to);
        if (removed && added && removed->key == added->key && removed->row == added->row) return;
        remove(before, from);
        add(after, to);
    }
    IndexChanges take() { return std::move(changes_); }

private:
    std::optional<IndexEntry> entryOf(const TableRow& row, RowLocation at) const {
        if (leftOutOfIndex(def_, index_, row)) return std::nullopt;
        return IndexEntry{encodeIndexKey(def_, index_, row), at};
    }

    const TableDef& def_;
    const RealIndex& index_;
    IndexChanges changes_;
};

// A unique index must not gain a key twice, nor a key it keeps for a row the edit leaves alone.
void requireUniqueKeys(const PageFile& file, const TableDef& def, std::size_t realIndex, const IndexChanges& changes) {
    const RealIndex& index = def.realIndexes[realIndex];
    std::vector<std::size_t> order(changes.added.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return changes.added[a].key < changes.added[b].key; });
    std::unordered_set<std::uint32_t> leaving;
    for (const IndexEntry& entry : changes.removed) leaving.insert(entry.row.packed());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const IndexEntry& entry = changes.added[order[k]];
        const TableRow& row = *changes.addedRows[order[k]];
        if (mayRepeatKey(def, index, row)) continue;
        if (k > 0 && changes.added[order[k - 1]].key == entry.key) throwRepeatedKey(def, realIndex, row);
        auto kept = seekIndex(file, index, entry.key);
        if (kept && !leaving.count(kept->row.packed())) throwRepeatedKey(def, realIndex, row);
    }
}

class InPlacePlanner {
public:
    InPlacePlanner(const PageFile& file, const TableDef& def, const RowPlaces& stored, TableEdit& edit)
        : file_(file),
          def_(def),
          stored_(stored),
          edit_(edit),
          allocator_({}, globallyFreePages(file), file.pageCount()),
          definition_(def.raw) {}

    EditInPlace plan() {
        std::uint32_t lastAutonumber = fillAutonumbers(def_, def_.nextAutonumber, edit_.updatedRows);
        lastAutonumber = fillAutonumbers(def_, lastAutonumber, edit_.inserted);
        for (std::size_t i = 0; i < def_.realIndexes.size(); ++i) {
            for (const TableRow& row : edit_.updatedRows) requireIndexValues(def_, i, row);
            for (const TableRow& row : edit_.inserted) requireIndexValues(def_, i, row);
        }
        for (std::size_t position : edit_.deleted) deletedRows_.push_back(storedRow(position));
        for (std::size_t position : edit_.updated) replacedRows_.push_back(storedRow(position));
        placeRows();
        for (std::size_t i = 0; i < def_.realIndexes.size(); ++i) editIndex(i);

        std::size_t rowCount = stored_.size() - edit_.deleted.size() + edit_.inserted.size();
        putU32(definition_, td::kRowCountOffset, static_cast<std::uint32_t>(rowCount));
        putU32(definition_, td::kAutonumberOffset, lastAutonumber);
        writeTableDefinition(file_, def_, definition_, result_.pages);
        updateGlobalUsageMap(file_, freed_, allocator_.newlyTaken(), result_.pages);
        return std::move(result_);
    }

private:
    TableRow storedRow(std::size_t position) const { return readRowAt(file_, def_, stored_.locations.at(position)); }

    void placeRows() {
        RowPlacement placement(file_, def_, allocator_);
        LongValueWriter longValues(allocator_, result_.pages);
        RowPacker packer(def_);
        for (std::size_t position : edit_.deleted) placement.remove(stored_.locations.at(position));
        for (std::size_t k = 0; k < edit_.updated.size(); ++k) {
            RowLocation location = stored_.locations.at(edit_.updated[k]);
            std::vector<std::uint8_t> packed = packer.pack(edit_.updatedRows[k], &longValues);
            if (!placement.replace(location, packed)) {
                placement.remove(location);
                location = placement.add(std::move(packed));
            }
            result_.updatedLocations.push_back(location);
        }
        for (const TableRow& row : edit_.inserted)
            result_.insertedLocations.push_back(placement.add(packer.pack(row, &longValues)));
        longValues.finish();

        RowPlacement::Pages pages = placement.write(result_.pages);
        markTaken(file_, def_.ownedPagesMap, pages.taken, result_.pages);
        markFreed(file_, def_.ownedPagesMap, pages.freed, result_.pages);
        markFreed(file_, def_.freeSpaceMap, pages.freed, result_.pages);
        freed_.insert(freed_.end(), pages.freed.begin(), pages.freed.end());
    }

    void editIndex(std::size_t i) {
        const RealIndex& index = def_.realIndexes[i];
        IndexChangeCollector collector(def_, index);
        for (std::size_t k = 0; k < edit_.deleted.size(); ++k)
            collector.remove(deletedRows_[k], stored_.locations[edit_.deleted[k]]);
        for (std::size_t k = 0; k < edit_.updated.size(); ++k)
            collector.change(replacedRows_[k], stored_.locations[edit_.updated[k]], edit_.updatedRows[k],
                             result_.updatedLocations[k]);
        for (std::size_t k = 0; k < edit_.inserted.size(); ++k)
            collector.add(edit_.inserted[k], result_.insertedLocations[k]);
        IndexChanges changes = collector.take();
        if (changes.removed.empty() && changes.added.empty()) return;
        if (index.isUnique()) requireUniqueKeys(file_, def_, i, changes);
        if (index.firstPage == 0) throw NeedsRebuild("an index without a tree");

        std::size_t block = td::kRealIndexBlocksOffset + i * td::kRealIndexBlockSize;
        auto entries = static_cast<std::int64_t>(ByteView(definition_, def_.name).u32(block));
        entries += static_cast<std::int64_t>(changes.added.size()) - static_cast<std::int64_t>(changes.removed.size());
        putU32(definition_, block, static_cast<std::uint32_t>(std::max<std::int64_t>(entries, 0)));

        IndexTreeEdit tree = editIndexTree(file_, index.firstPage, def_.page, std::move(changes.removed),
                                           std::move(changes.added), allocator_, result_.pages);
        putU32(definition_, realIndexDefinitionOffset(def_, i) + td::real_index::kFirstPage, tree.root);
        markTaken(file_, index.ownedPagesMap, tree.taken, result_.pages);
        markFreed(file_, index.ownedPagesMap, tree.freed, result_.pages);
        freed_.insert(freed_.end(), tree.freed.begin(), tree.freed.end());
    }

    const PageFile& file_;
    const TableDef& def_;
    const RowPlaces& stored_;
    TableEdit& edit_;
    // The rows as stored before the edit, of the deleted and the updated rows.
    std::vector<TableRow> deletedRows_;
    std::vector<TableRow> replacedRows_;
    PageAllocator allocator_;
    std::vector<std::uint8_t> definition_;
    std::vector<std::uint32_t> freed_;
    EditInPlace result_;
};

}  // namespace

std::optional<EditInPlace> planEditInPlace(const PageFile& file, const TableDef& def, const RowPlaces& stored,
                                           TableEdit& edit) {
    try {
        return InPlacePlanner(file, def, stored, edit).plan();
    } catch (const NeedsRebuild&) {
        return std::nullopt;
    }
}

}  // namespace kv::jet
