#include "import/contest_entry.h"

#include "data_access/date_text.h"

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace kv::import {
namespace {

std::string longTime(int hour, int minute, int second) {
    std::tm time{};
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    std::ostringstream text;
    try {
        text.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        // A locale the environment names but the system lacks: the classic one writes H:MM:SS.
    }
    text << std::put_time(&time, "%X");
    return text.str();
}

}  // namespace

std::string contestEntryText(const std::string& contestName, const std::string& startDate) {
    const std::optional<data_access::DateTime> start = data_access::parseDateTime(startDate);
    if (!start) return contestName + "," + startDate;
    std::string text = contestName + "," + data_access::formatDate(start->year, start->month, start->day);
    if (start->hour != 0 || start->minute != 0 || start->second != 0)
        text += " " + longTime(start->hour, start->minute, start->second);
    return text;
}

}  // namespace kv::import
