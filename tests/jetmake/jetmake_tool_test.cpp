// jetmake round-trips the fixtures: what mdb-schema and mdb-export print of a fixture, with its
// indexes written as CREATE INDEX statements, becomes a new file of which they print the same, and
// whose indexes jetdump lists as it lists the fixture's. Its CSV rows keep the blanks of their
// fields and take ISO 8601 dates, as mdb-export reads them back.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../jetwrite/scratch_file.h"
#include "jet/database.h"
#include "tool_support.h"

namespace kv::jet {
namespace {

using testing::run;

const std::string kJetmake = std::string(KV_TOOLS_DIR) + "/jetmake";
const std::string kJetdump = std::string(KV_TOOLS_DIR) + "/jetdump";
const char* kExport = "mdb-export -b hex -T '%m/%d/%Y %H:%M:%S' ";

void write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The fixture's indexes in jetmake's syntax, read with our reader (mdb-schema's Access output has none).
std::string indexStatements(const std::string& file) {
    Database database(file);
    std::string text;
    for (const auto& entry : database.tables()) {
        if (entry.system) continue;
        TableDef def = database.tableDef(entry);
        for (const auto& logical : def.logicalIndexes) {
            const RealIndex& real = def.realIndexes[logical.realIndex];
            text += std::string("CREATE ") + (real.isUnique() && !logical.isPrimaryKey() ? "UNIQUE " : "") + "INDEX [" +
                    logical.name + "] ON [" + def.name + "] (";
            for (std::size_t k = 0; k < real.columns.size(); ++k)
                text += (k ? ", [" : "[") + def.columns[def.columnPosition(real.columns[k].columnNumber)].name +
                        (real.columns[k].ascending ? "]" : "] DESC");
            text += ")";
            if (logical.isPrimaryKey())
                text += " WITH PRIMARY";
            else if (real.ignoresNulls())
                text += " WITH IGNORE NULL";
            text += ";\n";
        }
    }
    return text;
}

TEST(Jetmake, RoundTripsTheFixtures) {
    testing::ScratchFolder folder;
    // DateTestDatabase is left out: mdb-export prints its dates before 1900 as "01/00/1900", which
    // no reader could turn back into the dates. testUnicodeCompV2003 has an index over non-ASCII
    // text, whose keys we refuse to guess.
    for (const char* name : {"testV2000.mdb", "fixedTextTestV2000.mdb", "compIndexTestV2000.mdb", "test2V2000.mdb",
                             "testIndexPropertiesV2000.mdb", "indexTestV2000.mdb", "delTestV2000.mdb",
                             "overflowTestV2000.mdb", "fixedNumericTestV2000.mdb", "numericV2003.mdb"}) {
        SCOPED_TRACE(name);
        std::string source = testing::fixture(name);
        std::string schema = run("mdb-schema " + testing::quoted(source) + " access");
        write(folder.path() / "schema.sql", schema + indexStatements(source));
        std::string command = kJetmake + " " + testing::quoted((folder.path() / "schema.sql").string());
        std::string target = (folder.path() / name).string();
        command += " " + testing::quoted(target);
        std::vector<std::string> tables = testing::lines(run("mdb-tables -1 " + testing::quoted(source)));
        for (std::size_t i = 0; i < tables.size(); ++i) {
            auto csv = folder.path() / ("table" + std::to_string(i) + ".csv");
            write(csv, run(kExport + testing::quoted(source) + " " + testing::quoted(tables[i])));
            command += " --rows " + testing::quoted(tables[i] + "=" + csv.string());
        }
        auto outcome = testing::runWithStatus(command);
        ASSERT_EQ(outcome.status, 0) << outcome.output;

        EXPECT_EQ(run("mdb-schema " + testing::quoted(target) + " access"), schema);
        for (const auto& table : tables) {
            EXPECT_EQ(run(kExport + testing::quoted(target) + " " + testing::quoted(table)),
                      run(kExport + testing::quoted(source) + " " + testing::quoted(table)))
                << table;
            // The entry counts Access stores may be stale; the index definitions must match.
            auto definitions = [&](const std::string& file) {
                std::string text;
                for (const auto& line : testing::lines(
                         run(kJetdump + " --indexes " + testing::quoted(file) + " " + testing::quoted(table))))
                    text += line.substr(0, line.rfind(" entries")) + "\n";
                return text;
            };
            EXPECT_EQ(definitions(target), definitions(source)) << table;
        }
    }
}

TEST(Jetmake, RefusesWithAMessageAndExitStatusOne) {
    testing::ScratchFolder folder;
    auto schema = folder.path() / "schema.sql";
    write(schema,
          "CREATE TABLE [T] ([Id] AutoNumber, [Call] Text (5) NOT NULL);\nCREATE INDEX [Call] ON [T] ([Call] DESC);\n");
    auto rows = folder.path() / "rows.csv";
    write(rows, "Call\r\n\"K1AB\"\r\n\"W2\"\r\n");
    std::string out = (folder.path() / "out.mdb").string();
    std::string base = kJetmake + " " + testing::quoted(schema.string()) + " " + testing::quoted(out);
    auto made = testing::runWithStatus(base + " --rows " + testing::quoted("T=" + rows.string()));
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_EQ(run("mdb-export " + testing::quoted(out) + " T"), "Id,Call\n1,\"K1AB\"\n2,\"W2\"\n");

    auto existing = testing::runWithStatus(base);
    EXPECT_EQ(existing.status, 1);
    EXPECT_NE(existing.output.find("already exists"), std::string::npos) << existing.output;
    EXPECT_EQ(testing::runWithStatus(base + " --replace").status, 0);

    write(rows, "Call\r\n\"TOOLONG\"\r\n");
    std::string other = (folder.path() / "other.mdb").string();
    auto tooLong = testing::runWithStatus(kJetmake + " " + testing::quoted(schema.string()) + " " +
                                          testing::quoted(other) + " --rows " + testing::quoted("T=" + rows.string()));
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_NE(tooLong.output.find("'TOOLONG' is longer than the 5 characters of column Call"), std::string::npos)
        << tooLong.output;
    EXPECT_FALSE(std::filesystem::exists(other));

    write(schema, "CREATE TABLE [T] (\n  [Id] Long Integr\n);\n");
    auto badType =
        testing::runWithStatus(kJetmake + " " + testing::quoted(schema.string()) + " " + testing::quoted(other));
    EXPECT_EQ(badType.status, 1);
    EXPECT_NE(badType.output.find("Schema line 2: expected INTEGER, found \"Integr\""), std::string::npos)
        << badType.output;

    write(schema, "CREATE TABLE [T] ([A] Text (5));\nCREATE INDEX [I] ON [T] ([B]);\n");
    auto badIndex =
        testing::runWithStatus(kJetmake + " " + testing::quoted(schema.string()) + " " + testing::quoted(other));
    EXPECT_EQ(badIndex.status, 1);
    EXPECT_NE(badIndex.output.find("the column B"), std::string::npos) << badIndex.output;
    EXPECT_FALSE(std::filesystem::exists(other));
}

TEST(Jetmake, KeepsTheBlanksOfFieldsAndReadsIsoDates) {
    testing::ScratchFolder folder;
    auto schema = folder.path() / "schema.sql";
    write(schema, "CREATE TABLE [T] ([Id] Long Integer, [Note] Text (20), [At] DateTime);\n");
    auto rows = folder.path() / "rows.csv";
    write(rows,
          "Id,Note,At\r\n"
          "1,\"  quoted  \",2001-02-02\r\n"
          "2,  unquoted note ,2001-02-02 01:01:07\r\n"
          "3, ,2001-02-02T23:59:58\r\n"
          "4,note ,2/3/2001 4:05:06\r\n");
    std::string out = (folder.path() / "out.mdb").string();
    std::string command = kJetmake + " " + testing::quoted(schema.string()) + " " + testing::quoted(out) + " --rows ";
    auto made = testing::runWithStatus(command + testing::quoted("T=" + rows.string()));
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_EQ(run("mdb-export -T '%Y-%m-%d %H:%M:%S' " + testing::quoted(out) + " T"),
              "Id,Note,At\n"
              "1,\"  quoted  \",\"2001-02-02 00:00:00\"\n"
              "2,\"  unquoted note \",\"2001-02-02 01:01:07\"\n"
              "3,\" \",\"2001-02-02 23:59:58\"\n"
              "4,\"note \",\"2001-02-03 04:05:06\"\n");

    // A date that does not exist, and one in neither form, are refused naming the record and column.
    std::string other = (folder.path() / "other.mdb").string();
    for (const char* date : {"2001-02-30", "2001-02-02 1:01:07", "02.02.2001"}) {
        SCOPED_TRACE(date);
        write(rows, "Id,At\n1,2001-02-02\n2," + std::string(date) + "\n");
        auto refused =
            testing::runWithStatus(kJetmake + " " + testing::quoted(schema.string()) + " " + testing::quoted(other) +
                                   " --rows " + testing::quoted("T=" + rows.string()));
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.output.find(rows.string() + ", record 2: The value '" + date +
                                      "' is not a valid Date/Time for column At: dates are written as year-month-day "
                                      "(ISO 8601) or month/day/year"),
                  std::string::npos)
            << refused.output;
        EXPECT_FALSE(std::filesystem::exists(other));
    }
}

}  // namespace
}  // namespace kv::jet
