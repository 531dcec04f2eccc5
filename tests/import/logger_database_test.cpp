// The logger database the build writes for the tests from tests/support/logger, read back by
// mdbtools and through the table access layer: each table holds the rows of its CSV file, in order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../jetwrite/scratch_file.h"
#include "data_access/connection.h"
#include "data_access/csv_reader.h"
#include "data_access/cursor.h"

namespace kv::data_access {
namespace {

using jet::testing::quoted;
using jet::testing::run;

const std::string kDatabase = KV_LOGGER_TEST_DATABASE;
const std::vector<std::string> kTables = {"ContestInstance", "DXLOG"};

struct CsvTable {
    std::vector<std::string> columns;
    std::vector<Row> rows;
};

CsvTable csvTable(const std::string& text, const std::string& origin) {
    std::vector<Row> records = readCommaDelimited(text, origin, Blanks::Kept);  // as jetmake reads its rows
    if (records.empty()) throw std::runtime_error(origin + " has no header row");
    CsvTable table;
    for (const auto& name : records.front()) table.columns.push_back(name.value_or(""));
    table.rows.assign(records.begin() + 1, records.end());
    return table;
}

// The rows jetmake was given for the table.
CsvTable sourceRows(const std::string& table) {
    const std::string path = std::string(KV_SOURCE_DIR) + "/tests/support/logger/" + table + ".csv";
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return csvTable(text.str(), path);
}

// The rows as mdb-export prints them, dates with four-digit years.
CsvTable exportedRows(const std::string& table) {
    return csvTable(run("mdb-export -T '%m/%d/%Y %H:%M:%S' " + quoted(kDatabase) + " " + table), "mdb-export " + table);
}

// A value as the table access layer reads it back from that column, so that readers that spell
// numbers, dates and booleans differently compare alike. No value and an empty text both read "".
std::string asRead(SharedTable& table, const std::string& column, const Value& value) {
    auto position = table.findColumn(column);
    if (!position) throw std::runtime_error(table.name() + " has no column " + column);
    return table.convert(*position, value).value_or("");
}

void openTable(Cursor& cursor, Connection& connection, const std::string& table) {
    cursor.setConnection(&connection);
    cursor.setTableName(table);
    cursor.open();
}

TEST(LoggerTestDatabase, MdbtoolsListsItsTablesAndExportsTheRowsOfTheirCsvFiles) {
    std::vector<std::string> listed;
    std::istringstream names(run("mdb-tables -1 " + quoted(kDatabase)));
    for (std::string name; std::getline(names, name);) listed.push_back(name);
    EXPECT_THAT(listed, ::testing::UnorderedElementsAreArray(kTables));

    Connection connection;
    connection.setConnectionString("Data Source=" + kDatabase);
    for (const auto& table : kTables) {
        const CsvTable source = sourceRows(table), exported = exportedRows(table);
        auto loaded = connection.table(table);
        ASSERT_EQ(exported.columns, source.columns) << table;
        ASSERT_EQ(exported.rows.size(), source.rows.size()) << table;
        for (std::size_t row = 0; row < source.rows.size(); ++row)
            for (std::size_t column = 0; column < source.columns.size(); ++column) {
                const std::string& name = source.columns[column];
                EXPECT_EQ(asRead(*loaded, name, exported.rows[row][column]),
                          asRead(*loaded, name, source.rows[row][column]))
                    << table << " row " << row + 1 << " column " << name;
            }
    }
}

TEST(LoggerTestDatabase, CursorsReadTheRowsOfTheCsvFiles) {
    Connection connection;
    connection.setConnectionString("Data Source=" + kDatabase);
    for (const auto& table : kTables) {
        const CsvTable source = sourceRows(table);
        auto loaded = connection.table(table);
        Cursor cursor("ADODataSet_" + table);
        openTable(cursor, connection, table);
        ASSERT_EQ(cursor.recordCount(), static_cast<long long>(source.rows.size())) << table;
        std::size_t row = 0;
        for (cursor.first(); !cursor.atEnd(); cursor.next(), ++row)
            for (std::size_t column = 0; column < source.columns.size(); ++column) {
                const std::string& name = source.columns[column];
                EXPECT_EQ(cursor.text(name), asRead(*loaded, name, source.rows[row][column]))
                    << table << " row " << row + 1 << " column " << name;
            }
    }
}

// An import walks a contest's QSOs by the ContestNR index, seeking the instance's ContestNR.
TEST(LoggerTestDatabase, EveryQsoIsFoundUnderItsContestInstanceByTheContestNrIndex) {
    Connection connection;
    connection.setConnectionString("Data Source=" + kDatabase);
    Cursor instances("ADODataSet_ContestInstance"), qsos("ADODataSet_DXLOG");
    openTable(instances, connection, "ContestInstance");
    openTable(qsos, connection, "DXLOG");
    qsos.setIndexName("ContestNR");

    long long found = 0;
    for (instances.first(); !instances.atEnd(); instances.next()) {
        const std::string contestNr = instances.text("ContestNR");
        if (!qsos.seek(contestNr)) continue;
        for (; !qsos.atEnd() && qsos.text("ContestNR") == contestNr; qsos.next()) ++found;
    }
    EXPECT_EQ(found, qsos.recordCount());
}

}  // namespace
}  // namespace kv::data_access
