#include "data_access/shared_table.h"

#include <stdexcept>

#include "data_access/text_fold.h"

namespace kv::data_access {

SharedTable::SharedTable(std::string name, std::unique_ptr<ProviderTable> source)
    : name_(std::move(name)), source_(std::move(source)), rows_(source_->rows()) {
    originsFromSource();
    const auto& columns = source_->columnNames();
    for (std::size_t i = 0; i < columns.size(); ++i) columnByFoldedName_.emplace(foldCase(columns[i]), i);
}

std::optional<std::size_t> SharedTable::findColumn(std::string_view name) const {
    auto found = columnByFoldedName_.find(foldCase(name));
    if (found == columnByFoldedName_.end()) return std::nullopt;
    return found->second;
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
        auto index = std::make_unique<TableIndex>(*source_, info, std::move(columns), rows_, !pending_);
        return *indexByFoldedName_.emplace(folded, std::move(index)).first->second;
    }
    throw std::runtime_error("Table " + name_ + " has no index named " + std::string(name));
}

std::size_t SharedTable::post(std::optional<std::size_t> row, Row values) {
    values.resize(columnNames().size());
    // Keys first: a key that cannot be encoded must fail the post before anything changes.
    std::vector<std::string> keys;
    for (const auto& [name, index] : indexByFoldedName_) keys.push_back(index->keyOfRow(values));
    std::size_t position = row.value_or(rows_.size());
    if (row) {
        rows_.at(position) = std::move(values);
        origins_[position].posted = true;
    } else {
        rows_.push_back(std::move(values));
        origins_.push_back({std::nullopt, true});
    }
    std::size_t k = 0;
    for (auto& [name, index] : indexByFoldedName_) index->put(position, std::move(keys[k++]));
    pending_ = true;
    if (!deferred_) commitOrReload();
    return position;
}

std::size_t SharedTable::removeRows(const std::function<bool(const Row&)>& doomed) {
    std::vector<Row> kept;
    RowOrigins keptOrigins;
    kept.reserve(rows_.size());
    keptOrigins.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (doomed(rows_[i])) continue;
        kept.push_back(std::move(rows_[i]));
        keptOrigins.push_back(origins_[i]);
    }
    std::size_t removed = rows_.size() - kept.size();
    rows_ = std::move(kept);
    origins_ = std::move(keptOrigins);
    indexByFoldedName_.clear();
    ++generation_;
    pending_ = true;
    if (!deferred_) commitOrReload();
    return removed;
}

void SharedTable::commitPending() {
    if (pending_) commitOrReload();
}

void SharedTable::discardPending() {
    if (pending_) reloadFromSource();
}

void SharedTable::commitOrReload() {
    try {
        for (std::size_t row : source_->commit(rows_, origins_))
            for (auto& [name, index] : indexByFoldedName_) index->put(row, index->keyOfRow(rows_[row]));
        originsFromSource();
        pending_ = false;
    } catch (...) {
        // The source is as it was; so must the rows be that cursors see.
        reloadFromSource();
        throw;
    }
}

void SharedTable::reloadFromSource() {
    rows_ = source_->rows();
    originsFromSource();
    indexByFoldedName_.clear();
    ++generation_;
    pending_ = false;
}

void SharedTable::originsFromSource() {
    origins_.resize(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) origins_[i] = {i, false};
}

}  // namespace kv::data_access
