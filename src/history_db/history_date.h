#pragma once
// The calendar dates the History operations take from a user (the day before which stations count
// as not heard) and read from the `Updated` column, ordered as days are.

#include <compare>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kv::history_db {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    auto operator<=>(const CalendarDate&) const = default;
};

// A text a user gave for a date that is none; the message names the form accepted.
class NotADate : public std::runtime_error {
public:
    explicit NotADate(std::string_view text);
};

// "YYYY-MM-DD", a day that exists (2024-02-30 does not). Throws NotADate.
CalendarDate parseUserDate(std::string_view text);

// The day of an `Updated` value as the table access layer reads it (month-day-year, with a time
// of day or none); empty for an empty or unreadable value.
std::optional<CalendarDate> updatedDay(std::string_view text);

// Today on the local clock, as runs stamp `Updated`.
CalendarDate localToday();

// "YYYY-MM-DD", as a user writes it.
std::string isoText(const CalendarDate& date);
// As the program shows dates everywhere else (data_access/date_text.h).
std::string displayText(const CalendarDate& date);

}  // namespace kv::history_db
