#include "history_db/history_date.h"

#include "data_access/date_text.h"

#include <cstdio>
#include <ctime>

namespace kv::history_db {

NotADate::NotADate(std::string_view text)
    : std::runtime_error("\"" + std::string(text) + "\" is not a date; write it as YYYY-MM-DD, e.g. 2024-03-31") {}

CalendarDate parseUserDate(std::string_view text) {
    // parseIsoDateTime also takes a time of day after the ten characters of the day; a user's day has none.
    const std::optional<data_access::DateTime> parsed =
        text.size() == 10 ? data_access::parseIsoDateTime(text) : std::nullopt;
    if (!parsed) throw NotADate(text);
    return {parsed->year, parsed->month, parsed->day};
}

std::optional<CalendarDate> updatedDay(std::string_view text) {
    const std::optional<data_access::DateTime> parsed = data_access::parseDateTime(text);
    if (!parsed) return std::nullopt;
    return CalendarDate{parsed->year, parsed->month, parsed->day};
}

CalendarDate localToday() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
}

std::string isoText(const CalendarDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string displayText(const CalendarDate& date) { return data_access::formatDate(date.year, date.month, date.day); }

}  // namespace kv::history_db
