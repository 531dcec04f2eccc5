#include "jet/table_edit.h"

#include <algorithm>
#include <iterator>

#include "jet/table_edit_in_place.h"
#include "jet/table_snapshot.h"
#include "jet/table_writer.h"
#include "jet/writable_database.h"

namespace kv::jet {
namespace {

// Past this share of the table's rows, laying the table down afresh costs less than editing it;
// below this many rows, either costs next to nothing.
constexpr std::size_t kRebuildShareDivisor = 4;
constexpr std::size_t kAlwaysInPlace = 256;

std::size_t changedRows(const TableEdit& edit) {
    return edit.updated.size() + edit.deleted.size() + edit.inserted.size();
}

void applyInPlace(RowPlaces& stored, const TableEdit& edit, const EditInPlace& plan) {
    for (std::size_t k = 0; k < edit.updated.size(); ++k) stored.locations[edit.updated[k]] = plan.updatedLocations[k];
    if (!edit.deleted.empty()) {
        std::size_t kept = 0, nextDeletion = 0;
        for (std::size_t position = 0; position < stored.size(); ++position) {
            if (nextDeletion < edit.deleted.size() && edit.deleted[nextDeletion] == position) {
                ++nextDeletion;
                continue;
            }
            stored.locations[kept++] = stored.locations[position];
        }
        stored.locations.resize(kept);
    }
    stored.locations.insert(stored.locations.end(), plan.insertedLocations.begin(), plan.insertedLocations.end());
    stored.forgetPositions();
}

// Pages whose image is what the file holds already need no writing.
void dropUnchanged(const PageFile& file, PageImages& pages) {
    for (auto it = pages.begin(); it != pages.end();) {
        bool same = false;
        if (it->first < file.pageCount()) {
            auto bytes = file.page(it->first).bytes();
            same = std::equal(bytes.begin(), bytes.end(), it->second.begin(), it->second.end());
        }
        it = same ? pages.erase(it) : std::next(it);
    }
}

// Locks the file, checks that the table is still as `snapshot` holds it, and writes the pages that
// `plan(current)` gives for the file as it is now: only those whose bytes change.
template <typename Plan>
CommittedEdit commitPlanned(const PageFile& snapshot, const TableDef& def, Plan plan) {
    WritableDatabase writable(snapshot.path());  // locked, and rolled back if a commit was interrupted
    if (snapshot.identity() && *snapshot.identity() != writable.identity())
        throw TableChangedError("Another program replaced " + snapshot.path() + " after table " + def.name +
                                " was read");
    PageFile current = writable.readSince(snapshot);
    if (!sameTablePages(snapshot, current, def))
        throw TableChangedError("Another program changed table " + def.name + " of " + snapshot.path() +
                                " after it was read");
    PageImages pages = plan(static_cast<const PageFile&>(current));
    dropUnchanged(current, pages);
    CommittedEdit committed{PageFile(snapshot.path(), {}), 0, pages.size()};
    for (const auto& entry : pages)
        if (entry.first < current.pageCount()) ++committed.pagesJournaled;
    if (!pages.empty()) writable.commitPages(pages, current);
    current.apply(std::move(pages));
    committed.file = std::move(current);
    return committed;
}

void placeRebuilt(RowPlaces& stored, std::vector<RowLocation> locations) {
    stored.locations = std::move(locations);
    stored.forgetPositions();
}

}  // namespace

RowsAfterEdit::RowsAfterEdit(std::size_t rowsBefore, const std::vector<std::size_t>& deleted,
                             const std::vector<std::size_t>& updated, std::size_t inserted)
    : inserted_(inserted) {
    std::size_t nextUpdate = 0, nextDeletion = 0;
    for (std::size_t position = 0; position < rowsBefore; ++position) {
        if (nextDeletion < deleted.size() && deleted[nextDeletion] == position) {
            ++nextDeletion;
            continue;
        }
        const bool isUpdated = nextUpdate < updated.size() && updated[nextUpdate] == position;
        sources_.push_back(isUpdated ? kUpdated | nextUpdate++ : position);
    }
}

RowsAfterEdit::Source RowsAfterEdit::at(std::size_t row) const {
    if (row >= sources_.size()) return {From::Inserted, row - sources_.size()};
    const std::size_t source = sources_[row];
    if (source & kUpdated) return {From::Updated, source & ~kUpdated};
    return {From::Kept, source};
}

StoredRowFinder keptRowsAt(const RowsAfterEdit& rows, const RowPlaces& stored) {
    return [&rows, &stored](std::size_t row) -> std::optional<RowLocation> {
        const RowsAfterEdit::Source source = rows.at(row);
        if (source.from != RowsAfterEdit::From::Kept) return std::nullopt;
        return stored.locations[source.index];
    };
}

bool rebuildsTable(std::size_t changedRows, std::size_t storedRows) {
    return changedRows > std::max(storedRows / kRebuildShareDivisor, kAlwaysInPlace);
}

CommittedEdit commitTableEdit(const PageFile& snapshot, const TableDef& def, RowPlaces& stored, TableEdit edit) {
    std::optional<EditInPlace> inPlace;
    std::vector<RowLocation> rebuilt;
    CommittedEdit committed = commitPlanned(snapshot, def, [&](const PageFile& current) {
        if (!rebuildsTable(changedRows(edit), stored.size())) inPlace = planEditInPlace(current, def, stored, edit);
        if (inPlace) return std::move(inPlace->pages);
        // The in-place planner hands out numbers the same way: after the table's counter.
        const std::uint32_t last = fillAutonumbers(def, def.nextAutonumber, edit.updatedRows);
        fillAutonumbers(def, last, edit.inserted);
        const RowsAfterEdit rows(stored.size(), edit.deleted, edit.updated, edit.inserted.size());
        auto rowAt = [&](std::size_t row) {
            const RowsAfterEdit::Source source = rows.at(row);
            switch (source.from) {
            case RowsAfterEdit::From::Updated: return edit.updatedRows[source.index];
            case RowsAfterEdit::From::Inserted: return edit.inserted[source.index];
            case RowsAfterEdit::From::Kept: break;
            }
            return readRowAt(snapshot, def, stored.locations[source.index]);
        };
        TableRebuild rebuild = rebuildTable(current, def, rows.size(), rowAt, keptRowsAt(rows, stored));
        rebuilt = std::move(rebuild.locations);
        return std::move(rebuild.pages);
    });
    if (inPlace)
        applyInPlace(stored, edit, *inPlace);
    else
        placeRebuilt(stored, std::move(rebuilt));
    return committed;
}

CommittedEdit commitTableRows(const PageFile& snapshot, const TableDef& def, RowPlaces& stored, std::size_t rowCount,
                              const RowSupplier& rowAt, const StoredRowFinder& keptAt) {
    std::vector<RowLocation> rebuilt;
    CommittedEdit committed = commitPlanned(snapshot, def, [&](const PageFile& current) {
        // The table's pages in `current` are those of `snapshot`, so its rows lie where they did.
        TableRebuild rebuild = rebuildTable(current, def, rowCount, rowAt, keptAt);
        rebuilt = std::move(rebuild.locations);
        return std::move(rebuild.pages);
    });
    placeRebuilt(stored, std::move(rebuilt));
    return committed;
}

}  // namespace kv::jet
