// kestrovane-cli export, import-log and import-file as processes: the whole cycle on the files the
// program ships in examples/, checked byte for byte and with mdbtools, and each refusal.
#include "cli_test_support.h"

#include <filesystem>
#include <fstream>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

const std::string kExamples = std::string(KV_PROGRAM_DIR) + "/examples/";
const std::string kLoggerExample = kExamples + "logger_example.mdb";
const std::string kNaqpExample = kExamples + "callhistory_NAQP.txt";

std::string historyTable(const std::string& database) {
    return toolOutput("mdb-export " + quoted(database) + " History");
}

}  // namespace

class CliImportExport : public CliTest {
protected:
    void SetUp() override {
        auto made = cli({"--history", database, "new"});
        ASSERT_EQ(made.status, 0) << made.err;
    }

    CliRun importLog(const std::string& contest, std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"--history", database, "import-log", kLoggerExample, "--contest", contest};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return cli(arguments);
    }

    const std::string database = file("calls.mdb");
};

TEST_F(CliImportExport, TheWholeCycleOnTheExamples) {
    auto logged = importLog("NAQPCW");
    EXPECT_EQ(logged.status, 0) << logged.err;
    EXPECT_EQ(logged.out, "read 8, inserted 7, updated 0, unchanged 1\n") << "N6QWZ is in the log twice, alike";
    EXPECT_NE(logged.err.find("status: IMPORT finished\n"), std::string::npos) << logged.err;
    EXPECT_TRUE(fs::exists(database + ".bup"));

    auto filed = cli({"--history", database, "import-file", kNaqpExample, "--type", "NAQP"});
    EXPECT_EQ(filed.status, 0) << filed.err;
    EXPECT_EQ(filed.out, "read 15, inserted 8, updated 2, unchanged 5\n") << "KJ7ZTA's and VE6JXR's names differ";

    const std::string target = file("NAQPCW.txt");
    auto exported = cli({"--history", database, "export", "NAQPCW", "--to", target});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "");
    EXPECT_EQ(fileBytes(target),
              "!!Order!!,Call,Name,State,UserText\r\n"
              "K7XVB,ED,WA,\r\n"
              "N6QWZ,LIZ,CA,\r\n"
              "VE6JXR,RENE,AB,\r\n"
              "W0QFZ,DAN,KS,\r\n"
              "KJ7ZTA,MORRIS,ID,sends MO in CW\r\n"
              "XE2QKV,PACO,DX,\r\n"
              "AD4YXJ,SUE,FL,\r\n"
              "KB0ZTQ,RAY,MN,\r\n"
              "KF7QXR,NED,OR,\r\n"
              "N2VQX,ANNA,NY,\r\n"
              "VA3ZKE,PIERRE,ON,\r\n"
              "W1XTB,GUS,ME,\r\n"
              "W5QZR,TED,TX,\r\n"
              "WB9VKX,KAY,IN,\r\n"
              "ZL2QVX,HAMISH,DX,\r\n");

    // Field Day twice: the second run finds every station as the first left it.
    EXPECT_EQ(importLog("FD").out, "read 7, inserted 2, updated 5, unchanged 0\n");
    const std::string afterFirst = historyTable(database);
    EXPECT_EQ(importLog("FD").out, "read 7, inserted 0, updated 0, unchanged 7\n");
    EXPECT_EQ(historyTable(database), afterFirst) << "a second import of a contest changes nothing but Updated";
}

TEST_F(CliImportExport, ExportWritesUtf8OnlyWhenAsked) {
    ASSERT_EQ(importLog("NAQPCW").status, 0);
    const std::string target = file("naqp.txt");
    ASSERT_EQ(cli({"--history", database, "export", "NAQPCW", "--to", target}).status, 0);
    EXPECT_NE(fileBytes(target).find("VE6JXR,REN\xC9,"), std::string::npos) << "Windows-1252 by default";
    ASSERT_EQ(cli({"--history", database, "export", "NAQPCW", "--to", target, "--encoding", "utf-8"}).status, 0);
    EXPECT_NE(fileBytes(target).find("VE6JXR,RENÉ,"), std::string::npos);
}

TEST_F(CliImportExport, AContestHeldTwiceIsChosenByItsStart) {
    const std::vector<std::string> twice{"--history", database, "import-log", KV_LOGGER_TEST_DATABASE,
                                         "--contest", "FD"};
    auto ambiguous = cli(twice);
    EXPECT_EQ(ambiguous.status, 1);
    EXPECT_NE(ambiguous.err.find("The log holds \"FD\" more than once; choose one with --start YYYY-MM-DD: "
                                 "FD,6-22-2024, FD,6-28-2025 18:00:00\n"),
              std::string::npos)
        << ambiguous.err;
    EXPECT_EQ(historyTable(database),
              "Call,Name,Sect,State,Ck,Exch1,Grid,Nr,UserText,Loc1,Loc2,BirthDate,Misc,Power,CqZone,ITUZone,data2,"
              "data3,Updated\n");

    std::vector<std::string> chosen = twice;
    chosen.insert(chosen.end(), {"--start", "2025-06-28"});
    auto run = cli(chosen);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read 5, inserted 4, updated 0, unchanged 1\n") << "N8JQT twice, alike";
}

TEST_F(CliImportExport, CqWwZonesComeFromTheLogsZnAndGoOutUnderAnOrderLine) {
    auto run = cli({"--history", database, "import-log", KV_LOGGER_TEST_DATABASE, "--contest", "CQWWCW"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read 3, inserted 3, updated 0, unchanged 0\n");
    EXPECT_EQ(toolOutput("mdb-export " + quoted(database) + " History | cut -d, -f1,15"),
              "Call,CqZone\n\"JA1QZB\",\"25\"\n\"PY2XKT\",\"11\"\n\"OH2ZQW\",\"15\"\n")
        << "DXLOG's ZN, through the ImportMapping column ZN";

    const std::string target = file("cqww.txt");
    auto exported = cli({"--history", database, "export", "CQWWCW", "--to", target});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(fileBytes(target), "!!Order!!,Call,CqZone,UserText\r\nJA1QZB,25,\r\nPY2XKT,11,\r\nOH2ZQW,15,\r\n");
}

TEST_F(CliImportExport, RefusalsExitWithOneAndUsageErrorsWithTwo) {
    const std::string before = fileBytes(database);
    auto notLogged = importLog("RAC");
    EXPECT_EQ(notLogged.status, 1);
    EXPECT_NE(notLogged.err.find("The log holds no contest \"RAC\""), std::string::npos) << notLogged.err;

    auto notLogger = cli({"--history", database, "import-log", database, "--contest", "FD"});
    EXPECT_EQ(notLogger.status, 1);
    EXPECT_NE(notLogger.err.find("Selected database file not a valid N1MM Logger database\n"), std::string::npos);

    auto noType = cli({"--history", database, "import-file", kNaqpExample, "--type", "QRP"});
    EXPECT_EQ(noType.status, 1);
    EXPECT_NE(noType.err.find("no contest type \"QRP\""), std::string::npos) << noType.err;

    auto noContest = cli({"--history", database, "export", "CQWPXCW", "--to", file("cqww.txt")});
    EXPECT_EQ(noContest.status, 1) << "a contest without call history is not offered";
    EXPECT_FALSE(fs::exists(file("cqww.txt")));
    EXPECT_EQ(fileBytes(database), before);

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--history", database, "export", "NAQPCW"},
          {"--history", database, "export", "NAQPCW", "--to", file("x.txt"), "--encoding", "latin-9"},
          {"--history", database, "import-log", kLoggerExample, "--contest", "FD", "--start", "28.6.2025"},
          {"--history", database, "import-file", "--type", "NAQP"},
          {"--history", database, "import-log", "--contest", "FD"}}) {
        auto run = cli(wrong);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("Usage: kestrovane-cli"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(file("x.txt")));
}

TEST_F(CliImportExport, AnExportThatCannotWriteItsFileSaysWhy) {
    const std::string target = file("missing folder/naqp.txt");
    auto run = cli({"--history", database, "export", "NAQPCW", "--to", target});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(errorLine("File not found")), std::string::npos) << run.err;
}
