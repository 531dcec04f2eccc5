#include "csv_rows.h"

#include <algorithm>
#include <stdexcept>

#include "data_access/access/access_value_text.h"
#include "data_access/csv_reader.h"
#include "data_access/date_text.h"
#include "jet/text_codec.h"
#include "jet/text_fold.h"

namespace kv::jetmake {
namespace {

using jet::ColumnType;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<jet::Binary> hexBytes(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    jet::Binary bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return bytes;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", the first three groups stored little-endian. mdbtools
// 1.0 prints it without its last dash, and with -b hex as the hex digits of that text: both are read.
std::optional<jet::Guid> guid(std::string text) {
    if (text.size() > 38 && text.size() % 2 == 0) {
        auto spelled = hexBytes(text);
        if (spelled) text.assign(spelled->begin(), spelled->end());
    }
    if (text.size() < 2 || text.front() != '{' || text.back() != '}') return std::nullopt;
    std::string digits;
    for (char c : text.substr(1, text.size() - 2))
        if (c != '-') digits += c;
    auto bytes = digits.size() == 32 ? hexBytes(digits) : std::nullopt;
    if (!bytes) return std::nullopt;
    jet::Guid value;
    std::copy(bytes->begin(), bytes->end(), value.bytes.begin());
    std::reverse(value.bytes.begin(), value.bytes.begin() + 4);
    std::reverse(value.bytes.begin() + 4, value.bytes.begin() + 6);
    std::reverse(value.bytes.begin() + 6, value.bytes.begin() + 8);
    return value;
}

// Plain decimal text with at most the column's scale of fractional digits, as a 128-bit magnitude.
std::optional<jet::Numeric> numeric(std::string_view text, std::uint8_t scale) {
    jet::Numeric value;
    value.scale = scale;
    if (!text.empty() && text.front() == '-') {
        value.negative = true;
        text.remove_prefix(1);
    }
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    while (fraction.size() > scale && fraction.back() == '0') fraction.remove_suffix(1);
    if (whole.empty() || fraction.size() > scale) return std::nullopt;
    std::string digits = std::string(whole) + std::string(fraction) + std::string(scale - fraction.size(), '0');
    for (char digit : digits) {
        if (digit < '0' || digit > '9') return std::nullopt;
        std::uint64_t carry = static_cast<std::uint64_t>(digit - '0');
        for (int word = 3; word >= 0; --word) {  // magnitude = magnitude * 10 + digit, low word last
            std::uint64_t product = static_cast<std::uint64_t>(value.magnitude[word]) * 10 + carry;
            value.magnitude[word] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) return std::nullopt;
    }
    return value;
}

// The engine's view of a designed column, as the value conversion needs it.
jet::Column engineColumn(const jet::ColumnDesign& design) {
    jet::Column column;
    column.name = design.name;
    column.type = design.type;
    column.length = design.length;
    column.flags = design.flags;
    return column;
}

jet::Value convert(const jet::ColumnDesign& column, const std::optional<std::string>& text) {
    if (!text) return {};
    auto refuse = [&](const std::string& hint = {}) -> jet::Value {
        throw std::runtime_error("The value '" + *text + "' is not a valid " + jet::columnTypeName(column.type) +
                                 " for column " + column.name + hint);
    };
    switch (column.type) {
    case ColumnType::Guid: {
        auto value = guid(*text);
        return value ? jet::Value(*value) : refuse();
    }
    case ColumnType::Binary:
    case ColumnType::Ole: {
        auto value = hexBytes(*text);
        return value ? jet::Value(*value) : refuse();
    }
    case ColumnType::Numeric: {
        auto value = numeric(*text, column.scale);
        return value ? jet::Value(*value) : refuse();
    }
    case ColumnType::DateTime: {
        auto value = data_access::parseIsoDateTime(*text);
        if (!value) value = data_access::parseDateTime(*text);
        return value ? jet::Value(data_access::accessDateTime(*value))
                     : refuse(
                           ": dates are written as year-month-day (ISO 8601) or month/day/year, with an optional time");
    }
    case ColumnType::Text:
        if (jet::utf8ToCodePoints(*text).size() > column.length / 2u)
            throw std::runtime_error("The value '" + *text + "' is longer than the " +
                                     std::to_string(column.length / 2) + " characters of column " + column.name);
        return *text;
    default: return data_access::accessValueFromText(engineColumn(column), text);
    }
}

}  // namespace

std::vector<jet::TableRow> readCsvRows(const jet::TableDesign& table, const std::string& text,
                                       const std::string& fileName) {
    std::vector<data_access::Row> records = data_access::readCommaDelimited(text, fileName, data_access::Blanks::Kept);
    if (records.empty()) throw std::runtime_error(fileName + ": there is no header row naming the columns");
    std::vector<std::size_t> positions;  // for each CSV column, the table column it fills
    for (const auto& heading : records.front()) {
        auto column = std::find_if(table.columns.begin(), table.columns.end(), [&](const jet::ColumnDesign& c) {
            return heading && jet::equalIgnoringCase(c.name, *heading);
        });
        if (column == table.columns.end())
            throw std::runtime_error(fileName + ": the header names the column '" + heading.value_or("") +
                                     "', which table " + table.name + " does not have");
        positions.push_back(static_cast<std::size_t>(column - table.columns.begin()));
    }
    std::vector<jet::TableRow> rows;
    for (std::size_t record = 1; record < records.size(); ++record) {
        const auto& fields = records[record];
        if (fields.size() != positions.size())
            throw std::runtime_error(fileName + ", record " + std::to_string(record) + ": it has " +
                                     std::to_string(fields.size()) + " fields where the header has " +
                                     std::to_string(positions.size()));
        jet::TableRow row(table.columns.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            try {
                row[positions[i]] = convert(table.columns[positions[i]], fields[i]);
            } catch (const std::exception& error) {
                throw std::runtime_error(fileName + ", record " + std::to_string(record) + ": " + error.what());
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace kv::jetmake
