#include "data_access/table_index.h"

namespace kv::data_access {

bool TableIndex::ByKey::operator()(std::size_t a, std::size_t b) const {
    const int order = (*keys)[a].compare((*keys)[b]);
    return order < 0 || (order == 0 && a < b);
}

TableIndex::TableIndex(const ProviderTable& source, IndexInfo info, std::vector<std::size_t> columns,
                       const RowSource& rows, bool rowsMatchSource)
    : source_(source), info_(std::move(info)), columns_(std::move(columns)), entries_(ByKey{&keyOfRow_}) {
    const std::size_t count = rows.rowCount();
    keyOfRow_.resize(count);
    indexed_.resize(count, false);
    if (rowsMatchSource) {
        for (auto& entry : source_.indexEntries(info_)) {
            if (entry.row >= count) continue;
            keyOfRow_[entry.row] = std::move(entry.key);
            indexed_[entry.row] = true;
            entries_.emplace_hint(entries_.end(), entry.row);
        }
    } else {
        Row row;
        for (std::size_t position = 0; position < count; ++position) {
            rows.readRow(position, row);
            put(position, keyOfRow(row));
        }
    }
}

std::string TableIndex::keyOfRow(const Row& row) const {
    std::vector<Value> values;
    for (std::size_t column : columns_) values.push_back(cellOf(row, column));
    return keyOfValues(values);
}

std::string TableIndex::keyOfValues(const std::vector<Value>& values) const { return source_.encodeKey(info_, values); }

void TableIndex::put(std::size_t row, std::string key) {
    if (indexed(row)) {
        entries_.erase(row);
    } else if (row >= keyOfRow_.size()) {
        keyOfRow_.resize(row + 1);
        indexed_.resize(row + 1, false);
    }
    keyOfRow_[row] = std::move(key);
    indexed_[row] = true;
    entries_.insert(row);
}

std::optional<std::size_t> TableIndex::rowAt(Entries::const_iterator entry) const {
    if (entry == entries_.end()) return std::nullopt;
    return *entry;
}

std::optional<std::size_t> TableIndex::firstRow() const { return rowAt(entries_.begin()); }

std::optional<std::size_t> TableIndex::rowAfter(std::size_t row) const {
    if (!indexed(row)) return std::nullopt;
    auto entry = entries_.find(row);
    return entry == entries_.end() ? std::nullopt : rowAt(std::next(entry));
}

std::optional<std::size_t> TableIndex::firstRowWithKey(const std::string& key) const {
    auto entry = entries_.lower_bound(Probe{key});
    if (entry == entries_.end() || keyOfRow_[*entry] != key) return std::nullopt;
    return *entry;
}

std::optional<std::size_t> TableIndex::firstRowFrom(const std::string& key) const {
    return rowAt(entries_.lower_bound(Probe{key}));
}

std::optional<std::size_t> TableIndex::nextRowWithKey(std::size_t row) const {
    auto next = rowAfter(row);
    if (!next || keyOfRow_[*next] != keyOfRow_[row]) return std::nullopt;
    return next;
}

}  // namespace kv::data_access
