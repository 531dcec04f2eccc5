// The write side of an Access table: text checked and converted to the column's type, and the rows
// that changed committed by the engine, which writes only the pages they touch and refuses when
// another program committed to the table since it was read.

#include <stdexcept>

#include "data_access/access/access_table.h"
#include "data_access/access/access_value_text.h"
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
    for (std::size_t c = 0; c < def.columns.size(); ++c) values.push_back(typedValue(def.columns[c], row.at(c)));
    return values;
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

jet::TableEdit AccessTable::editTowards(const std::vector<Row>& rows, const RowOrigins& origins) const {
    if (origins.size() != rows.size()) throw std::logic_error("a commit with an origin missing for some rows");
    jet::TableEdit edit;
    std::vector<bool> kept(stored_.rows.size(), false);
    std::optional<std::size_t> previous;
    bool newRowsBegan = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!origins[i].position) {
            newRowsBegan = true;
            edit.inserted.push_back(typedRow(def_, rows[i]));
            continue;
        }
        std::size_t origin = *origins[i].position;
        if (newRowsBegan || origin >= stored_.rows.size() || (previous && origin <= *previous))
            throw std::logic_error("rows committed out of the order they were read in");
        previous = origin;
        kept[origin] = true;
        if (!origins[i].posted) continue;
        jet::TableRow typed = typedRow(def_, rows[i]);
        if (typed == stored_.rows[origin]) continue;
        edit.updated.push_back(origin);
        edit.updatedRows.push_back(std::move(typed));
    }
    for (std::size_t origin = 0; origin < stored_.rows.size(); ++origin)
        if (!kept[origin]) edit.deleted.push_back(origin);
    return edit;
}

std::vector<std::size_t> AccessTable::commit(std::vector<Row>& rows, const RowOrigins& origins) {
    jet::TableEdit edit = editTowards(rows, origins);
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

    // The stored rows are now `rows`, in their order; the posted ones read back as stored.
    std::vector<std::size_t> rewritten;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (origins[i].position && !origins[i].posted) continue;
        Row stored = accessRowText(stored_.rows[i]);
        if (stored == rows[i]) continue;
        rows[i] = std::move(stored);
        rewritten.push_back(i);
    }
    return rewritten;
}

void AccessTable::reload() {
    auto reread = std::make_shared<const jet::Database>(jet::readCommittedFile(database_->file().path()));
    *this = AccessTable(reread, reread->table(def_.name));
}

}  // namespace kv::data_access
