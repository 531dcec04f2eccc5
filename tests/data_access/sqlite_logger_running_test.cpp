// The SQLite provider reading a log that the logger has open, or left behind in the middle of its
// work: commits still in the -wal, locks it holds, a hot journal, a damaged or truncated file. The
// file is never written and no file is left beside it; every refusal says what is wrong.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/sqlite_provider.h"
#include "sqlite_logs.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using kv::testing::FileState;
using kv::testing::qso;
using kv::testing::SqliteWriter;
using ::testing::AllOf;
using ::testing::EndsWith;
using testing::readFile;
using ::testing::StartsWith;
using testing::TempDir;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

// The calls of DXLOG, read as the import reads the logger's database.
std::vector<std::string> loggedCalls(const std::string& log) {
    Connection connection;
    connection.setConnectionString(kv::testing::loggerConnection(log));
    Cursor qsos("ADODataSet_HamDb");
    qsos.setConnection(&connection);
    qsos.setTableName("DXLOG");
    qsos.open();
    std::vector<std::string> calls;
    for (qsos.first(); !qsos.atEnd(); qsos.next()) calls.push_back(qsos.text("Call"));
    return calls;
}

// Everything the provider can be asked to read.
void readEverything(const std::string& log) {
    auto provider = openSqliteProvider(log);
    for (const std::string& table : provider->tableNames()) provider->openTable(table);
}

std::string copyInto(const fs::path& folder, const std::string& file) {
    fs::create_directories(folder);
    const fs::path copy = folder / fs::path(file).filename();
    fs::copy_file(file, copy);
    return copy.string();
}

class SqliteLoggerRunning : public ::testing::Test {
protected:
    void SetUp() override {
        kv::testing::writeLoggerLog(
            log, {{"ContestInstance", {kv::testing::contestInstance(1, "FD", "2025-06-28 18:00:00", 1)}},
                  {"DXLOG",
                   {qso(1, "2025-06-28 18:01:00", "W1AW", "FD", 1), qso(2, "2025-06-28 18:02:00", "K1ABC", "FD", 1)}}});
    }

    void useRollbackJournal() { SqliteWriter(log).execute("PRAGMA journal_mode = DELETE"); }

    TempDir dir;
    const std::string log = dir.file("logger.s3db");
};

TEST_F(SqliteLoggerRunning, ItsCommitsStillInTheWalAreReadAndItsWalIsLeftAlone) {
    SqliteWriter logger(log);
    logger.execute("PRAGMA wal_autocheckpoint = 0");
    logger.insert("DXLOG", qso(3, "2025-06-28 18:03:00", "VE3AAA", "FD", 1));
    const std::string fileBytes = readFile(log), walBytes = readFile(log + "-wal");

    EXPECT_EQ(loggedCalls(log), (std::vector<std::string>{"W1AW", "K1ABC", "VE3AAA"}));
    EXPECT_EQ(readFile(log), fileBytes);
    EXPECT_EQ(readFile(log + "-wal"), walBytes);

    logger.insert("DXLOG", qso(4, "2025-06-28 18:04:00", "N0XYZ", "FD", 1));
    EXPECT_EQ(loggedCalls(log).back(), "N0XYZ") << "each load reads the log afresh";
}

TEST_F(SqliteLoggerRunning, ALogLeftWithCommitsInItsWalIsReadWithoutACheckpoint) {
    std::string left, leftWal;
    {
        SqliteWriter logger(log);
        logger.execute("PRAGMA wal_autocheckpoint = 0");
        logger.insert("DXLOG", qso(3, "2025-06-28 18:03:00", "VE3AAA", "FD", 1));
        // What a logger that was killed leaves: the file and its -wal, no one holding them.
        left = copyInto(dir.path() / "left", log);
        leftWal = copyInto(dir.path() / "left", log + "-wal");
    }
    const std::string fileBytes = readFile(left), walBytes = readFile(leftWal);
    EXPECT_EQ(loggedCalls(left), (std::vector<std::string>{"W1AW", "K1ABC", "VE3AAA"}));
    EXPECT_EQ(readFile(left), fileBytes) << "the -wal is not copied into the file";
    ASSERT_TRUE(fs::exists(leftWal));
    EXPECT_EQ(readFile(leftWal), walBytes) << "the logger replays it when it opens the log again";
}

TEST_F(SqliteLoggerRunning, ARollbackJournalLogIsReadWithoutKeepingALockOrLeavingAFile) {
    useRollbackJournal();
    const FileState before = FileState::of(log);
    Connection connection;
    connection.setConnectionString("Data Source=" + log);
    Cursor qsos("ADODataSet_HamDb");
    qsos.setConnection(&connection);
    qsos.setTableName("DXLOG");
    qsos.open();
    EXPECT_EQ(FileState::of(log), before);

    SqliteWriter logger(log);  // waits for no lock: a busy log would make its insert fail at once
    logger.insert("DXLOG", qso(3, "2025-06-28 18:03:00", "VE3AAA", "FD", 1));
    EXPECT_EQ(qsos.recordCount(), 2) << "the loaded table stays as it was read";
}

TEST_F(SqliteLoggerRunning, ALockTheLoggerHoldsIsWaitedForAMomentThenNamed) {
    for (const bool wal : {false, true}) {
        SCOPED_TRACE(wal ? "WAL mode, exclusive locking" : "rollback journal, a write under way");
        const std::string path = copyInto(dir.path() / (wal ? "wal" : "rollback"), log);
        if (!wal) SqliteWriter(path).execute("PRAGMA journal_mode = DELETE");
        auto logger = std::make_optional<SqliteWriter>(path);
        if (wal) {
            logger->execute("PRAGMA locking_mode = EXCLUSIVE");
            logger->insert("DXLOG", qso(3, "2025-06-28 18:03:00", "VE3AAA", "FD", 1));
        } else {
            logger->execute("BEGIN EXCLUSIVE");
        }
        const FileState before = FileState::of(path);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THAT([&] { readEverything(path); },
                    ThrowsMessage<std::runtime_error>(
                        AllOf(StartsWith(path + " is locked by another program that is writing to it (SQLite: "),
                              EndsWith("); try again when it is done"))));
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::seconds(1)) << "a commit under way gets the time to end";
        EXPECT_LT(waited, std::chrono::seconds(10)) << "a lock kept for good is not waited for long";
        EXPECT_EQ(FileState::of(path), before);

        logger.reset();
        EXPECT_NO_THROW(readEverything(path)) << "the log reads once the logger has let it go";
    }
}

TEST_F(SqliteLoggerRunning, AHotJournalIsRefusedAndLeftForItsWriter) {
    useRollbackJournal();
    std::string left, leftJournal;
    {
        SqliteWriter logger(log);
        // A small cache makes the logger write its journal and then the file in the middle of the change.
        logger.execute("PRAGMA cache_size = 2; BEGIN");
        for (int n = 3; n < 400; ++n)
            logger.insert("DXLOG", qso(n, "2025-06-28 19:00:00", "K" + std::to_string(n) + "XX", "FD", 1));
        left = copyInto(dir.path() / "left", log);
        leftJournal = copyInto(dir.path() / "left", log + "-journal");
        logger.execute("ROLLBACK");
    }
    const FileState before = FileState::of(left);
    const std::string journalBytes = readFile(leftJournal);
    EXPECT_THAT([&] { readEverything(left); }, ThrowsMessage<std::runtime_error>(StartsWith(
                                                   left + " holds a change that its writer did not finish (SQLite: ")));
    EXPECT_EQ(FileState::of(left), before) << "rolling the journal back is its writer's work";
    EXPECT_EQ(readFile(leftJournal), journalBytes);
}

TEST(SqliteDamagedLog, ADamagedOrTruncatedLogIsRefusedAndLeftAsItWas) {
    TempDir dir;
    const std::string whole = readFile(kv::testing::kRealLog);
    const std::size_t page = 4096;
    std::string garbled = whole;
    for (std::size_t i = page; i < garbled.size(); ++i) garbled[i] = static_cast<char>(0xA5 ^ (i % 7));
    std::string badPageSize = whole;
    badPageSize[16] = 0x03;  // a page size that is no power of two
    const std::vector<std::pair<std::string, std::string>> damaged = {{"half", whole.substr(0, whole.size() / 2)},
                                                                      {"one page", whole.substr(0, page)},
                                                                      {"header", whole.substr(0, 100)},
                                                                      {"garbled", garbled},
                                                                      {"page size", badPageSize}};
    for (const auto& [what, bytes] : damaged) {
        const std::string path = dir.file(what + ".s3db");
        testing::writeFile(path, bytes);
        const FileState before = FileState::of(path);
        EXPECT_THAT([&] { readEverything(path); },
                    ThrowsMessage<std::runtime_error>(StartsWith(path + " is damaged or truncated (SQLite: ")))
            << what;
        EXPECT_EQ(FileState::of(path), before) << what;
    }
}

}  // namespace
}  // namespace kv::data_access
