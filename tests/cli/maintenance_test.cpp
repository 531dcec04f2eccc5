// kestrovane-cli stats, prune and restore-backup run as processes on History databases of the
// test's own; the same removal and restore as the Tools menu's.
#include "cli_test_support.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

using namespace kv::cli::testing;
using kv::testing::columnValues;
namespace fs = std::filesystem;

namespace {

class CliMaintenance : public CliTest {
protected:
    void SetUp() override {
        writeHistoryDatabase(database,
                             "Call,Name,Sect,Updated\nK1OLD,Al,MA,2019-06-30\nW2NEW,Bo,,2024-05-01\n"
                             "N3NONE,,,\nK4TWO,Di,EPA,2024-01-02 10:00:00\n");
    }
    std::vector<std::string> calls() const { return columnValues(database, "History", "Call"); }

    const std::string database = file("calls.mdb");
};

}  // namespace

TEST_F(CliMaintenance, StatsPrintsStationsYearsTheRangeAndFilledColumns) {
    const std::string before = fileBytes(database);
    auto run = cli({"--history", database, "stats"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, kOpenedStatus);
    EXPECT_TRUE(
        run.out.starts_with("stations\t4\n"
                            "updated-range\t2019-06-30\t2024-05-01\n"
                            "updated\t2019\t1\n"
                            "updated\t2024\t2\n"
                            "updated\tnone\t1\n"
                            "filled\tCall\t4\n"
                            "filled\tName\t3\n"
                            "filled\tSect\t2\n"))
        << run.out;
    EXPECT_NE(run.out.find("filled\tUpdated\t3\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("filled\tGrid\t0\n"), std::string::npos) << run.out;
    EXPECT_EQ(fileBytes(database), before);
}

TEST_F(CliMaintenance, PruneWithoutYesOnlyCountsAndWithYesRemovesAfterABackup) {
    const std::string before = fileBytes(database);
    auto dry = cli({"--history", database, "prune", "--before", "2024-01-03"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out,
              "3 stations would be removed: 2 last updated before 2024-01-03, 1 with no Updated date "
              "(--yes removes them)\n");
    EXPECT_EQ(fileBytes(database), before);
    EXPECT_FALSE(fs::exists(database + ".bup"));

    auto run = cli({"--history", database, "prune", "--before=2024-01-03", "--yes"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 stations removed, 1 station left in the History database\n");
    EXPECT_NE(run.err.find("Removing 3 stations not heard since 1-3-2024"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Answered Yes (--yes)\nstatus: Database backup created, removing stations\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(calls(), std::vector<std::string>{"W2NEW"});
    EXPECT_EQ(fileBytes(database + ".bup"), before);
}

TEST_F(CliMaintenance, PruneRefusesADayThatIsNoDate) {
    const std::string before = fileBytes(database);
    for (const char* wrong : {"2024-02-30", "03/01/2024", "last year"}) {
        auto run = cli({"--history", database, "prune", "--before", wrong, "--yes"});
        EXPECT_EQ(run.status, 1) << wrong;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "\"" + std::string(wrong) + "\" is not a date; write it as YYYY-MM-DD, e.g. 2024-03-31\n");
    }
    auto missing = cli({"--history", database, "prune"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("prune needs --before YYYY-MM-DD"), std::string::npos) << missing.err;
    EXPECT_EQ(fileBytes(database), before);
}

TEST_F(CliMaintenance, RestoreBackupListsRestoresTheNewestByDefaultAndCanBeUndone) {
    auto none = cli({"--history", database, "restore-backup", "--list"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    auto nothing = cli({"--history", database, "restore-backup", "--yes"});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.err, "There is no backup number 0 of " + database + "\n");

    const std::string full = fileBytes(database);
    ASSERT_EQ(cli({"--history", database, "prune", "--before", "2030-01-01", "--yes"}).status, 0);
    std::ofstream(database + ".bup.1") << "no database";

    auto list = cli({"--history", database, "restore-backup", "--list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_THAT(list.out,
                ::testing::MatchesRegex("0\tcalls.mdb.bup  [-0-9]+ [:0-9]+  4 stations\n"
                                        "1\tcalls.mdb.bup.1  [-0-9]+ [:0-9]+  .*is not an Access database.*\n"));

    auto refused = cli({"--history", database, "restore-backup", "--index", "1", "--yes"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(database + ".bup.1 cannot be restored: "), std::string::npos) << refused.err;
    auto unanswered = cli({"--history", database, "restore-backup"});
    EXPECT_EQ(unanswered.status, 1);
    EXPECT_NE(unanswered.err.find("Answered No; --yes answers Yes"), std::string::npos) << unanswered.err;
    EXPECT_TRUE(calls().empty());
    auto badIndex = cli({"--history", database, "restore-backup", "--index", "newest", "--yes"});
    EXPECT_EQ(badIndex.status, 2);

    auto run = cli({"--history", database, "restore-backup", "--yes"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Backup " + database + ".bup restored, 4 stations\n");
    EXPECT_EQ(fileBytes(database), full);
    EXPECT_TRUE(columnValues(database + ".bup", "History", "Call").empty());

    ASSERT_EQ(cli({"--history", database, "restore-backup", "--index", "0", "--yes"}).status, 0);
    EXPECT_TRUE(calls().empty()) << "restoring the newest backup undid the restore";
}
