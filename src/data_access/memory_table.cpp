#include "data_access/memory_table.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

// Each value ends with a 00 byte; 00 and 01 inside a value are escaped as 01 01 and 01 02, so a
// shorter value sorts before every longer one it is a prefix of. NULL is a lone 00, before "".
void appendKeyPart(std::string& key, const Value& value, bool descending) {
    std::string part;
    if (value) {
        part += '\x01';
        for (char c : foldCase(*value)) {
            if (c == '\x00' || c == '\x01') {
                part += '\x01';
                part += static_cast<char>(c + 1);
            } else {
                part += c;
            }
        }
    }
    part += '\x00';
    if (descending)
        for (char& c : part) c = static_cast<char>(~static_cast<unsigned char>(c));
    key += part;
}

std::size_t columnPosition(const std::vector<std::string>& columns, const std::string& name) {
    std::string folded = foldCase(name);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (foldCase(columns[i]) == folded) return i;
    throw std::runtime_error("Index column " + name + " is not a column of the table");
}

}  // namespace

std::string encodeFoldedKey(const IndexInfo& index, const std::vector<Value>& values) {
    if (values.size() != index.columns.size())
        throw std::runtime_error("Index " + index.name + " needs " + std::to_string(index.columns.size()) +
                                 " values for a key");
    std::string key;
    for (std::size_t i = 0; i < values.size(); ++i) appendKeyPart(key, values[i], index.columns[i].descending);
    return key;
}

MemoryTable::MemoryTable(std::string source, std::vector<std::string> columns, PackedRows rows,
                         std::vector<IndexInfo> indexes)
    : source_(std::move(source)), columns_(std::move(columns)), rows_(std::move(rows)), indexes_(std::move(indexes)) {}

MemoryTable::MemoryTable(std::string source, std::vector<std::string> columns, const std::vector<Row>& rows,
                         std::vector<IndexInfo> indexes)
    : MemoryTable(std::move(source), std::move(columns), PackedRows(), std::move(indexes)) {
    replaceRows(rows);
}

void MemoryTable::replaceRows(const std::vector<Row>& rows) {
    rows_.clear();
    for (const Row& row : rows) rows_.add(row);
}

Value MemoryTable::convert(std::size_t, const Value&) const {
    throw std::runtime_error(source_ + " is read-only: it cannot be changed");
}

std::vector<std::size_t> MemoryTable::commit(const TableChanges&) {
    throw std::runtime_error(source_ + " is read-only: it cannot be changed");
}

IndexEntries MemoryTable::indexEntries(const IndexInfo& index) const {
    std::vector<std::size_t> positions;
    for (const auto& column : index.columns) positions.push_back(columnPosition(columns_, column.name));
    std::vector<std::string> keys;
    keys.reserve(rows_.size());
    std::vector<Value> values(positions.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        for (std::size_t i = 0; i < positions.size(); ++i) rows_.readCell(row, positions[i], values[i]);
        keys.push_back(encodeFoldedKey(index, values));
    }
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    IndexEntries entries;
    entries.reserve(order.size());
    for (std::size_t row : order) entries.add(keys[row], row);
    return entries;
}

std::string MemoryTable::encodeKey(const IndexInfo& index, const std::vector<Value>& values) const {
    return encodeFoldedKey(index, values);
}

}  // namespace kv::data_access
