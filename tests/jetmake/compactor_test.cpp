// Compaction: the same tables and rows in a dense new file, checked with mdbtools.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "../jetwrite/scratch_file.h"
#include "jet/catalog.h"
#include "jet/compactor.h"
#include "jet/database_builder.h"
#include "tool_support.h"

namespace kv::jet {
namespace {

using testing::run;
using testing::ScratchFolder;

std::string sortedExport(const std::string& file, const std::string& table) {
    auto lines = testing::lines(run("mdb-export -b hex " + testing::quoted(file) + " " + testing::quoted(table)));
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

// Each user table's properties (its LvProp in the catalog), by table name.
std::map<std::string, Binary> propertiesByTable(const std::string& path) {
    const PageFile file(path);
    const std::map<std::uint32_t, Binary> properties = readTableProperties(file);
    std::map<std::string, Binary> byName;
    for (const auto& table : readCatalogTables(file))
        if (auto found = properties.find(table.definitionPage); !table.system && found != properties.end())
            byName[table.name] = found->second;
    return byName;
}

TEST(Compaction, KeepsEveryTableOfTheFixtures) {
    ScratchFolder folder;
    std::size_t tablesWithProperties = 0;
    for (const char* name : {"testV2000.mdb", "fixedTextTestV2000.mdb", "compIndexTestV2000.mdb", "test2V2000.mdb",
                             "delTestV2000.mdb", "overflowTestV2000.mdb", "fixedNumericTestV2000.mdb"}) {
        SCOPED_TRACE(name);
        std::string source = testing::fixture(name);
        std::string target = (folder.path() / name).string();
        compact(source, target);
        EXPECT_EQ(run("mdb-schema " + testing::quoted(target) + " access"),
                  run("mdb-schema " + testing::quoted(source) + " access"));
        // Our reader and mdb-export order moved rows differently, so rows are compared as sets.
        for (const auto& table : testing::lines(run("mdb-tables -1 " + testing::quoted(source))))
            EXPECT_EQ(sortedExport(target, table), sortedExport(source, table)) << table;
        EXPECT_LE(std::filesystem::file_size(target), std::filesystem::file_size(source));
        const std::map<std::string, Binary> properties = propertiesByTable(source);
        EXPECT_EQ(propertiesByTable(target), properties);
        tablesWithProperties += properties.size();
    }
    EXPECT_GT(tablesWithProperties, 0u) << "no fixture's table has properties to carry over";
}

TEST(Compaction, RefusesWhatItCannotRebuildAndLeavesNoTarget) {
    ScratchFolder folder;
    std::string target = (folder.path() / "out.mdb").string();
    // Its index holds keys of non-ASCII text, whose encoding is not known.
    try {
        compact(testing::fixture("testUnicodeCompV2003.mdb"), target);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot compact"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(target + ".new"));
    EXPECT_THROW(compact((folder.path() / "missing.mdb").string(), target), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(Compaction, AnEmptiedTableShrinksToAFreshDatabase) {
    ScratchFolder folder;
    TableContent history;
    history.design.name = "History";
    history.design.columns = {userColumn("Call", ColumnType::Text, 20), userColumn("Name", ColumnType::Text, 50),
                              userColumn("Updated", ColumnType::DateTime)};
    history.design.indexes = {IndexDesign{"Call", {{"Call", false}}, false, false, false, false}};
    std::string fresh = (folder.path() / "fresh.mdb").string();
    createDatabase(fresh, {history});

    for (int i = 0; i < 10000; ++i)
        history.rows.push_back(
            {"W" + std::to_string(i) + "XYZ", "Operator number " + std::to_string(i), DateTime{40000.0 + i}});
    std::string full = (folder.path() / "full.mdb").string();
    createDatabase(full, {history});
    commitTable(full, "History", {});
    std::string compacted = (folder.path() / "compacted.mdb").string();
    compact(full, compacted);

    auto pageCount = [](const std::string& path) { return std::filesystem::file_size(path) / format::kPageSize; };
    EXPECT_GT(pageCount(full), 100u);
    EXPECT_LE(pageCount(compacted), pageCount(fresh) + history.design.indexes.size());
    EXPECT_EQ(run("mdb-export " + testing::quoted(compacted) + " History"), "Call,Name,Updated\n");
    EXPECT_EQ(run("mdb-schema " + testing::quoted(compacted) + " access"),
              run("mdb-schema " + testing::quoted(fresh) + " access"));
}

}  // namespace
}  // namespace kv::jet
