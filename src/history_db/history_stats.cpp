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
    std::vector<data_access::Cursor::Field> fields;
    for (const std::string& column : history.columnNames()) {
        stats.filledPerColumn.emplace_back(column, 0);
        fields.push_back(history.field(column));
    }
    const data_access::Cursor::Field updatedField = history.field("Updated");
    for (; !history.atEnd(); history.next()) {
        ++stats.stations;
        for (std::size_t c = 0; c < fields.size(); ++c)
            if (!history.text(fields[c]).empty()) ++stats.filledPerColumn[c].second;
        const std::optional<CalendarDate> updated = updatedDay(history.text(updatedField));
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
    data_access::Cursor history = store.openHistory();
    const data_access::Cursor::Field updatedField = history.field("Updated");
    for (; !history.atEnd(); history.next())
        if (const std::optional<CalendarDate> updated = updatedDay(history.text(updatedField))) span.add(*updated);
    return span;
}

std::string updatedRangeText(const UpdatedSpan& span) {
    if (!span.first) return {};
    return ", Updated " + displayText(*span.first) + " to " + displayText(*span.last);
}

}  // namespace kv::history_db
