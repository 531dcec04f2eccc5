#include "history_db/prune.h"

#include "history_db/backup_set.h"

#include <stdexcept>
#include <vector>

namespace kv::history_db {
namespace {

// Walks History and gives each stale row's position to `take`.
template <typename Take>
StaleStations walkStale(data_access::Cursor& history, const CalendarDate& before, Take take) {
    StaleStations stale;
    const data_access::Cursor::Field updatedField = history.field("Updated");
    for (; !history.atEnd(); history.next()) {
        const std::optional<CalendarDate> updated = updatedDay(history.text(updatedField));
        if (updated && *updated >= before) continue;
        ++(updated ? stale.heardBefore : stale.neverHeard);
        take(history.position());
    }
    return stale;
}

std::string stations(long long count) { return std::to_string(count) + (count == 1 ? " station" : " stations"); }

}  // namespace

std::string pruneQuestion(const StaleStations& stale, const CalendarDate& before) {
    return "Removing " + stations(stale.total()) + " not heard since " + displayText(before) + " from the History " +
           "database: " + std::to_string(stale.heardBefore) + " last updated before that day and " +
           std::to_string(stale.neverHeard) + " with no Updated date, which count as never heard. Are you sure ?";
}

std::string pruneDoneText(const StaleStations& removed, long long remaining) {
    return stations(removed.total()) + " removed, " + stations(remaining) + " left in the History database";
}

StaleStations countStaleStations(HistoryStore& store, const CalendarDate& before) {
    data_access::Cursor history = store.openHistory();
    return walkStale(history, before, [](long long) {});
}

PruneOutcome pruneStations(HistoryStore& store, const CalendarDate& before, const Progress& progress) {
    try {
        if (countStaleStations(store, before).total() == 0) return {{}, store.count()};
        store.close();
        backUpDatabase(store.path());
        progress.tell(kPruneBackupStatus);

        PruneOutcome outcome;
        store.connection().runAllOrNothing([&] {
            data_access::Cursor history = store.openHistory();
            std::vector<long long> doomed;
            outcome.removed = walkStale(history, before, [&](long long position) { doomed.push_back(position); });
            history.removeAt(std::move(doomed));
            outcome.remaining = history.recordCount();
        });
        progress.tell(pruneDoneText(outcome.removed, outcome.remaining));
        return outcome;
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(error.what()) + "; nothing was removed from the Kestrovane database");
    }
}

}  // namespace kv::history_db
