// Importing from the logger's SQLite log (.s3db), as from its Access database: the real log's
// Field Day, a larger log made with the logger's schema (two instances of one contest, names beyond
// ASCII, NULLs and empty texts), a log the logger has open, and the logs refused. The log is never changed, not even by an operation that fails.
#include "import/contest_entry.h"
#include "import/import_run.h"
#include "import/logger_log.h"
#include "operation_files.h"
#include "sqlite_logs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>

using namespace kv::import;
using kv::testing::columnValues;
using kv::testing::contestInstance;
using kv::testing::FileState;
using kv::testing::qso;
using kv::testing::sqliteRows;
using kv::testing::SqlRow;
using ::testing::StartsWith;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

// History's rows by call: column name to value.
using HistoryRows = std::map<std::string, std::map<std::string, std::string>>;

class SqliteLogImport : public ::testing::Test {
protected:
    // The logger's log chosen as the import's source: the entries of its contests that the
    // workbook takes for call history, as the contest list shows them.
    std::vector<std::string> chooseLog(const std::string& log) {
        chosen.reset();
        chosen.emplace(log);
        listed = chosen->historyContests(workbook);
        std::vector<std::string> entries;
        for (const ContestInstance& contest : listed) entries.push_back(contestEntryText(contest.name, contest.start));
        return entries;
    }

    ImportCounts importEntry(const std::string& entry) {
        for (const ContestInstance& contest : listed)
            if (contestEntryText(contest.name, contest.start) == entry) {
                LoggerContest source(*chosen, contest);
                return runImport(store, source, workbook, {});
            }
        throw std::runtime_error("no entry " + entry);
    }

    HistoryRows historyRows() {
        store.close();
        HistoryRows rows;
        const auto calls = columnValues(history, "History", "Call");
        for (const char* column : {"Name", "Sect", "State", "Ck", "data2", "data3"}) {
            const auto values = columnValues(history, "History", column);
            for (std::size_t i = 0; i < calls.size(); ++i) rows[calls[i]][column] = values[i];
        }
        return rows;
    }

    kv::testing::ProgramFiles files;
    const std::string history = [this] {
        const std::string path = files.file("calls.mdb");
        fs::copy_file(files.file(kv::history_db::kTemplateFileName), path);
        return path;
    }();
    kv::history_db::HistoryStore store{history};
    kv::mapping::MappingWorkbook workbook{files.file("mapping.xls")};
    std::optional<LoggerLog> chosen;
    std::vector<ContestInstance> listed;
};

TEST_F(SqliteLogImport, TheRealLogsFieldDayImportsWithoutItsDeletedQso) {
    const std::string log = kv::testing::copyRealLog(files.path());
    const FileState before = FileState::of(log);

    EXPECT_EQ(chooseLog(log), std::vector<std::string>{"FD,5-16-2026 18:00:00"})
        << "DELETEDQS and DX are no contests the mapping takes for call history";
    EXPECT_EQ(FileState::of(log), before);

    const auto fieldDay = sqliteRows(log,
                                     "SELECT Call, Sect, Exchange1 FROM DXLOG WHERE ContestNR = "
                                     "(SELECT ContestNR FROM ContestInstance WHERE ContestName = 'FD')");
    const ImportCounts counts = importEntry("FD,5-16-2026 18:00:00");
    EXPECT_EQ(counts.read, static_cast<long long>(fieldDay.size()));
    EXPECT_EQ(counts.inserted, counts.read);
    EXPECT_EQ(FileState::of(log), before);

    const HistoryRows rows = historyRows();
    EXPECT_EQ(rows.size(), fieldDay.size());
    for (const auto& qso : fieldDay) {
        ASSERT_TRUE(rows.contains(*qso[0])) << *qso[0];
        EXPECT_EQ(rows.at(*qso[0]).at("Sect"), *qso[1]);
        EXPECT_EQ(rows.at(*qso[0]).at("data2"), *qso[2]);
    }
    for (const auto& deleted : sqliteRows(log, "SELECT Call FROM DXLOG WHERE ContestNR = -1"))
        EXPECT_FALSE(rows.contains(*deleted[0])) << "the deleted QSO belongs to DELETEDQS";
}

// Field Day 2024 works stations 0 to kStations - 1, Field Day 2025 as many from kStations / 2 on,
// so half of them were heard the year before. Every third station's class changes in 2025; the
// sections stay.
constexpr int kStations = 400;
std::string call(int station) { return "K" + std::to_string(station) + "FD"; }
std::string fieldDayClass(int station, int year) {
    const int transmitters = 1 + station % 5 + (year == 2025 && station % 3 == 0 ? 1 : 0);
    return std::to_string(transmitters) + "ABCDEF"[station % 6];
}
std::string section(int station) {
    static const char* const sections[] = {"EMA", "CT", "STX", "ONE", "SCV", "WWA", "GA"};
    return sections[station % 7];
}

class LargerSqliteLogImport : public SqliteLogImport {
protected:
    void SetUp() override {
        std::vector<SqlRow> qsos;
        // A QSO a second, so that no two share their time and call, the log's primary key.
        auto logged = [&](const std::string& call, const std::string& contest, std::int64_t nr, const SqlRow& more) {
            const int n = static_cast<int>(qsos.size());
            char time[32];
            std::snprintf(time, sizeof time, "2025-01-01 %02d:%02d:%02d", n / 3600, n / 60 % 60, n % 60);
            qsos.push_back(qso(n, time, call, contest, nr, more));
        };
        for (int year : {2024, 2025})
            for (int s = (year - 2024) * kStations / 2; s < kStations + (year - 2024) * kStations / 2; ++s)
                logged(call(s), "FD", year == 2024 ? 3 : 7,
                       {{"Sect", section(s)}, {"Exchange1", fieldDayClass(s, year)}});
        logged("DELETED1", "FD", -1, {{"Sect", "CT"}, {"Exchange1", "9A"}});
        logged("K7ZOE", "NAQPCW", 5, {{"Name", "Zoë"}, {"Sect", "WA"}});
        logged("DL1JU", "NAQPCW", 5, {{"Name", "Jürgen"}, {"Sect", "DX"}});
        logged("UA3ABC", "NAQPCW", 5, {{"Name", "Пётр"}, {"Sect", "DX"}});
        logged("N0NULL", "NAQPCW", 5, {{"Name", std::monostate{}}, {"Sect", std::monostate{}}});
        logged("N0EMPTY", "NAQPCW", 5, {{"Name", ""}, {"Sect", "MN"}});
        logged("K5ZD", "SSCW", 6, {{"CK", std::int64_t{69}}, {"Sect", "STX"}});
        logged("K7ZOE", "SSCW", 6, {{"CK", std::int64_t{5}}, {"Sect", std::monostate{}}});
        logged("", "SSCW", 6, {{"CK", std::int64_t{12}}, {"Sect", "CT"}});
        logged("  ", "SSCW", 6, {{"Sect", "MA"}});
        // ContestID and ContestNR differ, as they do in a log whose instances were deleted.
        kv::testing::writeLoggerLog(
            log,
            {{"ContestInstance",
              {contestInstance(1, "DELETEDQS", "1900-01-01", -1), contestInstance(2, "DX", "1900-01-01 00:00:00", 0),
               contestInstance(3, "FD", "2024-06-22 00:00:00", 3),
               contestInstance(4, "NAQPCW", "2025-01-11 18:00:00", 5),
               contestInstance(5, "SSCW", "2024-11-02 21:00:00", 6), contestInstance(6, "FD", "2025-06-28 18:00:00", 7),
               contestInstance(8, "RAC", "2024-12-28", 8)}},
             {"DXLOG", qsos}});
    }

    const std::string log = files.file("big log.s3db");
};

TEST_F(LargerSqliteLogImport, TwoInstancesOfAContestImportUnderTheirOwnStartAndMergeTheExchange) {
    const FileState before = FileState::of(log);
    EXPECT_EQ(chooseLog(log), (std::vector<std::string>{"FD,6-22-2024", "FD,6-28-2025 18:00:00",
                                                        "NAQPCW,1-11-2025 18:00:00", "SSCW,11-2-2024 21:00:00"}));
    const ImportCounts first = importEntry("FD,6-22-2024");
    EXPECT_EQ(first.read, kStations);
    EXPECT_EQ(first.inserted, kStations);

    const ImportCounts second = importEntry("FD,6-28-2025 18:00:00");
    int changed = 0;
    for (int s = kStations / 2; s < kStations; ++s) changed += fieldDayClass(s, 2024) != fieldDayClass(s, 2025);
    EXPECT_EQ(second.read, kStations) << "the deleted Field Day QSO is DELETEDQS's";
    EXPECT_EQ(second.inserted, kStations / 2);
    EXPECT_EQ(second.updated, changed);
    EXPECT_EQ(second.unchanged, kStations / 2 - changed);

    const HistoryRows rows = historyRows();
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(kStations + kStations / 2));
    EXPECT_FALSE(rows.contains("DELETED1"));
    for (int s = 0; s < kStations + kStations / 2; ++s) {
        const auto& row = rows.at(call(s));
        const bool heardTwice = s >= kStations / 2 && s < kStations;
        const std::string latest = fieldDayClass(s, s < kStations / 2 ? 2024 : 2025);
        EXPECT_EQ(row.at("data2"), latest) << call(s);
        EXPECT_EQ(row.at("data3"), heardTwice && latest != fieldDayClass(s, 2024) ? fieldDayClass(s, 2024) : "")
            << call(s);
        EXPECT_EQ(row.at("Sect"), section(s)) << call(s);
    }
    EXPECT_EQ(FileState::of(log), before);
}

TEST_F(LargerSqliteLogImport, NamesBeyondAsciiNullsAndEmptyTextsArriveAsTheLogHasThem) {
    const FileState before = FileState::of(log);
    chooseLog(log);
    EXPECT_EQ(importEntry("NAQPCW,1-11-2025 18:00:00").read, 5);
    const ImportCounts sweepstakes = importEntry("SSCW,11-2-2024 21:00:00");
    EXPECT_EQ(sweepstakes.read, 4);
    EXPECT_EQ(sweepstakes.withoutCall, 2) << "a QSO logged without a call, and one with only blanks";
    EXPECT_EQ(sweepstakes.inserted + sweepstakes.updated + sweepstakes.unchanged, 2);

    const HistoryRows rows = historyRows();
    EXPECT_EQ(rows.size(), 6u) << "no row without a call";
    EXPECT_EQ(rows.at("K7ZOE").at("Name"), "Zoë");
    EXPECT_EQ(rows.at("DL1JU").at("Name"), "Jürgen");
    EXPECT_EQ(rows.at("UA3ABC").at("Name"), "Пётр");
    EXPECT_EQ(rows.at("N0NULL").at("Name"), "");
    EXPECT_EQ(rows.at("N0NULL").at("State"), "");
    EXPECT_EQ(rows.at("N0EMPTY").at("State"), "MN");
    EXPECT_EQ(rows.at("K5ZD").at("Ck"), "69") << "an integer of the log as the Access provider writes it";
    EXPECT_EQ(rows.at("K7ZOE").at("Ck"), "5");
    EXPECT_EQ(rows.at("K7ZOE").at("State"), "WA") << "a NULL section clears nothing";
    EXPECT_EQ(rows.at("K7ZOE").at("Sect"), "");
    EXPECT_EQ(FileState::of(log), before);
}

TEST_F(LargerSqliteLogImport, QsosTheRunningLoggerHasOnlyInItsWalAreImported) {
    kv::testing::SqliteWriter logger(log);
    logger.execute("PRAGMA wal_autocheckpoint = 0");
    logger.insert("DXLOG", qso(100000, "2025-06-28 23:59:00", "W1LATE", "FD", 7, {{"Exchange1", "1A"}}));
    const FileState before = FileState::of(log);

    chooseLog(log);
    const ImportCounts counts = importEntry("FD,6-28-2025 18:00:00");
    EXPECT_EQ(counts.read, kStations + 1);
    EXPECT_EQ(historyRows().at("W1LATE").at("data2"), "1A");
    EXPECT_EQ(FileState::of(log), before);
}

TEST_F(SqliteLogImport, ALogWithoutDxlogIsNoLoggerDatabase) {
    const std::string log = files.file("other.s3db");
    kv::testing::SqliteWriter(log).execute("CREATE TABLE ContestInstance (ContestName TEXT, StartDate DATETIME)");
    const FileState before = FileState::of(log);
    EXPECT_THAT([&] { chooseLog(log); },
                ThrowsMessage<NotALoggerDatabase>(StrEq("Selected database file not a valid N1MM Logger database")));
    EXPECT_EQ(FileState::of(log), before);
}

TEST_F(SqliteLogImport, ADamagedLogOrOneThatIsNoSqliteDatabaseIsRefusedWithItsReason) {
    const std::string whole = kv::testing::fileBytes(kv::testing::kRealLog);
    const std::string truncated = files.file("truncated.s3db"), text = files.file("notes.s3db");
    std::ofstream(truncated, std::ios::binary) << whole.substr(0, whole.size() / 2);
    std::ofstream(text) << "TS,Call\n";
    for (const auto& [log, reason] :
         {std::pair{truncated, " is damaged or truncated"}, {text, " is not a SQLite database"}}) {
        const FileState before = FileState::of(log);
        EXPECT_THAT([&] { chooseLog(log); }, ThrowsMessage<std::runtime_error>(StartsWith(log + reason)));
        EXPECT_EQ(FileState::of(log), before);
    }
}

}  // namespace
