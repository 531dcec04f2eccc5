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
// `numbers` as YYYYMMDDhhmmss. All are indexed by place in the positions sorted.
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
bool readNumbers(ColumnKeys& keys, const std::vector<Value>& cells, Read read) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (!cells[i] || cells[i]->empty()) continue;
        keys.empty[i] = false;
        const std::optional<double> number = read(*cells[i]);
        if (!number) return false;
        keys.numbers[i] = *number;
    }
    return true;
}

ColumnKeys columnKeys(std::vector<Value> cells) {
    ColumnKeys keys;
    keys.empty.resize(cells.size(), true);
    keys.numbers.resize(cells.size(), 0);
    keys.numeric = readNumbers(keys, cells, [](std::string_view text) { return parseNumber(text); }) ||
                   readNumbers(keys, cells, dateNumber);
    if (!keys.numeric) {
        keys.texts.resize(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            keys.empty[i] = !cells[i] || cells[i]->empty();
            if (!keys.empty[i]) keys.texts[i] = foldCase(*cells[i]);
        }
    }
    return keys;
}

// The cells of each sort column, by place in `positions`.
std::vector<std::vector<Value>> sortCells(const std::vector<std::size_t>& positions, const RowSource& rows,
                                          const std::vector<SortKey>& keys) {
    std::vector<std::vector<Value>> cells(keys.size(), std::vector<Value>(positions.size()));
    for (std::size_t place = 0; place < positions.size(); ++place)
        for (std::size_t k = 0; k < keys.size(); ++k) rows.readCell(positions[place], keys[k].column, cells[k][place]);
    return cells;
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

void sortRows(std::vector<std::size_t>& positions, const RowSource& rows, const std::vector<SortKey>& keys) {
    std::vector<ColumnKeys> columns;
    for (auto& cells : sortCells(positions, rows, keys)) columns.push_back(columnKeys(std::move(cells)));
    std::vector<std::size_t> places(positions.size());
    for (std::size_t i = 0; i < places.size(); ++i) places[i] = i;
    std::stable_sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            int order = compareRows(columns[i], a, b);
            if (order != 0) return keys[i].descending ? order > 0 : order < 0;
        }
        return false;
    });
    std::vector<std::size_t> sorted;
    sorted.reserve(places.size());
    for (std::size_t place : places) sorted.push_back(positions[place]);
    positions = std::move(sorted);
}

}  // namespace kv::data_access
