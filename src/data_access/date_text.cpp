#include "data_access/date_text.h"

#include <charconv>
#include <cstdio>

namespace kv::data_access {
namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Reads an unsigned decimal number at the front of `text` and drops it from `text`.
std::optional<int> takeNumber(std::string_view& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() || value < 0) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

bool takeChar(std::string_view& text, std::string_view allowed) {
    if (text.empty() || allowed.find(text.front()) == std::string_view::npos) return false;
    text.remove_prefix(1);
    return true;
}

} // namespace

std::string formatDate(int year, int month, int day) {
    return std::to_string(month) + "-" + std::to_string(day) + "-" + std::to_string(year);
}

std::string formatDateTime(const DateTime& value) {
    std::string text = formatDate(value.year, value.month, value.day);
    if (value.hour != 0 || value.minute != 0 || value.second != 0) {
        char time[16];
        std::snprintf(time, sizeof time, " %d:%02d:%02d", value.hour, value.minute, value.second);
        text += time;
    }
    return text;
}

std::optional<DateTime> parseDateTime(std::string_view text) {
    DateTime result;
    auto month = takeNumber(text);
    if (!month || !takeChar(text, "-/")) return std::nullopt;
    auto day = takeNumber(text);
    if (!day || !takeChar(text, "-/")) return std::nullopt;
    auto year = takeNumber(text);
    if (!year) return std::nullopt;
    result.year = *year;
    result.month = *month;
    result.day = *day;
    if (takeChar(text, " ")) {
        auto hour = takeNumber(text);
        if (!hour || !takeChar(text, ":")) return std::nullopt;
        auto minute = takeNumber(text);
        if (!minute || !takeChar(text, ":")) return std::nullopt;
        auto second = takeNumber(text);
        if (!second) return std::nullopt;
        result.hour = *hour;
        result.minute = *minute;
        result.second = *second;
    }
    if (!text.empty()) return std::nullopt;
    if (result.year < 100 || result.year > 9999 || result.month < 1 || result.month > 12 ||
        result.day < 1 || result.day > daysInMonth(result.year, result.month) || result.hour > 23 ||
        result.minute > 59 || result.second > 59)
        return std::nullopt;
    return result;
}

} // namespace kv::data_access
