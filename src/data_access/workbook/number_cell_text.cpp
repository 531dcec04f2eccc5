#include "data_access/workbook/number_cell_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "data_access/date_text.h"
#include "data_access/number_text.h"

namespace kv::data_access::workbook {
namespace {

constexpr std::int64_t kDaysPerFourYears = 4 * 365 + 1;
constexpr int kSecondsPerDay = 24 * 60 * 60;

DateTime dayOf(std::int64_t dayNumber, bool dates1904) {
    // Both systems start their count at a 1 January of a leap year, day 1 being its first day
    // (1900) or its second (1904).
    DateTime day;
    std::int64_t days = std::max<std::int64_t>(dayNumber, 1) - (dates1904 ? 0 : 1);
    day.year = (dates1904 ? 1904 : 1900) + static_cast<int>(4 * (days / kDaysPerFourYears));
    days %= kDaysPerFourYears;
    for (int length : {366, 365, 365, 365}) {
        if (days < length) break;
        days -= length;
        ++day.year;
    }
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (day.month = 1;; ++day.month) {
        const int length = kMonthDays[day.month - 1] + (day.month == 2 && day.year % 4 == 0 ? 1 : 0);
        if (days < length) break;
        days -= length;
    }
    day.day = static_cast<int>(days) + 1;
    return day;
}

void setTimeOfDay(DateTime& value, double fraction) {
    long seconds = std::lround(kSecondsPerDay * fraction);
    value.hour = static_cast<int>(seconds / 3600);
    seconds %= 3600;
    value.minute = static_cast<int>(seconds / 60);
    value.second = static_cast<int>(seconds % 60);
}

}  // namespace

std::string numberCellText(double value, NumberKind kind, bool dates1904) {
    const double dayNumber = std::floor(value);
    if (kind == NumberKind::Plain || !std::isfinite(value) || dayNumber < std::numeric_limits<int>::min() ||
        dayNumber > std::numeric_limits<int>::max())
        return formatNumber(value);
    DateTime stamp;
    if (kind == NumberKind::Time) {
        setTimeOfDay(stamp, value - dayNumber);
        char time[16];
        std::snprintf(time, sizeof time, "%d:%02d:%02d", stamp.hour, stamp.minute, stamp.second);
        return time;
    }
    stamp = dayOf(static_cast<std::int64_t>(dayNumber), dates1904);
    if (kind == NumberKind::DateTime) setTimeOfDay(stamp, value - dayNumber);
    return formatDateTime(stamp);
}

}  // namespace kv::data_access::workbook
