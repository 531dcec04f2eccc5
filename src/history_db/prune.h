#pragma once
// Removing the stations not heard since a day: every History row whose `Updated` is before it,
// and every row with no `Updated` (or one that is no date), which was never stamped by a run and
// so counts as never heard.

#include "history_db/history_date.h"
#include "history_db/history_store.h"
#include "history_db/progress.h"

#include <string>

namespace kv::history_db {

// The stations a removal before a day takes.
struct StaleStations {
    long long heardBefore = 0;  // `Updated` before the day
    long long neverHeard = 0;   // no `Updated`
    long long total() const { return heardBefore + neverHeard; }

    bool operator==(const StaleStations&) const = default;
};

// What the program says before and after a removal.
std::string pruneQuestion(const StaleStations& stale, const CalendarDate& before);
std::string pruneDoneText(const StaleStations& removed, long long remaining);
inline constexpr const char* kPruneBackupStatus = "Database backup created, removing stations";

StaleStations countStaleStations(HistoryStore& store, const CalendarDate& before);

// What a removal did.
struct PruneOutcome {
    StaleStations removed;
    long long remaining = 0;
};

// Backs the database up (history_db/backup_set.h), then removes the stale stations all at once:
// committed together, or, when that fails, none removed and the error says so ("...; nothing was
// removed from the Kestrovane database"). With none stale, nothing is backed up or written.
PruneOutcome pruneStations(HistoryStore& store, const CalendarDate& before, const Progress& progress);

}  // namespace kv::history_db
