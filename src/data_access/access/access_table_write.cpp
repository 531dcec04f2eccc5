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

// The typed value of a cell; an empty text in a column that is not text means NULL. A text too
// long for its column is refused when the row is packed.
jet::Value typedValue(const jet::Column& column, const Value& value) {
    if (!value || (value->empty() && !isText(column))) return {};
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
    const jet::Column& definition = def_.columns.at(column);
    if (value) jet::requireTextFits(definition, *value);
    // Text reads back as written.
    if (isText(definition)) return value;
    if (!lastConversion_ || lastConversion_->column != column || lastConversion_->given != value)
        lastConversion_ = Conversion{column, value, accessValueText(typedValue(definition, value))};
    return lastConversion_->made;
}

std::optional<std::size_t> AccessTable::textCapacity(std::size_t column) const {
    const jet::Column& definition = def_.columns.at(column);
    if (definition.type != jet::ColumnType::Text) return std::nullopt;
    return definition.length / 2;  // the engine stores UCS-2, two bytes a character
}

std::vector<std::size_t> AccessTable::differingPosts(const TableChanges& changes) const {
    std::vector<std::size_t> differing;
    const std::size_t otherChanges = changes.removed.size() + changes.added;
    Row cells;
    for (std::size_t k = 0; k < changes.posted.size(); ++k) {
        // Once the table is to be laid down afresh, each posted row is written as posted anyway.
        if (jet::rebuildsTable(differing.size() + otherChanges, rowCount())) {
            differing.push_back(k);
            continue;
        }
        changes.readChange(k, cells);
        if (typedRow(def_, cells) != jet::readRowAt(database_->file(), def_, stored_.locations.at(changes.posted[k])))
            differing.push_back(k);
    }
    return differing;
}

jet::TableEdit AccessTable::editFor(const TableChanges& changes, const std::vector<std::size_t>& differing) const {
    jet::TableEdit edit;
    edit.deleted = changes.removed;
    Row cells;
    for (std::size_t k : differing) {
        changes.readChange(k, cells);
        edit.updated.push_back(changes.posted[k]);
        edit.updatedRows.push_back(typedRow(def_, cells));
    }
    for (std::size_t k = changes.posted.size(); k < changes.posted.size() + changes.added; ++k) {
        changes.readChange(k, cells);
        edit.inserted.push_back(typedRow(def_, cells));
    }
    return edit;
}

jet::CommittedEdit AccessTable::commitChanges(const TableChanges& changes) {
    const std::vector<std::size_t> differing = differingPosts(changes);
    const std::size_t changed = differing.size() + changes.removed.size() + changes.added;
    // Values the engine fills in are handed out by the edit; every other large commit streams its rows.
    if (!jet::rebuildsTable(changed, rowCount()) || jet::fillsInValues(def_))
        return jet::commitTableEdit(database_->file(), def_, stored_, editFor(changes, differing));
    std::vector<std::size_t> updated;
    for (std::size_t k : differing) updated.push_back(changes.posted[k]);
    const jet::RowsAfterEdit rows(rowCount(), changes.removed, updated, changes.added);
    auto rowAt = [&](std::size_t row) {
        const jet::RowsAfterEdit::Source source = rows.at(row);
        if (source.from == jet::RowsAfterEdit::From::Kept)
            return jet::readRowAt(database_->file(), def_, stored_.locations[source.index]);
        const bool isUpdate = source.from == jet::RowsAfterEdit::From::Updated;
        Row cells;
        changes.readChange(isUpdate ? differing[source.index] : changes.posted.size() + source.index, cells);
        return typedRow(def_, cells);
    };
    return jet::commitTableRows(database_->file(), def_, stored_, rows.size(), rowAt, jet::keptRowsAt(rows, stored_));
}

std::vector<std::size_t> AccessTable::commit(const TableChanges& changes) {
    const std::size_t rowsBefore = rowCount();
    cracked_.reset();
    jet::CommittedEdit committed = [&] {
        try {
            return commitChanges(changes);
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
