// kestrovane-cli import-log run as a process on the logger's SQLite log: the real log's Field Day
// imported and exported, an instance of a contest held twice chosen by its start, and the logs it
// refuses. No run, failed ones included, changes the log or leaves a file beside it.
#include "cli_test_support.h"
#include "sqlite_logs.h"

#include <filesystem>
#include <fstream>

using namespace kv::cli::testing;
using kv::testing::FileState;
using kv::testing::qso;
using kv::testing::sqliteRows;
namespace fs = std::filesystem;

class CliSqliteImportLog : public CliTest {
protected:
    void SetUp() override {
        auto made = cli({"--history", database, "new"});
        ASSERT_EQ(made.status, 0) << made.err;
    }

    CliRun importLog(const std::string& log, std::vector<std::string> more) {
        std::vector<std::string> arguments{"--history", database, "import-log", log};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return cli(arguments);
    }

    const std::string database = file("calls.mdb");
};

TEST_F(CliSqliteImportLog, TheRealLogsFieldDayIsImportedAndExported) {
    const std::string log = kv::testing::copyRealLog(folder());
    const FileState before = FileState::of(log);
    const auto fieldDay = sqliteRows(log,
                                     "SELECT Call, Sect, Exchange1 FROM DXLOG WHERE ContestNR = "
                                     "(SELECT ContestNR FROM ContestInstance WHERE ContestName = 'FD') ORDER BY rowid");
    ASSERT_FALSE(fieldDay.empty());

    auto run = importLog(log, {"--contest", "FD"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string count = std::to_string(fieldDay.size());
    EXPECT_EQ(run.out, "read " + count + ", inserted " + count + ", updated 0, unchanged 0\n");
    EXPECT_EQ(FileState::of(log), before);

    const std::string target = file("FD.txt");
    auto exported = cli({"--history", database, "export", "FD", "--to", target});
    EXPECT_EQ(exported.status, 0) << exported.err;
    // The workbook's FD export: the fields of shared Field Day files, the class as Exch1.
    std::string expected = "!!Order!!,Call,Sect,Exch1,UserText\r\n";
    for (const auto& qso : fieldDay) expected += *qso[0] + "," + *qso[1] + "," + *qso[2] + ",\r\n";
    EXPECT_EQ(fileBytes(target), expected);

    auto again = importLog(log, {"--contest", "FD", "--start", "2026-05-16"});
    EXPECT_EQ(again.out, "read " + count + ", inserted 0, updated 0, unchanged " + count + "\n") << again.err;
    EXPECT_EQ(FileState::of(log), before);
}

TEST_F(CliSqliteImportLog, AContestHeldTwiceIsChosenByItsStart) {
    const std::string log = file("log.s3db");
    kv::testing::writeLoggerLog(
        log, {{"ContestInstance",
               {kv::testing::contestInstance(1, "FD", "2024-06-22", 3),
                kv::testing::contestInstance(2, "FD", "2025-06-28 18:00:00", 4)}},
              {"DXLOG",
               {qso(1, "2024-06-22 18:01:00", "W1AW", "FD", 3, {{"Sect", "CT"}, {"Exchange1", "2A"}}),
                qso(2, "2025-06-28 18:01:00", "W1AW", "FD", 4, {{"Sect", "CT"}, {"Exchange1", "3A"}}),
                qso(3, "2025-06-28 18:02:00", "VE3ÅÄÖ", "FD", 4, {{"Sect", "ONE"}, {"Exchange1", "1E"}})}}});
    const FileState before = FileState::of(log);

    auto ambiguous = importLog(log, {"--contest", "FD"});
    EXPECT_EQ(ambiguous.status, 1);
    EXPECT_NE(ambiguous.err.find("FD,6-22-2024, FD,6-28-2025 18:00:00"), std::string::npos) << ambiguous.err;
    EXPECT_EQ(FileState::of(log), before);

    auto run = importLog(log, {"--contest", "FD", "--start", "2025-06-28"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read 2, inserted 2, updated 0, unchanged 0\n");
    EXPECT_EQ(kv::testing::columnValues(database, "History", "Call"), (std::vector<std::string>{"W1AW", "VE3ÅÄÖ"}));
    EXPECT_EQ(kv::testing::columnValues(database, "History", "data2"), (std::vector<std::string>{"3A", "1E"}));
    EXPECT_EQ(FileState::of(log), before);
}

TEST_F(CliSqliteImportLog, LogsItCannotUseAreRefusedAndLeftAsTheyWere) {
    const std::string noDxlog = file("other.s3db");
    kv::testing::SqliteWriter(noDxlog).execute("CREATE TABLE ContestInstance (ContestName TEXT)");
    const std::string truncated = file("truncated.s3db");
    const std::string whole = fileBytes(kv::testing::kRealLog);
    std::ofstream(truncated, std::ios::binary) << whole.substr(0, whole.size() / 3);
    const std::string real = kv::testing::copyRealLog(folder());

    for (const auto& [log, contest, said] :
         {std::tuple{noDxlog, "FD", std::string("Selected database file not a valid N1MM Logger database\n")},
          {truncated, "FD",
           errorLine(truncated + " is damaged or truncated (SQLite: database disk image is malformed)")},
          {real, "DX", std::string("The log holds no contest \"DX\"")}}) {
        const FileState before = FileState::of(log);
        const std::string history = fileBytes(database);
        auto run = importLog(log, {"--contest", contest});
        EXPECT_EQ(run.status, 1) << log;
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
        EXPECT_EQ(FileState::of(log), before) << log;
        EXPECT_EQ(fileBytes(database), history) << log;
    }
}

TEST_F(CliSqliteImportLog, AContestNumberThatSpellsAConditionMatchesOnlyItself) {
    const std::string spelled = "7 OR ContestNR <> 7";
    auto numbered = [&](kv::testing::SqlRow row) {  // the row with `spelled` as its ContestNR
        for (auto& [column, value] : row)
            if (column == "ContestNR") value = spelled;
        return row;
    };
    const std::string log = file("spelled.s3db");
    kv::testing::writeLoggerLog(
        log, {{"ContestInstance",
               {numbered(kv::testing::contestInstance(1, "FD", "2025-06-28", 0)),
                kv::testing::contestInstance(2, "NAQPCW", "2025-08-02", 7),
                kv::testing::contestInstance(3, "FD", "2024-06-22", 8)}},
              {"DXLOG",
               {numbered(qso(1, "2025-06-28 18:01:00", "W1AW", "FD", 0, {{"Sect", "CT"}, {"Exchange1", "2A"}})),
                qso(2, "2025-08-02 18:01:00", "K7XVB", "NAQPCW", 7, {{"Name", "ED"}, {"Sect", "WA"}}),
                qso(3, "2024-06-22 18:01:00", "N0FD", "FD", 8, {{"Sect", "MN"}, {"Exchange1", "1D"}}),
                qso(4, "2025-08-02 18:02:00", "N6QWZ", "NAQPCW", 7, {{"Name", "LIZ"}, {"Sect", "CA"}})}}});
    ASSERT_EQ(sqliteRows(log, "SELECT typeof(ContestNR) FROM DXLOG WHERE rowid = 1")[0][0], "text");

    auto run = importLog(log, {"--contest", "FD", "--start", "2025-06-28"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read 1, inserted 1, updated 0, unchanged 0\n");
    EXPECT_EQ(kv::testing::columnValues(database, "History", "Call"), std::vector<std::string>{"W1AW"});

    // The number 7 is matched by its value still.
    auto naqp = importLog(log, {"--contest", "NAQPCW"});
    EXPECT_EQ(naqp.status, 0) << naqp.err;
    EXPECT_EQ(naqp.out, "read 2, inserted 2, updated 0, unchanged 0\n");
    EXPECT_EQ(kv::testing::columnValues(database, "History", "Call"),
              (std::vector<std::string>{"W1AW", "K7XVB", "N6QWZ"}));
}
