#pragma once
// What a History database holds, counted in one walk of its History table.

#include "history_db/history_date.h"
#include "history_db/history_store.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kv::history_db {

// The earliest and latest `Updated` of the rows seen; none before a row with one.
struct UpdatedSpan {
    std::optional<CalendarDate> first;
    std::optional<CalendarDate> last;

    void add(const CalendarDate& day);
};

struct HistoryStats {
    long long stations = 0;
    // Stations by the year of their `Updated`; those with none are `neverUpdated`.
    std::map<int, long long> perYear;
    long long neverUpdated = 0;
    // Every column of History in the table's order, with the rows whose value is not empty.
    std::vector<std::pair<std::string, long long>> filledPerColumn;
    UpdatedSpan updated;
};

HistoryStats historyStats(HistoryStore& store);

// The span alone, reading no other column, for the History view's caption.
UpdatedSpan updatedSpan(HistoryStore& store);

// ", Updated 3-1-2021 to 5-4-2024", or nothing when no row has an `Updated`: what the History
// view's caption adds to its count.
std::string updatedRangeText(const UpdatedSpan& span);

}  // namespace kv::history_db
