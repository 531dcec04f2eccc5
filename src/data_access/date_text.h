#pragma once
// The process date format: every date the program writes or shows is month-day-year with "-" as
// separator and no leading zeros (4 May 2005 is 5-4-2005). A time of day, when there is one, follows
// after a blank as H:MM:SS on the 24-hour clock.

#include <optional>
#include <string>
#include <string_view>

namespace kv::data_access {

struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

std::string formatDate(int year, int month, int day);
// The date, and the time only when it is not midnight.
std::string formatDateTime(const DateTime& value);
// Reads what formatDateTime writes; "/" is accepted as separator too. Empty when the text is not
// a valid date.
std::optional<DateTime> parseDateTime(std::string_view text);
// ISO 8601 as databases and users write it: "YYYY-MM-DD", optionally with a time "HH:MM" or
// "HH:MM:SS" after a blank or a 'T'; a fraction of a second and a final 'Z' are allowed and
// dropped. Empty for any other text and for a date or time that does not exist.
std::optional<DateTime> parseIsoDateTime(std::string_view text);

}  // namespace kv::data_access
