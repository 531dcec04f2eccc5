// Cursors over a real Access database: the Jet connection string, the table listing, and an index
// read from the file's own B-tree, checked against mdbtools' mdb-export as an independent reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

// CD_AGENTE of every row, as mdb-export reads the table; empty for NULL.
std::vector<std::string> exportedAgents(const std::string& database) {
    std::string command = "mdb-export -H '" + database + "' Table1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::vector<std::string> agents;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) agents.emplace_back(line, std::strcspn(line, ",\n"));
    pclose(pipe);
    return agents;
}

TEST(AccessTable, IndexOrderSeekAndFilterAgreeWithMdbExport) {
    testing::TempDir dir;
    std::string database = dir.file("comp index.mdb");
    std::filesystem::copy_file(std::string(KV_FIXTURES_DIR) + "/jet4/compIndexTestV2000.mdb", database);
    std::vector<std::string> agents = exportedAgents(database);
    ASSERT_EQ(agents.size(), 512u);
    std::vector<long> expected;
    for (const auto& agent : agents)
        if (!agent.empty()) expected.push_back(std::stol(agent));
    std::sort(expected.begin(), expected.end(), std::greater<>());

    Connection connection;
    connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source =" + database +
                                   ";Persist Security Info=False");
    Cursor tables("ADODataSet_tables");
    connection.listTables(tables);
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"table1"}));
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"MSysObjects"}));
    EXPECT_EQ(tables.text("TABLE_TYPE"), "SYSTEM TABLE");

    Cursor cursor("ADODataSet_HamDb");
    cursor.setConnection(&connection);
    cursor.setTableName("Table1");
    cursor.setDirectTable(true);
    cursor.open();
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

} // namespace
} // namespace kv::data_access
