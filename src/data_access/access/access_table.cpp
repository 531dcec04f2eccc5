#include "data_access/access/access_table.h"

#include <stdexcept>

#include "data_access/access/access_value_text.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"
#include "jet/table_reader.h"
#include "jet/text_codec.h"

namespace kv::data_access {
namespace {

std::string keyText(const std::vector<std::uint8_t>& key) { return std::string(key.begin(), key.end()); }

// The cell of `column` in a cracked row, made text into `into`'s own storage: a reader's row is
// read again and again.
void readAccessCell(const jet::PageFile& file, const jet::StoredRow& row, const jet::Column& column, Value& into) {
    if (column.type != jet::ColumnType::Text) {
        into = accessValueText(row.value(file, column));
    } else if (std::optional<jet::ByteView> bytes = row.bytes(column)) {
        if (!into) into.emplace();
        jet::decodeTextInto(bytes->bytes(), *into);
    } else {
        into.reset();
    }
}

}  // namespace

AccessTable::AccessTable(std::shared_ptr<const jet::Database> database, const jet::CatalogTable& table)
    : database_(std::move(database)), def_(database_->tableDef(table)), stored_(database_->rowPlaces(def_)) {
    for (const auto& column : def_.columns) columnNames_.push_back(column.name);
    for (const auto& logical : def_.logicalIndexes) {
        const jet::RealIndex& real = def_.realIndexes[logical.realIndex];
        IndexInfo info{logical.name, {}, real.isUnique(), logical.isPrimaryKey()};
        for (const auto& part : real.columns)
            info.columns.push_back({def_.columns[def_.columnPosition(part.columnNumber)].name, !part.ascending});
        indexes_.push_back(std::move(info));
    }
}

std::size_t AccessTable::rowCount() const { return stored_.size(); }

void AccessTable::readRow(std::size_t position, Row& into) const {
    const jet::PageFile& file = database_->file();
    jet::readStoredRowAt(file, def_, stored_.locations.at(position), [&](const jet::StoredRow& row) {
        into.resize(def_.columns.size());
        for (std::size_t i = 0; i < def_.columns.size(); ++i) readAccessCell(file, row, def_.columns[i], into[i]);
    });
}

void AccessTable::readCell(std::size_t position, std::size_t column, Value& into) const {
    const jet::RowLocation location = stored_.locations.at(position);
    if (column >= def_.columns.size()) return into.reset();
    const jet::PageFile& file = database_->file();
    // A reader of several cells of a row finds it once.
    if (!cracked_ || cracked_->first != position)
        cracked_.emplace(position,
                         jet::readStoredRowAt(file, def_, location, [](const jet::StoredRow& row) { return row; }));
    try {
        readAccessCell(file, cracked_->second, def_.columns[column], into);
    } catch (const jet::FormatError& error) {
        jet::throwAsDamaged(file, def_, error);
    }
}

const jet::RealIndex& AccessTable::realIndex(const IndexInfo& index) const {
    for (const auto& logical : def_.logicalIndexes)
        if (logical.name == index.name) return def_.realIndexes[logical.realIndex];
    throw std::runtime_error("Table " + def_.name + " has no index " + index.name);
}

IndexEntries AccessTable::indexEntries(const IndexInfo& index) const {
    IndexEntries entries;
    entries.reserve(rowCount());
    jet::forEachIndexEntry(database_->file(), realIndex(index),
                           [&](std::span<const std::uint8_t> key, jet::RowLocation row) {
                               entries.add(std::string_view(reinterpret_cast<const char*>(key.data()), key.size()),
                                           stored_.positionOf(row));
                           });
    return entries;
}

std::string AccessTable::encodeKey(const IndexInfo& index, const std::vector<Value>& values) const {
    const jet::RealIndex& real = realIndex(index);
    if (values.size() != real.columns.size())
        throw std::runtime_error("Index " + index.name + " of table " + def_.name + " has " +
                                 std::to_string(real.columns.size()) + " columns, but " +
                                 std::to_string(values.size()) + " values were given");
    std::vector<std::uint8_t> key;
    key.reserve(jet::kTypicalIndexKeySize);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const jet::Column& column = def_.columns[def_.columnPosition(real.columns[i].columnNumber)];
        jet::appendColumnKey(key, column, accessValueFromText(column, values[i]), real.columns[i].ascending);
    }
    return keyText(key);
}

}  // namespace kv::data_access
