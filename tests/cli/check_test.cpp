// kestrovane-cli check: File > Open History database, which accepts only a History database.
#include "cli_test_support.h"

#include <filesystem>
#include <fstream>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

using CliCheck = CliTest;

TEST_F(CliCheck, AcceptsAHistoryDatabaseAndChangesNothing) {
    const std::string database = file("history.mdb");
    writeHistoryDatabase(database, historyRows(3));
    const std::string before = fileBytes(database);

    auto run = cli({"--history", database, "check"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kOpenedStatus);
    EXPECT_EQ(fileBytes(database), before);
}

TEST_F(CliCheck, RefusesAnAccessDatabaseWithoutAVersionTable) {
    const std::string database = file("testV2000.mdb");
    fs::copy_file(fs::path(KV_FIXTURES_DIR) / "jet4" / "testV2000.mdb", database);
    const std::string before = fileBytes(database);

    auto run = cli({"--history", database, "check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kNotHistoryDatabase);
    EXPECT_EQ(fileBytes(database), before);
}

TEST_F(CliCheck, FailsWithTheErrorBoxTextOnFilesItCannotOpen) {
    const std::string text = file("calls.mdb");
    std::ofstream(text) << "K1ABC,Joe,MA\n";
    auto notAccess = cli({"--history", text, "check"});
    EXPECT_EQ(notAccess.status, 1);
    EXPECT_EQ(notAccess.out, "");
    EXPECT_EQ(notAccess.err, errorLine(text + " is not an Access database"));

    const std::string missing = file("missing.mdb");
    auto absent = cli({"--history", missing, "check"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.err, errorLine("File " + missing + " not found"));
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(CliCheck, FailsWhenTheMappingWorkbookGivenIsMissing) {
    const std::string database = file("history.mdb");
    writeHistoryDatabase(database, historyRows(1));
    const std::string workbook = file("nowhere.xls");

    auto run = cli({"--history", database, "--mapping", workbook, "check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, errorLine("File " + workbook + " not found"));
}
