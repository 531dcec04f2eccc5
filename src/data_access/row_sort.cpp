#include "data_access/row_sort.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// One sort column's values, worked out once per row so that comparisons stay cheap. Dates go into
// `numbers` as YYYYMMDDhhmmss.
struct ColumnKeys {
    bool numeric = true;
    std::vector<double> numbers;
    std::vector<std::string> texts;
    std::vector<bool> empty;
};

std::optional<double> dateNumber(std::string_view text) {
    const std::optional<DateTime> date = parseDateTime(text);
    if (!date) return std::nullopt;
    return ((((date->year * 100.0 + date->month) * 100 + date->day) * 100 + date->hour) * 100 + date->minute) * 100 +
           date->second;
}

// Fills `keys.numbers` by `read`; false as soon as a cell reads as none.
template <typename Read>
bool readNumbers(ColumnKeys& keys, const std::vector<std::size_t>& positions, const std::vector<Row>& rows,
                 std::size_t column, Read read) {
    for (std::size_t row : positions) {
        const Value& cell = column < rows[row].size() ? rows[row][column] : Value();
        if (!cell || cell->empty()) continue;
        keys.empty[row] = false;
        const std::optional<double> number = read(*cell);
        if (!number) return false;
        keys.numbers[row] = *number;
    }
    return true;
}

ColumnKeys columnKeys(const std::vector<std::size_t>& positions, const std::vector<Row>& rows, std::size_t column) {
    ColumnKeys keys;
    keys.empty.resize(rows.size(), true);
    keys.numbers.resize(rows.size(), 0);
    keys.numeric =
        readNumbers(keys, positions, rows, column, [](std::string_view text) { return parseNumber(text); }) ||
        readNumbers(keys, positions, rows, column, dateNumber);
    if (!keys.numeric) {
        keys.texts.resize(rows.size());
        for (std::size_t row : positions) {
            const Value& cell = column < rows[row].size() ? rows[row][column] : Value();
            keys.empty[row] = !cell || cell->empty();
            if (!keys.empty[row]) keys.texts[row] = foldCase(*cell);
        }
    }
    return keys;
}

// -1, 0 or 1 as row a sorts before, with or after row b in ascending order.
int compareRows(const ColumnKeys& keys, std::size_t a, std::size_t b) {
    if (keys.empty[a] || keys.empty[b]) return int(keys.empty[b]) - int(keys.empty[a]);
    if (keys.numeric) return keys.numbers[a] < keys.numbers[b] ? -1 : keys.numbers[b] < keys.numbers[a] ? 1 : 0;
    int order = keys.texts[a].compare(keys.texts[b]);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace

std::vector<SortKey> parseSortText(std::string_view text, const FilterExpression::ColumnResolver& resolveColumn) {
    std::vector<SortKey> keys;
    while (!trim(text).empty()) {
        std::size_t comma = text.find(',');
        std::string_view item = trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        SortKey key;
        std::size_t blank = item.find_last_of(" \t]");
        std::string_view direction =
            blank == std::string_view::npos || item[blank] == ']' ? "" : item.substr(blank + 1);
        if (equalIgnoringCase(direction, "DESC") || equalIgnoringCase(direction, "ASC")) {
            key.descending = equalIgnoringCase(direction, "DESC");
            item = trim(item.substr(0, blank));
        } else if (!direction.empty()) {
            throw std::runtime_error("Invalid sort \"" + std::string(item) +
                                     "\": ASC or DESC expected after the column");
        }
        if (item.size() >= 2 && item.front() == '[' && item.back() == ']') item = item.substr(1, item.size() - 2);
        key.column = resolveColumn(item);
        keys.push_back(key);
    }
    return keys;
}

void sortRows(std::vector<std::size_t>& positions, const std::vector<Row>& rows, const std::vector<SortKey>& keys) {
    std::vector<ColumnKeys> columns;
    for (const auto& key : keys) columns.push_back(columnKeys(positions, rows, key.column));
    std::stable_sort(positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            int order = compareRows(columns[i], a, b);
            if (order != 0) return keys[i].descending ? order > 0 : order < 0;
        }
        return false;
    });
}

}  // namespace kv::data_access
