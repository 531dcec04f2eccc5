#include "jet/commit_rules.h"

#include <algorithm>
#include <random>
#include <stdexcept>

#include "jet/format.h"

namespace kv::jet {
namespace {

namespace td = format::tdef;

// A Long column that numbers the rows (a column of another type cannot).
bool isAutonumber(const Column& column) { return column.type == ColumnType::Long && column.isAutonumber(); }

// A value as the message about a key shows it.
std::string describe(const Value& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return "NULL";
            else if constexpr (std::is_same_v<T, bool>)
                return v ? "True" : "False";
            else if constexpr (std::is_same_v<T, std::string>)
                return "\"" + v + "\"";
            else if constexpr (std::is_same_v<T, Binary>)
                return hexText(v);
            else if constexpr (std::is_same_v<T, Guid>)
                return guidText(v);
            else if constexpr (std::is_same_v<T, DateTime>)
                return decimalText(v.days);
            else if constexpr (std::is_same_v<T, Currency> || std::is_same_v<T, Numeric> || std::is_floating_point_v<T>)
                return decimalText(v);
            else
                return std::to_string(v);
        },
        value);
}

std::string indexName(const TableDef& def, std::size_t realIndex) {
    for (const LogicalIndex& logical : def.logicalIndexes)
        if (logical.realIndex == realIndex) return logical.name;
    return "#" + std::to_string(realIndex);
}

std::string keyValuesText(const TableDef& def, const RealIndex& index, const TableRow& row) {
    std::string text;
    for (const RealIndexColumn& key : index.columns) {
        std::size_t c = def.columnPosition(key.columnNumber);
        if (!text.empty()) text += ", ";
        text += def.columns[c].name + " = " + describe(row[c]);
    }
    return text;
}

bool allKeyColumnsNull(const TableDef& def, const RealIndex& index, const TableRow& row) {
    return std::all_of(index.columns.begin(), index.columns.end(),
                       [&](const RealIndexColumn& key) { return isNull(row[def.columnPosition(key.columnNumber)]); });
}

}  // namespace

bool fillsInValues(const TableDef& def) {
    return std::any_of(def.columns.begin(), def.columns.end(), [](const Column& column) {
        return isAutonumber(column) || (column.type == ColumnType::Guid && (column.flags & td::column::kFlagAutoGuid));
    });
}

std::uint32_t fillAutonumbers(const TableDef& def, std::uint32_t last, std::vector<TableRow>& rows) {
    std::mt19937_64 random{std::random_device{}()};
    for (std::size_t c = 0; c < def.columns.size(); ++c) {
        const Column& column = def.columns[c];
        if (isAutonumber(column)) {
            for (const TableRow& row : rows)
                if (auto* number = std::get_if<std::int32_t>(&row[c]); number && *number > 0)
                    last = std::max(last, static_cast<std::uint32_t>(*number));
            for (TableRow& row : rows)
                if (isNull(row[c])) row[c] = static_cast<std::int32_t>(++last);
        } else if (column.type == ColumnType::Guid && (column.flags & td::column::kFlagAutoGuid)) {
            for (TableRow& row : rows) {
                if (!isNull(row[c])) continue;
                Guid guid;
                for (auto& byte : guid.bytes) byte = static_cast<std::uint8_t>(random());
                row[c] = guid;
            }
        }
    }
    return last;
}

std::vector<std::size_t> autonumberPositions(const TableDef& def) {
    std::vector<std::size_t> positions;
    for (std::size_t c = 0; c < def.columns.size(); ++c)
        if (isAutonumber(def.columns[c])) positions.push_back(c);
    return positions;
}

std::uint32_t highestAutonumber(const std::vector<std::size_t>& positions, std::uint32_t last, const TableRow& row) {
    for (std::size_t c : positions)
        if (auto* number = std::get_if<std::int32_t>(&row[c]); number && *number > 0)
            last = std::max(last, static_cast<std::uint32_t>(*number));
    return last;
}

void requireIndexValues(const TableDef& def, std::size_t realIndex, const TableRow& row) {
    const RealIndex& index = def.realIndexes[realIndex];
    if (!(index.flags & td::real_index::kFlagRequired)) return;
    for (const RealIndexColumn& key : index.columns)
        if (isNull(row[def.columnPosition(key.columnNumber)]))
            throw std::runtime_error("The index " + indexName(def, realIndex) + " of table " + def.name +
                                     " needs a value in column " +
                                     def.columns[def.columnPosition(key.columnNumber)].name);
}

bool leftOutOfIndex(const TableDef& def, const RealIndex& index, const TableRow& row) {
    return index.ignoresNulls() && allKeyColumnsNull(def, index, row);
}

bool mayRepeatKey(const TableDef& def, const RealIndex& index, const TableRow& row) {
    return allKeyColumnsNull(def, index, row);
}

void throwRepeatedKey(const TableDef& def, std::size_t realIndex, const TableRow& row) {
    throw std::runtime_error("The index " + indexName(def, realIndex) + " of table " + def.name +
                             " does not allow two rows with the same values (" +
                             keyValuesText(def, def.realIndexes[realIndex], row) + ")");
}

}  // namespace kv::jet
