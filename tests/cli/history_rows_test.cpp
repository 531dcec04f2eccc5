// kestrovane-cli count, empty and compact on History databases with rows, checked with
// mdbtools, an independent reader.
#include "cli_test_support.h"

#include <filesystem>
#include <fstream>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

const std::string kEmptyQuestion = "Deleting all records of the history/Kestrovane database. Are you sure ?\n";

std::string exported(const std::string& database, const std::string& table) {
    return toolOutput("mdb-export " + quoted(database) + " " + quoted(table));
}

// The History rows of a database, as mdb-export prints them without the header line.
std::string historyLines(const std::string& database) {
    const std::string all = exported(database, "History");
    return all.substr(all.find('\n') + 1);
}

}  // namespace

class CliRows : public CliTest {
protected:
    void SetUp() override { writeHistoryDatabase(database, historyRows(kRows)); }

    static constexpr int kRows = 23;
    const std::string database = file("history.mdb");
};

TEST_F(CliRows, CountPrintsTheRowsOfHistory) {
    auto run = cli({"--history", database, "count"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::to_string(kRows) + "\n");
    EXPECT_EQ(run.err, kOpenedStatus);
}

TEST_F(CliRows, CountPrintsNothingForADatabaseTheOpeningRefuses) {
    const std::string other = file("testV2000.mdb");
    fs::copy_file(fs::path(KV_FIXTURES_DIR) / "jet4" / "testV2000.mdb", other);
    auto run = cli({"--history", other, "count"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kNotHistoryDatabase);
}

TEST_F(CliRows, EmptyAndCompactLeaveADatabaseTheOpeningRefusesAlone) {
    // A History table with rows, but no version table: not a History database.
    const std::string schema = file("history_only.sql");
    std::ofstream(schema) << "CREATE TABLE [History] ([Call] Text (20), [Name] Text (50), [data2] Text (50));\n";
    const std::string rowsCsv = file("rows.csv");
    std::ofstream(rowsCsv) << historyRows(kRows);
    const std::string other = file("other.mdb");
    toolOutput(KV_PROGRAM_DIR "/jetmake " + quoted(schema) + " " + quoted(other) +
               " --rows History=" + quoted(rowsCsv));
    const std::string before = fileBytes(other);

    for (const std::vector<std::string>& subcommand : {std::vector<std::string>{"empty", "--yes"}, {"compact"}}) {
        std::vector<std::string> arguments{"--history", other};
        arguments.insert(arguments.end(), subcommand.begin(), subcommand.end());
        auto run = cli(arguments);
        EXPECT_EQ(run.status, 1) << subcommand[0];
        EXPECT_EQ(run.err, kNotHistoryDatabase) << subcommand[0];
        EXPECT_EQ(fileBytes(other), before) << subcommand[0];
    }
}

TEST_F(CliRows, EmptyDeletesEveryHistoryRowOnlyWithYes) {
    const std::string before = fileBytes(database);
    const std::string version = exported(database, "version");

    auto refused = cli({"--history", database, "empty"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, kOpenedStatus + kEmptyQuestion + "Answered No; --yes answers Yes\n");
    EXPECT_EQ(fileBytes(database), before);

    auto emptied = cli({"--history", database, "empty", "--yes"});
    EXPECT_EQ(emptied.status, 0) << emptied.err;
    EXPECT_EQ(emptied.out, "");
    EXPECT_EQ(emptied.err, kOpenedStatus + kEmptyQuestion + "Answered Yes (--yes)\n");
    EXPECT_EQ(historyLines(database), "");
    EXPECT_EQ(exported(database, "version"), version);
    EXPECT_EQ(cli({"--history", database, "count"}).out, "0\n");
}

TEST_F(CliRows, CompactKeepsEveryTableAndRow) {
    const std::string tables = toolOutput("mdb-tables -1 " + quoted(database));
    const std::string rows = historyLines(database);
    ASSERT_NE(rows, "");

    auto run = cli({"--history", database, "compact"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kOpenedStatus + "status: Kestrovane database closed and compacted\n");
    EXPECT_EQ(toolOutput("mdb-tables -1 " + quoted(database)), tables);
    EXPECT_EQ(historyLines(database), rows);
    EXPECT_FALSE(fs::exists(file("Kestrovane_compacted.mdb")));
}

TEST_F(CliRows, CompactFailsAndKeepsTheFileWhenItCannotBeReplaced) {
    fs::permissions(database, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const std::string before = fileBytes(database);
    const auto filesBefore = std::distance(fs::directory_iterator(folder()), {});

    auto run = cli({"--history", database, "compact"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("\nError: Cannot compact " + database + ": Cannot write " + database +
                           ": the file is read-only\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(fileBytes(database), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), {}), filesBefore) << "no copy is left beside it";
}
