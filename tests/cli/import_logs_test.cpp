// kestrovane-cli import-logs as a process: several Cabrillo and ADIF logs in one run with its
// summary line and notes, the contest found from the logs or refused as ambiguous, --min-logs, and
// refusals that change nothing.
#include "cli_test_support.h"

#include <filesystem>
#include <fstream>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

const char* const kFirst =
    "START-OF-LOG: 3.0\r\nCALLSIGN: K1ABC\r\nCONTEST: NAQP-CW\r\n"
    "QSO: 14030 CW 2026-01-10 1800 K1ABC ED MA W9XYZ BOB IL\r\n"
    "QSO: 14030 CW 2026-01-10 1801 K1ABC ED MA W9XZY BOB IL\r\n"
    "QSO: 14030 CW 2026-01-10 1802 K1ABC ED MA N0QQ\r\n";
const char* const kSecond =
    "<EOH>\n<CALL:5>W9XYZ<NAME:3>ROB<STATE:2>IL<CONTEST_ID:7>NAQP-CW<STATION_CALLSIGN:5>K2DEF<MY_NAME:3>SUE<EOR>\n"
    "<CALL:5>W9XYZ<NAME:3>BOB<CONTEST_ID:7>NAQP-CW<STATION_CALLSIGN:5>K2DEF<EOR>\n";
const char* const kFieldDay =
    "START-OF-LOG: 3.0\nCALLSIGN: W1AW\nCONTEST: ARRL-FD\n"
    "QSO: 7000 CW 2025-06-28 1801 W1AW 2A CT K1ABC 1D EMA\n";

}  // namespace

class CliImportLogs : public CliTest {
protected:
    void SetUp() override {
        auto made = cli({"--history", database, "new"});
        ASSERT_EQ(made.status, 0) << made.err;
    }
    std::string writeLog(const std::string& name, const std::string& text) {
        std::ofstream(file(name), std::ios::binary) << text;
        return file(name);
    }
    std::string historyTable() { return toolOutput("mdb-export -H " + quoted(database) + " History"); }

    const std::string database = file("calls.mdb");
};

TEST_F(CliImportLogs, ManyLogsOfOneContestInOneRun) {
    const std::string first = writeLog("k1abc.log", kFirst), second = writeLog("k2def.adi", kSecond);
    auto run = cli({"--history", database, "import-logs", first, second, "--min-logs", "2"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "read 4, inserted 3, updated 0, unchanged 0, logs 2, QSOs 5, skipped 1 malformed, "
              "held back 1 below --min-logs, decided 1 by vote\n")
        << "W9XZY is held back; N0QQ's line has too few fields; W9XYZ's name was voted";
    EXPECT_NE(run.err.find("1 malformed QSO was skipped; the first at " + first + " line 6."), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("status: IMPORT finished\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(database + ".bup"));
    const std::string table = historyTable();
    EXPECT_NE(table.find("\"W9XYZ\",\"BOB\""), std::string::npos) << table;
    EXPECT_NE(table.find("\"K2DEF\",\"SUE\""), std::string::npos) << table;
    EXPECT_EQ(table.find("W9XZY"), std::string::npos) << table;
}

TEST_F(CliImportLogs, TheContestComesFromTheLogsOrFromContest) {
    const std::string naqp = writeLog("naqp.log", kFirst), fd = writeLog("fd.log", kFieldDay);
    auto mixed = cli({"--history", database, "import-logs", naqp, fd});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_NE(mixed.err.find("The logs are of more than one contest; choose one with --contest: NAQP-CW, ARRL-FD\n"),
              std::string::npos)
        << mixed.err;

    auto chosen = cli({"--history", database, "import-logs", naqp, fd, "--contest", "ARRL-FD"});
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.out, "read 2, inserted 2, updated 0, unchanged 0, logs 2, QSOs 4, skipped 3 of other contests\n");
}

TEST_F(CliImportLogs, RefusalsChangeNothing) {
    const std::string good = writeLog("good.log", kFirst);
    const std::string text = writeLog("calls.txt", "!!Order!!,Call,Name\nW1AW,HIRAM\n");
    const std::string before = fileBytes(database);
    auto notALog = cli({"--history", database, "import-logs", good, text});
    EXPECT_EQ(notALog.status, 1);
    EXPECT_NE(notALog.err.find(errorLine(text + " is neither a Cabrillo log nor an ADIF file")), std::string::npos)
        << notALog.err;
    auto noRow = cli({"--history", database, "import-logs", good, "--contest", "NO-SUCH-TEST"});
    EXPECT_EQ(noRow.status, 1);
    EXPECT_NE(noRow.err.find("no CabrilloMapping row for the contest \"NO-SUCH-TEST\""), std::string::npos)
        << noRow.err;
    EXPECT_EQ(fileBytes(database), before);
    EXPECT_FALSE(fs::exists(database + ".bup"));

    auto badMinimum = cli({"--history", database, "import-logs", good, "--min-logs", "0"});
    EXPECT_EQ(badMinimum.status, 2);
    EXPECT_NE(badMinimum.err.find("--min-logs is a number of logs from 1, not \"0\""), std::string::npos)
        << badMinimum.err;
    auto none = cli({"--history", database, "import-logs"});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("import-logs needs FILE..."), std::string::npos) << none.err;
}
