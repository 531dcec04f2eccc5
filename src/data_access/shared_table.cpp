#include "data_access/shared_table.h"

#include <stdexcept>

#include "data_access/text_fold.h"

namespace kv::data_access {

SharedTable::SharedTable(std::string name, std::unique_ptr<ProviderTable> source)
    : name_(std::move(name)), source_(std::move(source)) {
    placeSourceRows();
    const auto& columns = source_->columnNames();
    for (std::size_t i = 0; i < columns.size(); ++i) columnByFoldedName_.emplace(foldCase(columns[i]), i);
}

std::optional<std::size_t> SharedTable::findColumn(std::string_view name) const {
    auto found = columnByFoldedName_.find(foldCase(name));
    if (found == columnByFoldedName_.end()) return std::nullopt;
    return found->second;
}

void SharedTable::readRow(std::size_t position, Row& into) const {
    const RowPlace& place = rows_.at(position);
    if (place.posted != RowPlace::kNone)
        posted_.read(place.posted, into);
    else
        source_->readRow(place.source, into);
}

void SharedTable::readCell(std::size_t position, std::size_t column, Value& into) const {
    const RowPlace& place = rows_.at(position);
    if (place.posted != RowPlace::kNone)
        posted_.readCell(place.posted, column, into);
    else
        source_->readCell(place.source, column, into);
}

const TableIndex& SharedTable::index(std::string_view name) {
    std::string folded = foldCase(name);
    auto built = indexByFoldedName_.find(folded);
    if (built != indexByFoldedName_.end()) return *built->second;
    for (const auto& info : source_->indexes()) {
        if (foldCase(info.name) != folded) continue;
        std::vector<std::size_t> columns;
        for (const auto& column : info.columns) {
            auto position = findColumn(column.name);
            if (!position)
                throw std::runtime_error("Index " + info.name + " of table " + name_ + " names a missing column " +
                                         column.name);
            columns.push_back(*position);
        }
        auto index = std::make_unique<TableIndex>(*source_, info, std::move(columns), *this, !pending_);
        return *indexByFoldedName_.emplace(folded, std::move(index)).first->second;
    }
    throw std::runtime_error("Table " + name_ + " has no index named " + std::string(name));
}

std::size_t SharedTable::post(std::optional<std::size_t> row, const Row& values) {
    // Keys first: a key that cannot be encoded must fail the post before anything changes. A row
    // posted again with its index's columns as they were keeps its entry.
    std::vector<std::optional<std::string>> keys;
    for (const auto& [name, index] : indexByFoldedName_) {
        if (row && index->holdsColumnsOf(*this, *row, values))
            keys.emplace_back();
        else
            keys.emplace_back(index->keyOfRow(values));
    }
    if (!row && rows_.size() >= RowPlace::kNone) throw std::runtime_error("Table " + name_ + " cannot hold more rows");
    std::size_t position = row.value_or(rows_.size());
    if (row) {
        RowPlace& place = rows_.at(position);
        if (place.posted == RowPlace::kNone)
            place.posted = static_cast<std::uint32_t>(posted_.add(values));
        else
            posted_.replace(place.posted, values);
    } else {
        rows_.push_back({RowPlace::kNone, static_cast<std::uint32_t>(posted_.add(values))});
    }
    std::size_t k = 0;
    for (auto& [name, index] : indexByFoldedName_)
        if (std::optional<std::string>& key = keys[k++]) index->put(position, std::move(*key));
    ++version_;
    pending_ = true;
    if (!deferred_) commitOrReload();
    return position;
}

std::size_t SharedTable::removeAt(const std::vector<std::size_t>& positions) {
    std::vector<RowPlace> kept;
    kept.reserve(rows_.size());
    auto next = positions.begin();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        while (next != positions.end() && *next < i) ++next;
        if (next == positions.end() || *next != i) kept.push_back(rows_[i]);
    }
    const std::size_t removed = rows_.size() - kept.size();
    rows_ = std::move(kept);
    indexByFoldedName_.clear();
    ++generation_;
    ++version_;
    pending_ = true;
    if (!deferred_) commitOrReload();
    return removed;
}

std::size_t SharedTable::removeWhere(const std::function<bool(const Row&)>& doomed) {
    std::vector<std::size_t> positions;
    Row row;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        readRow(i, row);
        if (doomed(row)) positions.push_back(i);
    }
    return removeAt(positions);
}

void SharedTable::commitPending() {
    if (pending_) commitOrReload();
}

void SharedTable::discardPending() {
    if (pending_) reloadFromSource();
}

TableChanges SharedTable::pendingChanges() const {
    TableChanges changes;
    std::vector<std::uint32_t> postedRows;  // by change: its row in posted_
    std::vector<bool> kept(source_->rowCount(), false);
    for (const RowPlace& place : rows_) {
        if (place.source != RowPlace::kNone) kept[place.source] = true;
        if (place.posted == RowPlace::kNone) continue;
        if (place.source == RowPlace::kNone) {
            ++changes.added;
            continue;
        }
        changes.posted.push_back(place.source);
        postedRows.push_back(place.posted);
    }
    for (const RowPlace& place : rows_)
        if (place.source == RowPlace::kNone) postedRows.push_back(place.posted);
    for (std::size_t source = 0; source < kept.size(); ++source)
        if (!kept[source]) changes.removed.push_back(source);
    changes.readChange = [this, postedRows = std::move(postedRows)](std::size_t change, Row& into) {
        posted_.read(postedRows.at(change), into);
    };
    return changes;
}

void SharedTable::commitOrReload() {
    try {
        const std::vector<std::size_t> rewritten = source_->commit(pendingChanges());
        placeSourceRows();
        pending_ = false;
        Row row;
        for (std::size_t position : rewritten) {
            readRow(position, row);
            for (auto& [name, index] : indexByFoldedName_) index->put(position, index->keyOfRow(row));
        }
    } catch (...) {
        // The source is as it was; so must the rows be that cursors see.
        reloadFromSource();
        throw;
    }
}

void SharedTable::reloadFromSource() {
    placeSourceRows();
    indexByFoldedName_.clear();
    ++generation_;
    pending_ = false;
}

void SharedTable::placeSourceRows() {
    const std::size_t count = source_->rowCount();
    if (count >= RowPlace::kNone) throw std::runtime_error("Table " + name_ + " has more rows than can be held");
    rows_.resize(count);
    for (std::size_t i = 0; i < count; ++i) rows_[i] = {static_cast<std::uint32_t>(i), RowPlace::kNone};
    posted_.clear();
    ++version_;
}

}  // namespace kv::data_access
