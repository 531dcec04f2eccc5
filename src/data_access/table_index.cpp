#include "data_access/table_index.h"

namespace kv::data_access {

TableIndex::TableIndex(const ProviderTable& source, IndexInfo info, std::vector<std::size_t> columns,
                       const std::vector<Row>& rows, bool rowsMatchSource)
    : source_(source), info_(std::move(info)), columns_(std::move(columns)) {
    keyOfRow_.resize(rows.size());
    if (rowsMatchSource) {
        for (auto& entry : source_.indexEntries(info_)) {
            if (entry.row >= rows.size()) continue;
            keyOfRow_[entry.row] = entry.key;
            entries_.emplace_hint(entries_.end(), std::move(entry.key), entry.row);
        }
    } else {
        for (std::size_t row = 0; row < rows.size(); ++row) put(row, keyOfRow(rows[row]));
    }
}

std::string TableIndex::keyOfRow(const Row& row) const {
    std::vector<Value> values;
    for (std::size_t column : columns_) values.push_back(column < row.size() ? row[column] : Value());
    return keyOfValues(values);
}

std::string TableIndex::keyOfValues(const std::vector<Value>& values) const { return source_.encodeKey(info_, values); }

void TableIndex::put(std::size_t row, std::string key) {
    if (row < keyOfRow_.size()) {
        entries_.erase({keyOfRow_[row], row});
    } else {
        keyOfRow_.resize(row + 1);
    }
    keyOfRow_[row] = key;
    entries_.emplace(std::move(key), row);
}

std::optional<std::size_t> TableIndex::rowAt(Entries::const_iterator entry) const {
    if (entry == entries_.end()) return std::nullopt;
    return entry->second;
}

std::optional<std::size_t> TableIndex::firstRow() const { return rowAt(entries_.begin()); }

std::optional<std::size_t> TableIndex::rowAfter(std::size_t row) const {
    if (row >= keyOfRow_.size()) return std::nullopt;
    auto entry = entries_.find({keyOfRow_[row], row});
    return entry == entries_.end() ? std::nullopt : rowAt(std::next(entry));
}

std::optional<std::size_t> TableIndex::firstRowWithKey(const std::string& key) const {
    auto entry = entries_.lower_bound({key, 0});
    if (entry == entries_.end() || entry->first != key) return std::nullopt;
    return entry->second;
}

std::optional<std::size_t> TableIndex::firstRowFrom(const std::string& key) const {
    return rowAt(entries_.lower_bound({key, 0}));
}

std::optional<std::size_t> TableIndex::nextRowWithKey(std::size_t row) const {
    auto next = rowAfter(row);
    if (!next || keyOfRow_[*next] != keyOfRow_[row]) return std::nullopt;
    return next;
}

}  // namespace kv::data_access
