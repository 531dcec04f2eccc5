// The write side of an Access table: text checked and converted to the column's type, and the rows
// that changed committed by the engine, which writes only the pages they touch and refuses when
// another program committed to the table since it was read.

#include <algorithm>
#include <stdexcept>

#include "data_access/access/access_table.h"
#include "data_access/access/access_value_text.h"
#include "jet/commit_rules.h"
#include "jet/committed_read.h"
#include "jet/row_packer.h"

namespace kv::data_access {
namespace {

bool isText(const jet::Column& column) {
    return column.type == jet::ColumnType::Text || column.type == jet::ColumnType::Memo;
}

// The typed value of a cell; an empty text in a column that is not text means NULL.
jet::Value typedValue(const jet::Column& column, const Value& value) {
    if (!value || (value->empty() && !isText(column))) return {};
    jet::requireTextFits(column, *value);
    return accessValueFromText(column, value);
}

jet::TableRow typedRow(const jet::TableDef& def, const Row& row) {
    jet::TableRow values;
    values.reserve(def.columns.size());
    for (std::size_t c = 0; c < def.columns.size(); ++c) values.push_back(typedValue(def.columns[c], cellOf(row, c)));
    return values;
}

// Where the row of change k is once the changes are committed: the rows kept close up in their
// order, and the added ones follow them.
std::size_t positionAfter(const TableChanges& changes, std::size_t rowsBefore, std::size_t change) {
    if (change >= changes.posted.size()) return rowsBefore - changes.removed.size() + change - changes.posted.size();
    const std::size_t origin = changes.posted[change];
    const auto removedBefore = std::lower_bound(changes.removed.begin(), changes.removed.end(), origin);
    return origin - static_cast<std::size_t>(removedBefore - changes.removed.begin());
}

}  // namespace

Value AccessTable::convert(std::size_t column, const Value& value) const {
    return accessValueText(typedValue(def_.columns.at(column), value));
}

std::optional<std::size_t> AccessTable::textCapacity(std::size_t column) const {
    const jet::Column& definition = def_.columns.at(column);
    if (definition.type != jet::ColumnType::Text) return std::nullopt;
    return definition.length / 2;  // the engine stores UCS-2, two bytes a character
}

jet::TableEdit AccessTable::editFor(const TableChanges& changes) const {
    jet::TableEdit edit;
    edit.deleted = changes.removed;
    Row cells;
    for (std::size_t k = 0; k < changes.posted.size(); ++k) {
        const std::size_t origin = changes.posted[k];
        changes.readChange(k, cells);
        jet::TableRow typed = typedRow(def_, cells);
        if (typed == jet::readRowAt(database_->file(), def_, stored_.locations.at(origin))) continue;
        edit.updated.push_back(origin);
        edit.updatedRows.push_back(std::move(typed));
    }
    for (std::size_t k = changes.posted.size(); k < changes.posted.size() + changes.added; ++k) {
        changes.readChange(k, cells);
        edit.inserted.push_back(typedRow(def_, cells));
    }
    return edit;
}

std::vector<std::size_t> AccessTable::commit(const TableChanges& changes) {
    const std::size_t rowsBefore = rowCount();
    jet::TableEdit edit = editFor(changes);
    jet::CommittedEdit committed = [&] {
        try {
            return jet::commitTableEdit(database_->file(), def_, stored_, std::move(edit));
        } catch (const jet::TableChangedError& error) {
            reload();
            throw std::runtime_error(
                std::string(error.what()) +
                "; the change was not saved, and the table has been read again as that program left it");
        }
    }();
    database_ = std::make_shared<const jet::Database>(std::move(committed.file));
    def_ = database_->tableDef(database_->table(def_.name));

    // Only values the engine fills in can read back otherwise than posted: convert() made the rest
    // as they read.
    std::vector<std::size_t> rewritten;
    if (!jet::fillsInValues(def_)) return rewritten;
    Row given, stored;
    for (std::size_t k = 0; k < changes.posted.size() + changes.added; ++k) {
        const std::size_t position = positionAfter(changes, rowsBefore, k);
        changes.readChange(k, given);
        readRow(position, stored);
        if (stored != given) rewritten.push_back(position);
    }
    return rewritten;
}

void AccessTable::reload() {
    auto reread = std::make_shared<const jet::Database>(jet::readCommittedFile(database_->file().path()));
    *this = AccessTable(reread, reread->table(def_.name));
}

}  // namespace kv::data_access
