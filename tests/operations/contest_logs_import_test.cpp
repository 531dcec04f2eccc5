// Contest logs merged into History through the shipped workbook's CabrilloMapping: the vote over
// several logs, an owner's own word, --min-logs, ADIF by field name and contest, the counts and
// notes, and refusals that leave every file as it was.
#include "import/contest_logs.h"
#include "import/import_run.h"
#include "import_fixtures.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace kv::import;
using kv::history_db::HistoryStore;
using kv::mapping::MappingWorkbook;
using kv::testing::columnValues;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

// A Cabrillo 3.0 log of NAQP-CW by `owner`, who sends `sent` (name and state).
std::string naqpLog(const std::string& owner, const std::string& sent, const std::vector<std::string>& qsos) {
    std::string text = "START-OF-LOG: 3.0\r\nCALLSIGN: " + owner +
                       "\r\nCONTEST: NAQP-CW\r\nLOCATION: " + sent.substr(sent.find(' ') + 1) + "\r\n";
    for (std::size_t minute = 0; minute < qsos.size(); ++minute) {
        const std::string time = (minute < 10 ? "180" : "18") + std::to_string(minute);
        text += "QSO: 14030 CW 2026-01-10 " + time + " " + owner + " " + sent + " " + qsos[minute] + "\r\n";
    }
    return text + "END-OF-LOG:\r\n";
}

class ContestLogsImportTest : public ::testing::Test {
protected:
    ContestLogsImportTest() { fs::copy_file(files.file(kv::history_db::kTemplateFileName), history); }

    std::string writeLog(const std::string& name, const std::string& text) {
        const std::string path = files.file(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    ImportCounts importLogs(const std::vector<std::string>& paths, const std::string& contest, unsigned minLogs = 1) {
        ContestLogs source(paths, workbook, contest, minLogs, {});
        return runImport(store(), source, {});
    }
    std::string value(const std::string& call, const std::string& column) {
        store().close();
        const auto calls = columnValues(history, "History", "Call");
        const auto values = columnValues(history, "History", column);
        const auto found = std::ranges::find(calls, call);
        return found == calls.end() ? "<no row>" : values[static_cast<std::size_t>(found - calls.begin())];
    }
    std::vector<std::string> calls() {
        store().close();
        return columnValues(history, "History", "Call");
    }
    HistoryStore& store() {
        if (!store_) store_.emplace(history);
        return *store_;
    }

    ProgramFiles files;
    const std::string history = files.file("calls.mdb");
    MappingWorkbook workbook{files.file("mapping.xls")};

private:
    std::optional<HistoryStore> store_;
};

}  // namespace

TEST_F(ContestLogsImportTest, ThreeLogsDisagreeingAboutAStationAreDecidedByTheVote) {
    const std::vector<std::string> logs{
        writeLog("a.log", naqpLog("K1ABC", "ED MA", {"W9XYZ BOB IL", "N0QQ ANN MN"})),
        writeLog("b.log", naqpLog("K2DEF", "SUE NY", {"W9XYZ ROB IL", "K1ABC ED MA"})),
        writeLog("c.log", naqpLog("K3GHI", "AL PA", {"W9XYZ BOB WI", "K1ABC TED MA"})),
    };
    std::vector<std::string> statuses;
    std::vector<std::pair<long long, long long>> steps;
    const kv::history_db::Progress progress{[&](const std::string& text) { statuses.push_back(text); },
                                            [&](long long done, long long total) { steps.emplace_back(done, total); }};
    ContestLogs source(logs, workbook, "NAQP-CW", 1, progress);
    const ImportCounts counts = runImport(store(), source, progress);
    EXPECT_THAT(statuses, ElementsAre(kReadingLogsStatus, kBackupCreatedStatus, kImportFinishedStatus));
    ASSERT_GE(steps.size(), 4u);
    EXPECT_THAT(std::vector(steps.begin(), steps.begin() + 4),
                ElementsAre(std::pair(0LL, 3LL), std::pair(1LL, 3LL), std::pair(2LL, 3LL), std::pair(3LL, 3LL)))
        << "the files read, then the stations merged";
    EXPECT_EQ(steps.back(), std::pair(5LL, 5LL));
    EXPECT_EQ(value("W9XYZ", "Name"), "BOB") << "two logs of three copied BOB";
    EXPECT_EQ(value("W9XYZ", "State"), "IL");
    EXPECT_EQ(value("K1ABC", "Name"), "ED") << "K1ABC's own log says ED";
    EXPECT_EQ(value("K2DEF", "State"), "NY") << "an owner nobody worked is filed from its own word";
    EXPECT_EQ(value("N0QQ", "Name"), "ANN");
    EXPECT_EQ(counts.inserted, 5) << "W9XYZ, N0QQ and the three owners";
    EXPECT_EQ(counts.read, 5);
    EXPECT_EQ(counts.logs.logs, 3);
    EXPECT_EQ(counts.logs.qsos, 6);
    EXPECT_EQ(counts.logs.conflicts, 3) << "W9XYZ's name and state, K1ABC's name";
    EXPECT_THAT(runNotesText(counts), HasSubstr("3 logs read, with 6 QSOs.\n3 values the logs disagreed on were "
                                                "decided by the vote.\n"));
    EXPECT_TRUE(fs::exists(history + ".bup"));
}

TEST_F(ContestLogsImportTest, AnOwnersOwnExchangeOverridesTwoCopies) {
    const std::vector<std::string> logs{
        writeLog("a.log", naqpLog("K1ABC", "ED MA", {"K5ZD RANDI TX"})),
        writeLog("b.log", naqpLog("K2DEF", "SUE NY", {"K5ZD RANDI TX"})),
        writeLog("own.log", naqpLog("K5ZD", "RANDY MA", {"K1ABC ED MA"})),
    };
    importLogs(logs, "NAQP-CW");
    EXPECT_EQ(value("K5ZD", "Name"), "RANDY");
    EXPECT_EQ(value("K5ZD", "State"), "MA");
}

TEST_F(ContestLogsImportTest, MinLogsKeepsOutNewCallsCopiedTooRarelyButUpdatesKnownOnes) {
    kv::testing::writeHistoryDatabase(history, "Call,Name\nW1BUSY,OLD\n");
    const std::vector<std::string> logs{
        writeLog("a.log", naqpLog("K1ABC", "ED MA", {"W9XYZ BOB IL", "W9XZY BOB IL", "W1BUSY NEW CT"})),
        writeLog("b.log", naqpLog("K2DEF", "SUE NY", {"W9XYZ BOB IL"})),
    };
    const ImportCounts counts = importLogs(logs, "NAQP-CW", 2);
    EXPECT_THAT(calls(), ElementsAre("W1BUSY", "W9XYZ", "K1ABC", "K2DEF"))
        << "W9XZY, a busted call, was worked once; the owners are in by their own logs";
    EXPECT_EQ(value("W1BUSY", "Name"), "NEW") << "a station History knows is updated by one log";
    EXPECT_EQ(counts.heldBack, 1);
    EXPECT_EQ(counts.updated, 1);
    EXPECT_THAT(runNotesText(counts), HasSubstr("1 new station was not inserted: worked by fewer logs than the "
                                                "minimum.\n"));
}

TEST_F(ContestLogsImportTest, MalformedLinesAndOtherContestsAreSkippedCountedAndPlaced) {
    const std::string good = writeLog("good.log", naqpLog("K1ABC", "ED MA", {"W9XYZ BOB IL", "N0QQ ANN"}));
    const std::string other = writeLog("ss.log",
                                       "START-OF-LOG: 3.0\nCALLSIGN: K5ZD\nCONTEST: ARRL-SS-CW\n"
                                       "QSO: 14025 CW 2026-11-07 2101 K5ZD 1 A 69 STX W1AW 12 B 99 CT\n");
    const ImportCounts counts = importLogs({good, other}, "NAQP-CW");
    EXPECT_EQ(counts.logs.malformed, 1);
    EXPECT_EQ(counts.logs.firstMalformed, good + " line 6") << "the QSO line with too few fields";
    EXPECT_EQ(counts.logs.otherContest, 1);
    EXPECT_EQ(counts.logs.qsos, 3);
    EXPECT_EQ(value("N0QQ", "Name"), "<no row>");
    EXPECT_EQ(value("W1AW", "Name"), "<no row>");
    EXPECT_THAT(runNotesText(counts), HasSubstr("1 malformed QSO was skipped; the first at " + good +
                                                " line 6.\n"
                                                "1 QSO of another contest was skipped.\n"));
}

TEST_F(ContestLogsImportTest, SweepstakesAndFieldDayGoWhereTheirRowsSay) {
    const std::string ss = writeLog("ss.log",
                                    "START-OF-LOG: 3.0\nCALLSIGN: K5ZD\nCONTEST: ARRL-SS-CW\n"
                                    "QSO: 14025 CW 2026-11-07 2101 K5ZD 1 A 69 STX W1AW 12 B 99 CT\n");
    importLogs({ss}, "ARRL-SS-CW");
    EXPECT_EQ(value("W1AW", "Ck"), "99");
    EXPECT_EQ(value("W1AW", "Sect"), "CT");
    EXPECT_EQ(value("K5ZD", "Ck"), "69") << "the sender's own check";

    const std::string fd = writeLog("fd.log",
                                    "START-OF-LOG: 3.0\nCALLSIGN: W1AW\nCONTEST: ARRL-FD\n"
                                    "QSO: 7000 CW 2025-06-28 1801 W1AW 2A CT K1ABC 1D EMA\n");
    importLogs({fd}, "arrl-fd");
    EXPECT_EQ(value("K1ABC", "data2"), "1D") << "the class rolls in data2";
    EXPECT_EQ(value("K1ABC", "Sect"), "EMA");

    // ARRL DX: W/VE send their state, DX stations their power; LOCATION tells which side a log is.
    const std::string dx = writeLog("dx.log",
                                    "START-OF-LOG: 3.0\nCALLSIGN: DL1ABC\nCONTEST: ARRL-DX-CW\nLOCATION: dx\n"
                                    "QSO: 14025 CW 2026-02-15 1200 DL1ABC 599 100 W2XYZ 599 NJ\n");
    const std::string us = writeLog("us.log",
                                    "START-OF-LOG: 3.0\nCALLSIGN: W3ABC\nCONTEST: ARRL-DX-CW\nLOCATION: EPA\n"
                                    "QSO: 14025 CW 2026-02-15 1201 W3ABC 599 PA G4XYZ 599 KW\n");
    importLogs({dx, us}, "ARRL-DX-CW");
    EXPECT_EQ(value("DL1ABC", "Power"), "100");
    EXPECT_EQ(value("W2XYZ", "State"), "NJ");
    EXPECT_EQ(value("W3ABC", "State"), "PA");
    EXPECT_EQ(value("G4XYZ", "Power"), "KW");
}

TEST_F(ContestLogsImportTest, AdifRecordsGoByFieldNameAndOnlyTheRunsContestIsTaken) {
    const std::string adif = writeLog("log.adi",
                                      "ADIF export\n<adif_ver:5>3.1.4\n<EOH>\n"
                                      "<call:5>W9XYZ<Name:3>BOB<STATE:2>IL<contest_id:7>NAQP-CW<qso_date:8>20260110"
                                      "<time_on:4>1800<station_callsign:5>K1ABC<my_name:2>ED<my_state:2>MA<eor>\n"
                                      "<CALL:4>W1AW<NAME:5>HIRAM<CONTEST_ID:10>ARRL-SS-CW<EOR>\n"
                                      "<CALL:4>N0QQ<SRX_STRING:7>ANN 123<EOR>\n"
                                      "<CALL:4>K5ZD<NAME:50>RANDY<EOR>\n");
    const ImportCounts counts = importLogs({adif}, "NAQP-CW");
    EXPECT_EQ(value("W9XYZ", "Name"), "BOB");
    EXPECT_EQ(value("W9XYZ", "State"), "IL");
    EXPECT_EQ(value("K1ABC", "Name"), "ED") << "MY_ fields are the owner's own word";
    EXPECT_EQ(value("W1AW", "Name"), "<no row>") << "another contest's record";
    EXPECT_EQ(value("N0QQ", "Exch1"), "ANN 123") << "a record without a CONTEST_ID is the run's contest";
    EXPECT_EQ(counts.logs.otherContest, 1);
    EXPECT_EQ(counts.logs.malformed, 1);
    EXPECT_EQ(counts.logs.firstMalformed, adif + " line 7") << "a length past the end of the file";

    // A file that is no UTF-8 is Windows-1252, and its lengths count its bytes.
    const std::string ansi = writeLog("ansi.adi", "<CALL:4>EA1X<NAME:4>JOS\xC9<CONTEST_ID:7>NAQP-CW<EOR>\n");
    importLogs({ansi}, "NAQP-CW");
    EXPECT_EQ(value("EA1X", "Name"), "JOS\xC3\x89");
}

TEST_F(ContestLogsImportTest, RefusalsNameTheFileOrContestAndChangeNothing) {
    const std::string good = writeLog("good.log", naqpLog("K1ABC", "ED MA", {"W9XYZ BOB IL"}));
    const std::string text = writeLog("calls.txt", "!!Order!!,Call,Name\nW1AW,HIRAM\n");
    const std::string before = fileBytes(history);
    EXPECT_THAT(
        [&] {
            importLogs({good, text}, "NAQP-CW");
        },
        ThrowsMessage<NotAContestLog>(StrEq(text + " is neither a Cabrillo log nor an ADIF file")));
    EXPECT_THAT([&] { importLogs({good}, "NO-SUCH-TEST"); },
                ThrowsMessage<std::runtime_error>(
                    StrEq("The mapping workbook has no CabrilloMapping row for the contest \"NO-SUCH-TEST\"")));
    EXPECT_THAT([&] { importLogs({good}, "CQ-WPX-CW"); },
                ThrowsMessage<std::runtime_error>(StrEq(
                    "The contest \"CQ-WPX-CW\" (CQWPXCW in the mapping workbook) does not take part in call history")));
    EXPECT_EQ(fileBytes(history), before);
    EXPECT_FALSE(fs::exists(history + ".bup")) << "refused before the backup";

    EXPECT_THAT(contestsOfLogs({good, writeLog("x.adi",
                                               "<CALL:4>W1AW<CONTEST_ID:7>naqp-cw<EOR>"
                                               "<CALL:4>W2AW<CONTEST_ID:6>CQ-VHF<EOR>")}),
                ElementsAre("NAQP-CW", "CQ-VHF"));
}
