#include "data_access/sqlite_provider.h"

#include <sqlite3.h>

#include <stdexcept>
#include <vector>

#include "data_access/memory_table.h"
#include "data_access/packed_rows.h"
#include "data_access/quoted_text.h"
#include "data_access/sqlite_file.h"
#include "data_access/sqlite_value_text.h"
#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

std::vector<std::string> readTableNames(const std::string& path) {
    SqliteFile file(path);
    SqliteQuery tables(file, "SELECT name FROM sqlite_master WHERE type = 'table'");
    std::vector<std::string> names;
    while (tables.step()) names.push_back(columnValue(tables.statement(), 0, false).value_or(""));
    return names;
}

std::unique_ptr<ProviderTable> readTable(const std::string& path, const std::string& name) {
    SqliteFile file(path);
    SqliteQuery query(file, "SELECT * FROM " + quotedText(name, '"'));  // the name as an SQL identifier
    sqlite3_stmt* statement = query.statement();
    const int columnCount = sqlite3_column_count(statement);
    std::vector<std::string> columns;
    std::vector<bool> dateColumns;
    for (int c = 0; c < columnCount; ++c) {
        columns.emplace_back(sqlite3_column_name(statement, c));
        dateColumns.push_back(isDateType(sqlite3_column_decltype(statement, c)));
    }
    // Each row is packed as it is stepped to: the table is held once.
    PackedRows rows;
    Row row(static_cast<std::size_t>(columnCount));
    while (query.step()) {
        for (int c = 0; c < columnCount; ++c) row[c] = columnValue(statement, c, dateColumns[c]);
        rows.add(row);
    }
    return std::make_unique<MemoryTable>("SQLite database " + path + " (table " + name + ")", std::move(columns),
                                         std::move(rows));
}

class SqliteProvider : public Provider {
public:
    explicit SqliteProvider(std::string path) : path_(std::move(path)), tables_(readTableNames(path_)) {}

    std::vector<std::string> tableNames() override { return tables_; }

    std::unique_ptr<ProviderTable> openTable(const std::string& name) override {
        for (const std::string& table : tables_)
            if (equalIgnoringCase(table, name)) return readTable(path_, table);
        throw std::runtime_error(path_ + " has no table " + name);
    }

private:
    std::string path_;
    std::vector<std::string> tables_;
};

}  // namespace

std::unique_ptr<Provider> openSqliteProvider(const std::string& path) { return std::make_unique<SqliteProvider>(path); }

}  // namespace kv::data_access
