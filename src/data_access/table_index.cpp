#include "data_access/table_index.h"

#include <algorithm>
#include <stdexcept>

#include "jet/index_key.h"

namespace kv::data_access {

std::uint64_t TableIndex::keyPrefix(std::string_view key) {
    return jet::indexKeyPrefix({reinterpret_cast<const std::uint8_t*>(key.data()), key.size()});
}

TableIndex::TableIndex(const ProviderTable& source, IndexInfo info, std::vector<std::size_t> columns,
                       const RowSource& rows, bool rowsMatchSource)
    : source_(source), info_(std::move(info)), columns_(std::move(columns)) {
    const std::size_t count = rows.rowCount();
    IndexEntries entries;
    if (rowsMatchSource) {
        entries = source_.indexEntries(info_);
    } else {
        entries.reserve(count);
        Row row;
        for (std::size_t position = 0; position < count; ++position) {
            rows.readRow(position, row);
            entries.add(keyOfRow(row), position);
        }
    }
    builtOfRow_.assign(count, kNone);
    build(std::move(entries), count);
}

void TableIndex::build(IndexEntries entries, std::size_t rowCount) {
    auto placeOfEntry = [&](std::size_t entry) { return Place{entries.key(entry), entries.row(entry)}; };
    if (entries.keys().size() >= kNone || entries.size() >= kNone)
        throw std::runtime_error("Index " + info_.name + " is too large to be held");
    auto addBuilt = [&](std::size_t entry, std::size_t keyStart) {
        builtOfRow_.at(entries.row(entry)) = static_cast<std::uint32_t>(built_.size());
        built_.push_back({keyPrefix(entries.key(entry)), static_cast<std::uint32_t>(keyStart),
                          static_cast<std::uint32_t>(entries.row(entry))});
    };
    // A source hands its entries in its order already, and rows encoded here come in row order:
    // then the entries' buffer of keys becomes the index's own.
    bool asHanded = true;
    for (std::size_t entry = 0; entry < entries.size() && asHanded; ++entry)
        asHanded =
            entries.row(entry) < rowCount && (entry == 0 || before(placeOfEntry(entry - 1), placeOfEntry(entry)));
    if (asHanded) {
        built_.reserve(entries.size());
        for (std::size_t entry = 0; entry < entries.size(); ++entry) addBuilt(entry, entries.keyStart(entry));
        keys_ = entries.takeKeys();
    } else {
        std::vector<std::size_t> order;
        for (std::size_t entry = 0; entry < entries.size(); ++entry)
            if (entries.row(entry) < rowCount) order.push_back(entry);
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return before(placeOfEntry(a), placeOfEntry(b)); });
        built_.reserve(order.size());
        for (std::size_t entry : order) {
            addBuilt(entry, keys_.size());
            keys_ += entries.key(entry);
        }
    }
    gone_.assign(built_.size(), false);
}

std::string TableIndex::keyOfRow(const Row& row) const {
    std::vector<Value> values;
    for (std::size_t column : columns_) values.push_back(cellOf(row, column));
    return keyOfValues(values);
}

bool TableIndex::holdsColumnsOf(const RowSource& rows, std::size_t row, const Row& values) const {
    Value stored;
    for (std::size_t column : columns_) {
        rows.readCell(row, column, stored);
        if (stored != cellOf(values, column)) return false;
    }
    return true;
}

std::string TableIndex::keyOfValues(const std::vector<Value>& values) const { return source_.encodeKey(info_, values); }

std::string_view TableIndex::builtKey(std::size_t entry) const {
    const std::size_t end = entry + 1 < built_.size() ? built_[entry + 1].keyStart : keys_.size();
    return std::string_view(keys_).substr(built_[entry].keyStart, end - built_[entry].keyStart);
}

std::size_t TableIndex::liveFrom(std::size_t entry) const {
    while (entry < built_.size() && gone_[entry]) ++entry;
    return entry;
}

std::size_t TableIndex::builtFrom(const Place& place) const {
    std::size_t low = 0, high = built_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (before(builtPlace(middle), place))
            low = middle + 1;
        else
            high = middle;
    }
    return liveFrom(low);
}

std::optional<std::size_t> TableIndex::nearer(std::size_t built, PutEntries::const_iterator put) const {
    if (built >= built_.size()) {
        if (put == put_.end()) return std::nullopt;
        return put->row;
    }
    if (put == put_.end() || before(builtPlace(built), put->place())) return built_[built].row;
    return put->row;
}

std::optional<std::size_t> TableIndex::rowFrom(const Place& place) const {
    return nearer(builtFrom(place), put_.lower_bound(place));
}

std::optional<TableIndex::Place> TableIndex::placeOf(std::size_t row) const {
    if (row < putOfRow_.size() && putOfRow_[row] != put_.end()) return putOfRow_[row]->place();
    if (row < builtOfRow_.size() && builtOfRow_[row] != kNone) return builtPlace(builtOfRow_[row]);
    return std::nullopt;
}

void TableIndex::put(std::size_t row, std::string key) {
    // A row posted again with its key as it was keeps its entry: most edits leave the key alone.
    if (const std::optional<Place> place = placeOf(row); place && place->key == key) return;
    if (putOfRow_.size() <= row) putOfRow_.resize(std::max(row + 1, builtOfRow_.size()), put_.end());
    if (putOfRow_[row] != put_.end()) {
        put_.erase(putOfRow_[row]);
    } else if (row < builtOfRow_.size() && builtOfRow_[row] != kNone) {
        gone_[builtOfRow_[row]] = true;
        builtOfRow_[row] = kNone;
    }
    const std::uint64_t prefix = keyPrefix(key);
    putOfRow_[row] = put_.insert({std::move(key), row, prefix}).first;
}

std::optional<std::size_t> TableIndex::firstRow() const { return nearer(liveFrom(0), put_.begin()); }

std::optional<std::size_t> TableIndex::rowAfter(std::size_t row) const {
    const std::optional<Place> place = placeOf(row);
    if (!place) return std::nullopt;
    // The next entry of each kind; the row's own kind has it one step on.
    const bool isPut = row < putOfRow_.size() && putOfRow_[row] != put_.end();
    const std::size_t built = isPut ? builtFrom({place->key, row + 1, place->prefix}) : liveFrom(builtOfRow_[row] + 1);
    const auto put = isPut ? std::next(putOfRow_[row]) : put_.lower_bound(Place{place->key, row + 1, place->prefix});
    return nearer(built, put);
}

std::optional<std::size_t> TableIndex::firstRowWithKey(const std::string& key) const {
    const std::optional<std::size_t> row = firstRowFrom(key);
    if (!row || placeOf(*row)->key != key) return std::nullopt;
    return row;
}

std::optional<std::size_t> TableIndex::firstRowFrom(const std::string& key) const { return rowFrom({key, 0}); }

std::optional<std::size_t> TableIndex::nextRowWithKey(std::size_t row) const {
    const std::optional<std::size_t> next = rowAfter(row);
    if (!next || placeOf(*next)->key != placeOf(row)->key) return std::nullopt;
    return next;
}

}  // namespace kv::data_access
