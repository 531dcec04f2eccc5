#include "data_access/date_text.h"

#include <algorithm>
#include <charconv>

namespace kv::data_access {
namespace {

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

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

// Exactly `count` decimal digits at the front of `text`, dropped from it.
std::optional<int> takeDigits(std::string_view& text, std::size_t count) {
    if (text.size() < count || text.substr(0, count).find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::string_view digits = text.substr(0, count);
    text.remove_prefix(count);
    return takeNumber(digits);
}

bool takeChar(std::string_view& text, std::string_view allowed) {
    if (text.empty() || allowed.find(text.front()) == std::string_view::npos) return false;
    text.remove_prefix(1);
    return true;
}

bool exists(const DateTime& value) {
    return value.year >= 100 && value.year <= 9999 && value.month >= 1 && value.month <= 12 && value.day >= 1 &&
           value.day <= daysInMonth(value.year, value.month) && value.hour <= 23 && value.minute <= 59 &&
           value.second <= 59;
}

}  // namespace

namespace {

void appendNumber(std::string& text, int number, int digits = 1) {
    char buffer[16];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    for (auto written = end - buffer; written < digits; ++written) text += '0';
    text.append(buffer, end);
}

}  // namespace

std::string formatDate(int year, int month, int day) {
    std::string text;
    text.reserve(20);
    appendNumber(text, month);
    text += '-';
    appendNumber(text, day);
    text += '-';
    appendNumber(text, year);
    return text;
}

std::string formatDateTime(const DateTime& value) {
    std::string text = formatDate(value.year, value.month, value.day);
    if (value.hour != 0 || value.minute != 0 || value.second != 0) {
        text += ' ';
        appendNumber(text, value.hour);
        text += ':';
        appendNumber(text, value.minute, 2);
        text += ':';
        appendNumber(text, value.second, 2);
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
    if (!text.empty() || !exists(result)) return std::nullopt;
    return result;
}

std::optional<DateTime> parseIsoDateTime(std::string_view text) {
    DateTime result;
    auto take = [&text](std::size_t digits, int& field) {
        const std::optional<int> part = takeDigits(text, digits);
        if (part) field = *part;
        return part.has_value();
    };
    if (!take(4, result.year) || !takeChar(text, "-") || !take(2, result.month) || !takeChar(text, "-") ||
        !take(2, result.day))
        return std::nullopt;
    if (takeChar(text, " T")) {
        if (!take(2, result.hour) || !takeChar(text, ":") || !take(2, result.minute)) return std::nullopt;
        if (takeChar(text, ":")) {
            if (!take(2, result.second)) return std::nullopt;
            if (takeChar(text, ".")) text.remove_prefix(std::min(text.size(), text.find_first_not_of("0123456789")));
        }
    }
    takeChar(text, "Z");
    if (!text.empty() || !exists(result)) return std::nullopt;
    return result;
}

}  // namespace kv::data_access
