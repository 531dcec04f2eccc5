#include "data_access/access/access_value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "data_access/trim_blanks.h"

namespace kv::data_access {
namespace {

constexpr int kSecondsPerDay = 86400;

// Days from 1970-01-01 to a civil date (proleptic Gregorian), and back.
long long daysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

DateTime civilFromDays(long long days) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    DateTime result;
    result.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    result.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    result.year = static_cast<int>(yearOfEra + era * 400 + (result.month <= 2));
    return result;
}

const long long kAccessEpoch = daysFromCivil(1899, 12, 30);

// The whole day counts from the epoch towards zero; the fraction is the time of that day, forward
// in time even for negative values. Times are rounded to whole seconds.
std::string dateTimeText(double days) {
    if (!std::isfinite(days) || std::abs(days) > 3e6) return jet::decimalText(days);
    double whole = std::trunc(days);
    auto seconds = static_cast<long long>(std::llround(std::abs(days - whole) * kSecondsPerDay));
    auto day = static_cast<long long>(whole) + seconds / kSecondsPerDay;
    seconds %= kSecondsPerDay;
    DateTime value = civilFromDays(kAccessEpoch + day);
    value.hour = static_cast<int>(seconds / 3600);
    value.minute = static_cast<int>(seconds / 60 % 60);
    value.second = static_cast<int>(seconds % 60);
    return formatDateTime(value);
}

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

[[noreturn]] void notOfType(const jet::Column& column, const std::string& text) {
    throw std::runtime_error("The value '" + text + "' is not a valid " + jet::columnTypeName(column.type) +
                             " for column " + column.name);
}

// Rows often hold one date in turn (an import stamps each with the day's date), and reading a date
// from text is costly: the last text each thread read as a date is kept with its date.
jet::DateTime dateFromText(const jet::Column& column, const std::string& text) {
    thread_local std::string lastText;  // assigned, not made anew, so a run of other dates reuses it
    thread_local std::optional<jet::DateTime> lastDate;
    if (!lastDate || lastText != text) {
        const std::optional<DateTime> date = parseDateTime(text);
        if (!date) notOfType(column, text);
        lastDate.reset();  // nothing is kept should the text not be
        lastText = text;
        lastDate = accessDateTime(*date);
    }
    return *lastDate;
}

template <typename Integer>
Integer integerFromText(const jet::Column& column, const std::string& text) {
    auto number = parseNumber(text);
    if (!number || *number != std::trunc(*number) || *number < std::numeric_limits<Integer>::min() ||
        *number > std::numeric_limits<Integer>::max())
        notOfType(column, text);
    return static_cast<Integer>(*number);
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Shifts one decimal digit into `value`; false when the result would not fit.
bool appendDigit(std::int64_t& value, int digit) {
    if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return false;
    value = value * 10 + digit;
    return true;
}

// Currency is a count of ten-thousandths; it is read digit by digit, as a double would lose digits
// of large amounts. Further decimals are rounded half away from zero, as Access rounds them.
std::optional<std::int64_t> currencyFromText(std::string_view text) {
    constexpr std::size_t kDecimals = 4;
    text = trimBlanks(text);
    bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || !allDigits(whole) || !allDigits(fraction)) return std::nullopt;

    std::int64_t value = 0;
    for (char c : whole)
        if (!appendDigit(value, c - '0')) return std::nullopt;
    for (std::size_t i = 0; i < kDecimals; ++i)
        if (!appendDigit(value, i < fraction.size() ? fraction[i] - '0' : 0)) return std::nullopt;
    if (fraction.size() > kDecimals && fraction[kDecimals] >= '5') {
        if (value == std::numeric_limits<std::int64_t>::max()) return std::nullopt;
        ++value;
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<std::string> accessValueText(const jet::Value& value) {
    return std::visit(Overloaded{
                          [](std::monostate) -> std::optional<std::string> { return std::nullopt; },
                          [](bool v) -> std::optional<std::string> { return v ? "True" : "False"; },
                          [](std::uint8_t v) -> std::optional<std::string> { return std::to_string(v); },
                          [](std::int16_t v) -> std::optional<std::string> { return std::to_string(v); },
                          [](std::int32_t v) -> std::optional<std::string> { return std::to_string(v); },
                          [](const jet::Currency& v) -> std::optional<std::string> { return jet::decimalText(v); },
                          [](float v) -> std::optional<std::string> { return jet::decimalText(v); },
                          [](double v) -> std::optional<std::string> { return jet::decimalText(v); },
                          [](const jet::DateTime& v) -> std::optional<std::string> { return dateTimeText(v.days); },
                          [](const std::string& v) -> std::optional<std::string> { return v; },
                          [](const jet::Binary& v) -> std::optional<std::string> { return jet::hexText(v); },
                          [](const jet::Guid& v) -> std::optional<std::string> { return jet::guidText(v); },
                          [](const jet::Numeric& v) -> std::optional<std::string> { return jet::decimalText(v); },
                      },
                      value);
}

jet::Value accessValueFromText(const jet::Column& column, const std::optional<std::string>& text) {
    if (!text) return {};
    const std::string& t = *text;
    switch (column.type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return t;
    case jet::ColumnType::Boolean:
        if (t == "True" || t == "true" || t == "-1" || t == "1") return true;
        if (t == "False" || t == "false" || t == "0") return false;
        notOfType(column, t);
    case jet::ColumnType::Byte: return integerFromText<std::uint8_t>(column, t);
    case jet::ColumnType::Integer: return integerFromText<std::int16_t>(column, t);
    case jet::ColumnType::Long: return integerFromText<std::int32_t>(column, t);
    case jet::ColumnType::Single:
    case jet::ColumnType::Double: {
        auto number = parseNumber(t);
        if (!number) notOfType(column, t);
        if (column.type == jet::ColumnType::Single) return static_cast<float>(*number);
        return *number;
    }
    case jet::ColumnType::Currency: {
        auto tenThousandths = currencyFromText(t);
        if (!tenThousandths) notOfType(column, t);
        return jet::Currency{*tenThousandths};
    }
    case jet::ColumnType::DateTime: return dateFromText(column, t);
    default:
        throw std::runtime_error(std::string("Values of ") + jet::columnTypeName(column.type) + " columns (column " +
                                 column.name + ") cannot be read from text");
    }
}

jet::DateTime accessDateTime(const DateTime& value) {
    long long day =
        daysFromCivil(value.year, static_cast<unsigned>(value.month), static_cast<unsigned>(value.day)) - kAccessEpoch;
    double time = (value.hour * 3600 + value.minute * 60 + value.second) / static_cast<double>(kSecondsPerDay);
    return jet::DateTime{day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time};
}

}  // namespace kv::data_access
