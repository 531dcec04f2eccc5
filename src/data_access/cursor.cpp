#include "data_access/cursor.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "data_access/connection.h"
#include "data_access/number_text.h"
#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

bool cellEquals(const Value& cell, const std::string& value) {
    std::string text = cell.value_or("");
    if (equalIgnoringCase(text, value)) return true;
    auto a = parseNumber(text);
    auto b = parseNumber(value);
    return a && b && *a == *b;
}

std::vector<std::string> splitColumns(std::string_view columns) {
    std::vector<std::string> names;
    while (true) {
        std::size_t semicolon = columns.find(';');
        std::string_view name = columns.substr(0, semicolon);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        names.emplace_back(name);
        if (semicolon == std::string_view::npos) return names;
        columns.remove_prefix(semicolon + 1);
    }
}

}  // namespace

Cursor::Cursor(std::string name) : name_(std::move(name)) {}

void Cursor::setConnection(Connection* connection) {
    close();
    connection_ = connection;
}

void Cursor::setTableName(std::string tableName) {
    close();
    tableName_ = std::move(tableName);
}

void Cursor::open() {
    if (isOpen()) return;
    if (!connection_) throw std::runtime_error(name_ + ": no connection to open the table on");
    if (tableName_.empty()) throw std::runtime_error(name_ + ": no table name is set");
    openOn(connection_->table(tableName_));
}

void Cursor::openOn(std::shared_ptr<SharedTable> table) {
    close();
    table_ = std::move(table);
    try {
        index_ = indexName_.empty() ? nullptr : &table_->index(indexName_);
        applyOrder();
    } catch (...) {
        table_.reset();
        index_ = nullptr;
        throw;
    }
}

void Cursor::close() {
    cancel();
    table_.reset();
    filter_.reset();
    index_ = nullptr;
    order_.clear();
    indexRow_.reset();
}

bool Cursor::isOpen() const { return table_ && table_->isAttached(); }

void Cursor::requireOpen() const {
    if (!isOpen()) throw std::runtime_error(name_ + ": Cannot perform this operation on a closed dataset");
    followTable();
}

void Cursor::fieldNotFound(std::string_view column) const {
    throw std::runtime_error(name_ + ": Field '" + std::string(column) + "' not found");
}

std::size_t Cursor::column(std::string_view name) const {
    auto position = table_->findColumn(name);
    if (!position) fieldNotFound(name);
    return *position;
}

std::size_t Cursor::column(Field field) const {
    if (field.column >= table_->columnNames().size())
        throw std::runtime_error(name_ + ": there is no field number " + std::to_string(field.column));
    return field.column;
}

Cursor::Field Cursor::field(std::string_view column) const {
    requireOpen();
    return {this->column(column)};
}

FilterExpression::ColumnResolver Cursor::columnResolver() const {
    return [this](std::string_view name) { return column(name); };
}

void Cursor::applyOrder() const {
    std::optional<FilterExpression> filter;
    if (filtered_ && !filterText_.empty()) filter = FilterExpression::parse(filterText_, columnResolver());
    auto sortKeys = parseSortText(sortText_, columnResolver());
    filter_ = std::move(filter);
    generation_ = table_->generation();
    order_.clear();
    if (index_) {
        indexRow_ = indexedFrom(index_->firstRow());
        return;
    }
    for (std::size_t row = 0; row < table_->rowCount(); ++row)
        if (passes(row)) order_.push_back(row);
    if (!sortKeys.empty()) sortRows(order_, *table_, sortKeys);
    place_ = 0;
}

void Cursor::followTable() const {
    if (table_->generation() == generation_) return;
    if (!indexName_.empty()) index_ = &table_->index(indexName_);
    std::size_t place = place_;
    applyOrder();
    place_ = std::min(place, order_.size());
}

bool Cursor::passes(std::size_t row) const {
    if (!filter_) return true;
    // The filter reads only its own columns: the row's other cells need not be made.
    for (std::size_t column : filter_->columns()) cellAt(row, column);
    return filter_->matches(read_.cellsRead());
}

const Row& Cursor::rowAt(std::size_t position) const { return read_.row(*table_, position, table_->version()); }

const Value& Cursor::cellAt(std::size_t position, std::size_t column) const {
    return read_.cell(*table_, position, table_->version(), column);
}

std::optional<std::size_t> Cursor::currentRow() const {
    if (index_) return indexRow_;
    if (place_ >= order_.size()) return std::nullopt;
    return order_[place_];
}

std::optional<std::size_t> Cursor::indexedFrom(std::optional<std::size_t> row) const {
    while (row && !passes(*row)) row = index_->rowAfter(*row);
    return row;
}

void Cursor::first() {
    requireOpen();
    finishEditing();
    if (index_)
        indexRow_ = indexedFrom(index_->firstRow());
    else
        place_ = 0;
}

void Cursor::next() {
    requireOpen();
    finishEditing();
    if (index_) {
        if (indexRow_) indexRow_ = indexedFrom(index_->rowAfter(*indexRow_));
    } else if (place_ < order_.size()) {
        ++place_;
    }
}

bool Cursor::atEnd() const {
    if (!isOpen()) return true;
    followTable();
    return mode_ != Mode::Insert && !currentRow();
}

long long Cursor::recordCount() const {
    requireOpen();
    if (!index_) return static_cast<long long>(order_.size());
    long long count = 0;
    for (std::size_t row = 0; row < table_->rowCount(); ++row) count += passes(row);
    return count;
}

std::vector<std::string> Cursor::columnNames() const {
    requireOpen();
    return table_->columnNames();
}

std::optional<std::size_t> Cursor::textCapacity(std::string_view name) const {
    requireOpen();
    return table_->textCapacity(column(name));
}

std::string Cursor::text(std::string_view name) const { return text(field(name)); }

std::string Cursor::text(Field field) const {
    requireOpen();
    const std::size_t position = column(field);
    if (mode_ != Mode::Browse) return buffer_[position].value_or("");
    auto row = currentRow();
    if (!row) return {};
    return cellAt(*row, position).value_or("");
}

std::string Cursor::text(long long position, std::string_view name) const { return text(position, field(name)); }

std::string Cursor::text(long long position, Field field) const {
    requireOpen();
    const std::size_t column = this->column(field);
    if (position < 0 || static_cast<std::size_t>(position) >= table_->rowCount())
        throw std::runtime_error(name_ + ": there is no record at position " + std::to_string(position));
    return cellAt(static_cast<std::size_t>(position), column).value_or("");
}

long long Cursor::position() const {
    requireOpen();
    auto row = currentRow();
    return row ? static_cast<long long>(*row) : -1;
}

bool Cursor::moveTo(long long position) {
    requireOpen();
    finishEditing();
    const auto row = static_cast<std::size_t>(position);
    if (index_) {
        const bool inTable = position >= 0 && row < table_->rowCount();
        indexRow_ = inTable && passes(row) ? std::optional(row) : std::nullopt;
        return indexRow_.has_value();
    }
    // Without a filter or sort a row's place in the order is its position.
    if (position >= 0 && row < order_.size() && order_[row] == row)
        place_ = row;
    else
        place_ = static_cast<std::size_t>(std::find(order_.begin(), order_.end(), row) - order_.begin());
    return place_ < order_.size();
}

void Cursor::setText(std::string_view name, std::string_view value) { setText(field(name), value); }

void Cursor::setText(Field field, std::string_view value) {
    requireOpen();
    const std::size_t position = column(field);
    if (mode_ == Mode::Browse) throw std::runtime_error(name_ + ": Dataset not in edit or insert mode");
    buffer_[position] = table_->convert(position, std::string(value));
}

template <typename Setting>
void Cursor::changeOrder(Setting& setting, Setting value) {
    Setting previous = std::exchange(setting, std::move(value));
    if (!isOpen()) return;
    try {
        finishEditing();
        applyOrder();
    } catch (...) {
        setting = std::move(previous);
        throw;
    }
}

void Cursor::setFilter(std::string expression) { changeOrder(filterText_, std::move(expression)); }

void Cursor::setFiltered(bool on) { changeOrder(filtered_, on); }

void Cursor::setSort(std::string sortText) { changeOrder(sortText_, std::move(sortText)); }

bool Cursor::locate(std::string_view columns, const std::vector<std::string>& values) {
    finishEditing();  // outside the search: a change that cannot be posted fails as post() does
    try {
        requireOpen();
        std::vector<std::size_t> positions;
        for (const auto& name : splitColumns(columns)) positions.push_back(column(name));
        if (positions.size() != values.size()) return false;
        auto matches = [&](std::size_t row) {
            for (std::size_t i = 0; i < positions.size(); ++i)
                if (!cellEquals(cellAt(row, positions[i]), values[i])) return false;
            return true;
        };
        if (index_) {
            for (auto row = indexedFrom(index_->firstRow()); row; row = indexedFrom(index_->rowAfter(*row))) {
                if (matches(*row)) {
                    indexRow_ = row;
                    return true;
                }
            }
            return false;
        }
        for (std::size_t place = 0; place < order_.size(); ++place) {
            if (matches(order_[place])) {
                place_ = place;
                return true;
            }
        }
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

void Cursor::setIndexName(std::string indexName) {
    if (isOpen()) {
        finishEditing();
        const TableIndex* index = indexName.empty() ? nullptr : &table_->index(indexName);
        indexName_ = std::move(indexName);
        index_ = index;
        applyOrder();
    } else {
        indexName_ = std::move(indexName);
    }
}

template <typename Search>
bool Cursor::seekWith(Search search) {
    finishEditing();  // outside the search: a change that cannot be posted fails as post() does
    try {
        requireOpen();
        if (index_) {
            indexRow_ = search();
            return indexRow_.has_value();
        }
    } catch (const std::exception&) {
    }
    indexRow_.reset();
    place_ = order_.size();
    return false;
}

bool Cursor::seek(std::string_view value) {
    return seekWith([&] {
        auto row = index_->firstRowWithKey(index_->keyOfValues({std::string(value)}));
        while (row && !passes(*row)) row = index_->nextRowWithKey(*row);
        return row;
    });
}

bool Cursor::seekPrefix(std::string_view prefix) {
    return seekWith([&]() -> std::optional<std::size_t> {
        // A text that starts with the prefix sorts at or after the prefix itself, so the first
        // key from the prefix's on is the only candidate.
        auto row = indexedFrom(index_->firstRowFrom(index_->keyOfValues({std::string(prefix)})));
        if (!row) return std::nullopt;
        const std::string& keyColumn = index_->info().columns.at(0).name;
        const std::string text = cellAt(*row, column(keyColumn)).value_or("");
        if (!foldCase(text).starts_with(foldCase(prefix))) return std::nullopt;
        return row;
    });
}

void Cursor::edit() {
    requireOpen();
    if (mode_ != Mode::Browse) return;
    auto row = currentRow();
    if (!row) throw std::runtime_error(name_ + ": there is no current record to edit");
    buffer_ = rowAt(*row);
    buffer_.resize(table_->columnNames().size());
    editedRow_ = row;
    mode_ = Mode::Edit;
}

void Cursor::insert() {
    requireOpen();
    finishEditing();
    buffer_.assign(table_->columnNames().size(), Value());
    editedRow_.reset();
    mode_ = Mode::Insert;
}

void Cursor::post() {
    requireOpen();
    if (mode_ == Mode::Browse) throw std::runtime_error(name_ + ": Dataset not in edit or insert mode");
    auto edited = editedRow_;
    std::size_t row = table_->post(edited, buffer_);
    cancel();
    followTable();
    if (!edited) moveToRow(row);
}

void Cursor::moveToRow(std::size_t row) {
    if (index_) {
        indexRow_ = row;
        return;
    }
    order_.push_back(row);
    place_ = order_.size() - 1;
}

void Cursor::cancel() {
    // The buffer keeps its cells' storage for the next edit; it is not read while browsing.
    mode_ = Mode::Browse;
    editedRow_.reset();
}

void Cursor::remove() {
    requireOpen();
    cancel();
    auto row = currentRow();
    if (!row) throw std::runtime_error(name_ + ": there is no current record to delete");
    std::size_t place = place_;
    std::optional<std::size_t> following;
    if (index_) following = indexedFrom(index_->rowAfter(*row));
    table_->removeAt({*row});
    followTable();
    if (index_) {
        // Rows after the removed one moved up by one.
        if (following && *following > *row) --*following;
        indexRow_ = following;
    } else {
        place_ = std::min(place, order_.size());
    }
}

std::size_t Cursor::removeAt(std::vector<long long> positions) {
    requireOpen();
    cancel();
    std::vector<std::size_t> inTable;
    for (long long position : positions)
        if (position >= 0) inTable.push_back(static_cast<std::size_t>(position));
    std::ranges::sort(inTable);
    const std::size_t removed = table_->removeAt(inTable);
    followTable();
    first();
    return removed;
}

void Cursor::finishEditing() {
    if (mode_ != Mode::Browse) post();
}

}  // namespace kv::data_access
