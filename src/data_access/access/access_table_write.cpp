// The write side of an Access table: text checked and converted to the column's type, and the rows
// committed by the engine's table writer, which rebuilds the table's pages atomically.

#include <stdexcept>

#include "data_access/access/access_table.h"
#include "data_access/access/access_value_text.h"
#include "jet/committed_read.h"
#include "jet/row_packer.h"
#include "jet/table_writer.h"

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

}  // namespace

Value AccessTable::convert(std::size_t column, const Value& value) const {
    return accessValueText(typedValue(def_.columns.at(column), value));
}

void AccessTable::commit(std::vector<Row> rows) {
    std::vector<jet::TableRow> typed;
    typed.reserve(rows.size());
    for (const Row& row : rows) {
        jet::TableRow& values = typed.emplace_back();
        for (std::size_t c = 0; c < def_.columns.size(); ++c) values.push_back(typedValue(def_.columns[c], row.at(c)));
    }
    const std::string path = database_->file().path();
    jet::commitTable(path, def_.name, std::move(typed));
    // The table is read again as stored: autonumbers were filled in and the index pages moved.
    auto reopened = std::make_shared<const jet::Database>(jet::readCommittedFile(path));
    *this = AccessTable(reopened, reopened->table(def_.name));
}

}  // namespace kv::data_access
