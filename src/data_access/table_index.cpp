#include "data_access/table_index.h"

namespace kv::data_access {

TableIndex::TableIndex(const ProviderTable& source, IndexInfo info, std::vector<std::size_t> columns,
                       const RowSource& rows, bool rowsMatchSource)
    : source_(source), info_(std::move(info)), columns_(std::move(columns)) {
    const std::size_t count = rows.rowCount();
    entryOfRow_.assign(count, entries_.end());
    if (rowsMatchSource) {
        for (auto& entry : source_.indexEntries(info_)) {
            if (entry.row >= count) continue;
            entryOfRow_[entry.row] = entries_.emplace_hint(entries_.end(), std::move(entry.key), entry.row);
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
    if (indexed(row))
        entries_.erase(entryOfRow_[row]);
    else if (row >= entryOfRow_.size())
        entryOfRow_.resize(row + 1, entries_.end());
    entryOfRow_[row] = entries_.emplace(std::move(key), row).first;
}

std::optional<std::size_t> TableIndex::rowAt(Entries::const_iterator entry) const {
    if (entry == entries_.end()) return std::nullopt;
    return entry->second;
}

std::optional<std::size_t> TableIndex::firstRow() const { return rowAt(entries_.begin()); }

std::optional<std::size_t> TableIndex::rowAfter(std::size_t row) const {
    if (!indexed(row)) return std::nullopt;
    return rowAt(std::next(Entries::const_iterator(entryOfRow_[row])));
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
    if (!next || entryOfRow_[*next]->first != entryOfRow_[row]->first) return std::nullopt;
    return next;
}

}  // namespace kv::data_access
