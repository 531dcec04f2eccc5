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

// The table's rows after the edit, in order: the rows kept, updated in place, then the new ones.
// They are moved out of `stored` and `edit`, which a rebuild would otherwise copy whole; the rows
// of `stored` that the edit replaces or deletes stay, and its locations are untouched.
std::vector<TableRow> takeRowsAfter(TableRows& stored, TableEdit& edit) {
    std::vector<TableRow> rows;
    rows.reserve(stored.rows.size() - edit.deleted.size() + edit.inserted.size());
    std::size_t nextUpdate = 0, nextDeletion = 0;
    for (std::size_t position = 0; position < stored.rows.size(); ++position) {
        if (nextDeletion < edit.deleted.size() && edit.deleted[nextDeletion] == position) {
            ++nextDeletion;
        } else if (nextUpdate < edit.updated.size() && edit.updated[nextUpdate] == position) {
            rows.push_back(std::move(edit.updatedRows[nextUpdate++]));
        } else {
            rows.push_back(std::move(stored.rows[position]));
        }
    }
    std::move(edit.inserted.begin(), edit.inserted.end(), std::back_inserter(rows));
    return rows;
}

// Puts back the rows takeRowsAfter took from `stored`: each read again from `file` at its location.
void restoreTakenRows(const PageFile& file, const TableDef& def, TableRows& stored) {
    TableRows read = readTableRows(file, def);
    for (std::size_t position = 0; position < stored.rows.size(); ++position)
        stored.rows[position] = std::move(read.rows[read.positionOf(stored.locations[position])]);
}

void applyInPlace(TableRows& stored, TableEdit& edit, const EditInPlace& plan) {
    for (std::size_t k = 0; k < edit.updated.size(); ++k) {
        std::size_t position = edit.updated[k];
        stored.rows[position] = std::move(edit.updatedRows[k]);
        stored.locations[position] = plan.updatedLocations[k];
    }
    if (!edit.deleted.empty()) {
        std::size_t kept = 0, nextDeletion = 0;
        for (std::size_t position = 0; position < stored.rows.size(); ++position) {
            if (nextDeletion < edit.deleted.size() && edit.deleted[nextDeletion] == position) {
                ++nextDeletion;
                continue;
            }
            if (kept != position) {
                stored.rows[kept] = std::move(stored.rows[position]);
                stored.locations[kept] = stored.locations[position];
            }
            ++kept;
        }
        stored.rows.resize(kept);
        stored.locations.resize(kept);
    }
    for (std::size_t k = 0; k < edit.inserted.size(); ++k) {
        stored.rows.push_back(std::move(edit.inserted[k]));
        stored.locations.push_back(plan.insertedLocations[k]);
    }
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

}  // namespace

CommittedEdit commitTableEdit(const PageFile& snapshot, const TableDef& def, TableRows& stored, TableEdit edit) {
    WritableDatabase writable(snapshot.path());  // locked, and rolled back if a commit was interrupted
    if (snapshot.identity() && *snapshot.identity() != writable.identity())
        throw TableChangedError("Another program replaced " + snapshot.path() + " after table " + def.name +
                                " was read");
    PageFile current = writable.readSince(snapshot);
    if (!sameTablePages(snapshot, current, def))
        throw TableChangedError("Another program changed table " + def.name + " of " + snapshot.path() +
                                " after it was read");

    std::optional<EditInPlace> inPlace;
    if (changedRows(edit) <= std::max(stored.rows.size() / kRebuildShareDivisor, kAlwaysInPlace))
        inPlace = planEditInPlace(current, def, stored, edit);
    PageImages pages;
    std::optional<TableRebuild> rebuild;
    CommittedEdit committed{PageFile(snapshot.path(), {}), 0, 0};
    try {
        if (inPlace) {
            pages = std::move(inPlace->pages);
        } else {
            rebuild = rebuildTable(current, def, takeRowsAfter(stored, edit));
            pages = std::move(rebuild->pages);
        }
        dropUnchanged(current, pages);
        committed.pagesWritten = pages.size();
        for (const auto& entry : pages)
            if (entry.first < current.pageCount()) ++committed.pagesJournaled;
        if (!pages.empty()) writable.commitPages(pages);
    } catch (...) {
        if (!inPlace) restoreTakenRows(snapshot, def, stored);
        throw;
    }
    current.apply(pages);
    committed.file = std::move(current);

    if (inPlace) {
        applyInPlace(stored, edit, *inPlace);
    } else {
        stored.rows = std::move(rebuild->rows);
        stored.locations = std::move(rebuild->locations);
        stored.forgetPositions();
    }
    return committed;
}

}  // namespace kv::jet
