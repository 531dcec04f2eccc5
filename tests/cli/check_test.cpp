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

// Only the subcommands that read contests read the workbook.
TEST_F(CliCheck, TheSubcommandsOnTheDatabaseAloneNeedNoMappingWorkbook) {
    const std::string database = file("history.mdb");
    writeHistoryDatabase(database, historyRows(3));
    const std::string workbook = file("nowhere.xls");
    auto withoutWorkbook = [&](std::vector<std::string> subcommand) {
        std::vector<std::string> arguments{"--history", database, "--mapping", workbook};
        arguments.insert(arguments.end(), subcommand.begin(), subcommand.end());
        return cli(arguments);
    };

    for (const char* subcommand : {"check", "compact"}) {
        auto run = withoutWorkbook({subcommand});
        EXPECT_EQ(run.status, 0) << subcommand << ": " << run.err;
    }
    auto counted = withoutWorkbook({"count"});
    EXPECT_EQ(counted.status, 0) << counted.err;
    EXPECT_EQ(counted.out, "3\n");
    auto emptied = withoutWorkbook({"empty", "--yes"});
    EXPECT_EQ(emptied.status, 0) << emptied.err;
    EXPECT_EQ(withoutWorkbook({"count"}).out, "0\n");

    fs::remove(database);
    auto made = withoutWorkbook({"new"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(withoutWorkbook({"count"}).out, "0\n");

    // An export needs the workbook's columns, and says which file it lacks.
    auto exported = withoutWorkbook({"export", "NAQPCW", "--to", file("out.txt")});
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.err, kOpenedStatus + errorLine("File " + workbook + " not found"));
    EXPECT_FALSE(fs::exists(file("out.txt")));
}
