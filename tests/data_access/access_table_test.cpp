// Cursors over a real Access database: the Jet connection string, the table listing, an index
// read from the file's own B-tree, and a change the file refuses, checked against mdbtools'
// mdb-export as an independent reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using testing::errorOf;

// The first column of every row of Table1, as mdb-export reads the table; empty for NULL.
std::vector<std::string> exportedFirstColumn(const std::string& database) {
    std::string command = "mdb-export -H '" + database + "' Table1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::vector<std::string> values;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) values.emplace_back(line, std::strcspn(line, ",\n"));
    pclose(pipe);
    return values;
}

void openTable1(Connection& connection, Cursor& cursor, const std::string& database) {
    connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source =" + database +
                                   ";Persist Security Info=False");
    cursor.setConnection(&connection);
    cursor.setTableName("Table1");
    cursor.open();
}

TEST(AccessTable, IndexOrderSeekAndFilterAgreeWithMdbExport) {
    testing::TempDir dir;
    std::string database = dir.file("comp index.mdb");
    std::filesystem::copy_file(std::string(KV_FIXTURES_DIR) + "/jet4/compIndexTestV2000.mdb", database);
    std::vector<std::string> agents = exportedFirstColumn(database);
    ASSERT_EQ(agents.size(), 512u);
    std::vector<long> expected;
    for (const auto& agent : agents)
        if (!agent.empty()) expected.push_back(std::stol(agent));
    std::sort(expected.begin(), expected.end(), std::greater<>());

    Connection connection;
    Cursor cursor("ADODataSet_HamDb");
    openTable1(connection, cursor, database);
    Cursor tables("ADODataSet_tables");
    connection.listTables(tables);
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"table1"}));
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"MSysObjects"}));
    EXPECT_EQ(tables.text("TABLE_TYPE"), "SYSTEM TABLE");
    EXPECT_EQ(cursor.recordCount(), 512);

    // The index is descending: walking it gives the exported values sorted high to low, and
    // every row once (NULL keys included).
    cursor.setIndexName("CD_AGENTE");
    std::vector<long> walked;
    std::size_t rows = 0;
    for (cursor.first(); !cursor.atEnd(); cursor.next(), ++rows)
        if (!cursor.text("cd_agente").empty()) walked.push_back(std::stol(cursor.text("cd_agente")));
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(rows, 512u);

    std::map<long, long long> counts;
    for (long agent : expected) ++counts[agent];
    for (auto [agent, count] : counts) {
        ASSERT_TRUE(cursor.seek(std::to_string(agent))) << agent;
        EXPECT_EQ(cursor.text("CD_AGENTE"), std::to_string(agent));
        cursor.setFilter("CD_AGENTE = " + std::to_string(agent));
        cursor.setFiltered(true);
        EXPECT_EQ(cursor.recordCount(), count) << agent;
        cursor.setFiltered(false);
    }
    EXPECT_FALSE(cursor.seek(std::to_string(expected.front() + 1)));
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_FALSE(cursor.seek("not a number"));
}

// Locate and seek post a pending change first: one the file refuses fails them as it fails
// post(), rather than passing for "not found", and leaves the rows as they were.
TEST(AccessTable, LocateAndSeekRaiseTheErrorOfAPendingChangeThatCannotBePosted) {
    testing::TempDir dir;
    std::string database = dir.file("test.mdb");
    std::filesystem::copy_file(std::string(KV_FIXTURES_DIR) + "/jet4/testV2000.mdb", database);
    std::filesystem::permissions(database, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    const std::vector<std::string> stored = exportedFirstColumn(database);
    ASSERT_EQ(stored, (std::vector<std::string>{"\"abcdefg\"", "\"a\""}));

    Connection connection;
    Cursor cursor("ADODataSet_HamDb");
    openTable1(connection, cursor, database);
    cursor.setIndexName("PrimaryKey");
    // A second row with the first one's A: the primary key allows no two.
    auto changeToADuplicate = [&] {
        cursor.cancel();
        ASSERT_TRUE(cursor.seek("a"));
        cursor.edit();
        cursor.setText("A", "abcdefg");
    };
    changeToADuplicate();
    const std::string refusal = errorOf([&] { cursor.post(); });
    EXPECT_NE(refusal.find("does not allow two rows with the same values"), std::string::npos) << refusal;

    const std::vector<std::pair<const char*, std::function<bool()>>> searches = {
        {"locate", [&] { return cursor.locate("A", {"abcdefg"}); }},
        {"seek", [&] { return cursor.seek("abcdefg"); }},
        {"seekPrefix", [&] { return cursor.seekPrefix("abc"); }},
    };
    for (const auto& [name, search] : searches) {
        SCOPED_TRACE(name);
        changeToADuplicate();
        EXPECT_EQ(errorOf([&] { search(); }), refusal);
        cursor.cancel();
        EXPECT_EQ(cursor.text(0, "A"), "abcdefg");
        EXPECT_EQ(cursor.text(1, "A"), "a");
        EXPECT_EQ(exportedFirstColumn(database), stored);
        EXPECT_TRUE(search()) << "without a pending change the search finds the row";
    }
}

}  // namespace
}  // namespace kv::data_access
