#include "data_access/sqlite_value_text.h"

#include <sqlite3.h>

#include <cstdint>

#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "data_access/text_fold.h"
#include "jet/value.h"

namespace kv::data_access {
namespace {

class TextReader {
public:
    explicit TextReader(std::string_view text) : text_(text) {}

    // Exactly `count` decimal digits.
    std::optional<int> number(std::size_t count) {
        if (text_.size() - at_ < count) return std::nullopt;
        int value = 0;
        for (std::size_t end = at_ + count; at_ < end; ++at_) {
            if (!isDigit(text_[at_])) return std::nullopt;
            value = value * 10 + (text_[at_] - '0');
        }
        return value;
    }
    // Moves past one of the `allowed` characters when it comes next.
    bool skip(std::string_view allowed) {
        if (atEnd() || allowed.find(text_[at_]) == std::string_view::npos) return false;
        ++at_;
        return true;
    }
    void skipDigits() {
        while (!atEnd() && isDigit(text_[at_])) ++at_;
    }
    bool atEnd() const { return at_ == text_.size(); }

private:
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    std::string_view text_;
    std::size_t at_ = 0;
};

std::optional<DateTime> readIsoDateTime(TextReader& text) {
    auto year = text.number(4);
    if (!year || !text.skip("-")) return std::nullopt;
    auto month = text.number(2);
    if (!month || !text.skip("-")) return std::nullopt;
    auto day = text.number(2);
    if (!day) return std::nullopt;
    DateTime value{*year, *month, *day};
    if (!text.skip(" T")) return value;
    auto hour = text.number(2);
    if (!hour || !text.skip(":")) return std::nullopt;
    auto minute = text.number(2);
    if (!minute) return std::nullopt;
    value.hour = *hour;
    value.minute = *minute;
    if (!text.skip(":")) return value;
    auto second = text.number(2);
    if (!second) return std::nullopt;
    value.second = *second;
    if (text.skip(".")) text.skipDigits();
    return value;
}

} // namespace

bool isDateType(const char* declaredType) {
    if (!declaredType) return false;
    const std::string type = foldCase(declaredType);
    return type.find("date") != std::string::npos || type.find("time") != std::string::npos;
}

std::optional<std::string> isoDateTimeText(std::string_view text) {
    TextReader reader(text);
    const std::optional<DateTime> value = readIsoDateTime(reader);
    reader.skip("Z");
    if (!value || !reader.atEnd()) return std::nullopt;
    // The process format's reader knows which fields make a date that exists.
    std::string written = formatDateTime(*value);
    if (parseDateTime(written) != value) return std::nullopt;
    return written;
}

Value columnValue(sqlite3_stmt* statement, int column, bool dateColumn) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL: return std::nullopt;
    case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT: return formatNumber(sqlite3_column_double(statement, column));
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column));
        return jet::hexText(jet::Binary(bytes, bytes + sqlite3_column_bytes(statement, column)));
    }
    default: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        std::string text(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        if (dateColumn)
            if (auto date = isoDateTimeText(text)) return date;
        return text;
    }
    }
}

} // namespace kv::data_access
