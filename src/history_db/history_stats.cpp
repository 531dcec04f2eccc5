#include "history_db/history_stats.h"

#include <algorithm>

namespace kv::history_db {

void UpdatedSpan::add(const CalendarDate& day) {
    first = first ? std::min(*first, day) : day;
    last = last ? std::max(*last, day) : day;
}

HistoryStats historyStats(HistoryStore& store) {
    data_access::Cursor history = store.openHistory();
    HistoryStats stats;
    for (const std::string& column : history.columnNames()) stats.filledPerColumn.emplace_back(column, 0);
    for (; !history.atEnd(); history.next()) {
        ++stats.stations;
        for (auto& [column, filled] : stats.filledPerColumn)
            if (!history.text(column).empty()) ++filled;
        const std::optional<CalendarDate> updated = updatedDay(history.text("Updated"));
        if (!updated) {
            ++stats.neverUpdated;
            continue;
        }
        ++stats.perYear[updated->year];
        stats.updated.add(*updated);
    }
    return stats;
}

UpdatedSpan updatedSpan(HistoryStore& store) {
    UpdatedSpan span;
    for (data_access::Cursor history = store.openHistory(); !history.atEnd(); history.next())
        if (const std::optional<CalendarDate> updated = updatedDay(history.text("Updated"))) span.add(*updated);
    return span;
}

std::string updatedRangeText(const UpdatedSpan& span) {
    if (!span.first) return {};
    return ", Updated " + displayText(*span.first) + " to " + displayText(*span.last);
}

}  // namespace kv::history_db
