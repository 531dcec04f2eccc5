// The backups a History database keeps: their rotation, their listing, and a restore that can be
// undone and that leaves the database as it was when it fails.
#include "history_db/backup_set.h"
#include "history_db/history_store.h"
#include "history_db/restore_backup.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>

using namespace kv::history_db;
using kv::testing::columnValues;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

class BackupSetTest : public ::testing::Test {
protected:
    // The database holding one station, `call`, as a run would have left it.
    void holds(const std::string& call) { writeHistoryDatabase(path, "Call,Name\n" + call + ",Op\n"); }
    std::vector<std::string> callsIn(const std::string& file) const { return columnValues(file, "History", "Call"); }

    ProgramFiles files;
    const std::string path = files.file("calls.mdb");
    const std::vector<std::string> slots = backupPaths(path);
};

}  // namespace

TEST_F(BackupSetTest, EachBackupMovesOlderUntilTheOldestKeptGoes) {
    ASSERT_EQ(slots, (std::vector<std::string>{path + ".bup", path + ".bup.1", path + ".bup.2"}));
    for (const char* call : {"K1A", "K1B", "K1C", "K1D"}) {
        holds(call);
        backUpDatabase(path);
    }
    EXPECT_EQ(callsIn(slots[0]), std::vector<std::string>{"K1D"});
    EXPECT_EQ(callsIn(slots[1]), std::vector<std::string>{"K1C"});
    EXPECT_EQ(callsIn(slots[2]), std::vector<std::string>{"K1B"});
    EXPECT_FALSE(fs::exists(path + ".bup.3")) << "no more than " << kBackupsKept << " are kept";

    const std::string before = fileBytes(slots[1]);
    backUpDatabase(path);
    backUpDatabase(path);
    EXPECT_EQ(callsIn(slots[0]), std::vector<std::string>{"K1D"});
    EXPECT_EQ(fileBytes(slots[1]), before) << "backing up an unchanged file again pushes no backup out";
    EXPECT_EQ(callsIn(slots[2]), std::vector<std::string>{"K1B"});

    // A copy that cannot be made (here: no database to read) moves no backup along.
    fs::remove(path);
    EXPECT_ANY_THROW(backUpDatabase(path));
    EXPECT_EQ(callsIn(slots[0]), std::vector<std::string>{"K1D"});
    EXPECT_EQ(callsIn(slots[2]), std::vector<std::string>{"K1B"});
}

TEST_F(BackupSetTest, TheListingCountsEachBackupAndSaysWhyOneCannotBeRestored) {
    EXPECT_TRUE(listBackups(path).empty());
    writeHistoryDatabase(path, "Call\nK1A\nK1B\n");
    backUpDatabase(path);
    fs::copy_file(KV_FIXTURES_DIR "/jet4/testV2000.mdb", slots[1]);
    std::ofstream(slots[2]) << "no database at all\n";

    const std::vector<BackupEntry> backups = listBackups(path);
    ASSERT_EQ(backups.size(), 3u);
    EXPECT_EQ(backups[0].index, 0u);
    EXPECT_EQ(backups[0].stations, 2);
    EXPECT_THAT(backups[0].modified, ::testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}"));
    EXPECT_EQ(backupLine(backups[0]), "calls.mdb.bup  " + backups[0].modified + "  2 stations");
    EXPECT_FALSE(backups[1].usable());
    EXPECT_EQ(backups[1].problem, NotAHistoryDatabase().what());
    EXPECT_FALSE(backups[2].usable());
    EXPECT_THAT(backups[2].problem, HasSubstr("is not an Access database"));

    const std::string database = fileBytes(path);
    EXPECT_THAT(
        [&] { restoreBackup(path, 1); },
        ThrowsMessage<RestoreRefused>(HasSubstr(slots[1] + " cannot be restored: " + NotAHistoryDatabase().what())));
    EXPECT_THROW(restoreBackup(path, 2), RestoreRefused);
    fs::remove(slots[2]);
    EXPECT_THAT([&] { restoreBackup(path, 2); },
                ThrowsMessage<RestoreRefused>(HasSubstr("There is no backup number 2 of " + path)));
    EXPECT_EQ(fileBytes(path), database) << "a refused restore leaves the database as it was";
}

TEST_F(BackupSetTest, ADamagedBackupIsNotRestored) {
    writeHistoryDatabase(path, "Call\nK1A\nK1B\nK1C\n");
    backUpDatabase(path);
    const std::string damage = kv::testing::blankDataPage(slots[0], "History");
    holds("K9Z");
    const std::vector<BackupEntry> backups = listBackups(path);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].problem, damage);
    EXPECT_THROW(restoreBackup(path, 0), RestoreRefused);
    EXPECT_EQ(callsIn(path), std::vector<std::string>{"K9Z"});
}

TEST_F(BackupSetTest, ARestoreBacksTheDatabaseUpFirstSoThatItCanBeUndone) {
    holds("K1OLD");
    backUpDatabase(path);
    holds("K1NEW");
    backUpDatabase(path);
    holds("K1NOW");

    const RestoreOutcome outcome = restoreBackup(path, 1);
    EXPECT_EQ(outcome.restored.path, slots[1]);
    EXPECT_EQ(outcome.text(), "Backup " + slots[1] + " restored, 1 stations");
    EXPECT_EQ(callsIn(path), std::vector<std::string>{"K1OLD"});
    EXPECT_EQ(callsIn(slots[0]), std::vector<std::string>{"K1NOW"}) << "the database before the restore";
    EXPECT_EQ(callsIn(slots[1]), std::vector<std::string>{"K1NEW"});
    EXPECT_EQ(callsIn(slots[2]), std::vector<std::string>{"K1OLD"});
    EXPECT_EQ(HistoryStore(path).count(), 1) << "the restored file opens as a History database";

    restoreBackup(path, 0);
    EXPECT_EQ(callsIn(path), std::vector<std::string>{"K1NOW"}) << "the restore undone";
}

TEST_F(BackupSetTest, ARestoreThatFailsHalfWayLeavesTheDatabaseAsItWas) {
    holds("K1OLD");
    backUpDatabase(path);
    holds("K1MID");
    backUpDatabase(path);
    holds("K1NOW");
    // The backups cannot move older: a folder that is not empty stands where the oldest would go.
    fs::create_directories(slots[2] + "/in-the-way");
    const std::string before = fileBytes(path);

    EXPECT_THAT([&] { restoreBackup(path, 1); },
                ThrowsMessage<std::runtime_error>(HasSubstr("Cannot move the backup " + slots[1] + " to " + slots[2])));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(callsIn(slots[0]), std::vector<std::string>{"K1MID"});
    EXPECT_EQ(callsIn(slots[1]), std::vector<std::string>{"K1OLD"});
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(files.path())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("calls.mdb") && !name.ends_with(".csv")) left.insert(name);
    }
    EXPECT_EQ(left, (std::set<std::string>{"calls.mdb", "calls.mdb.bup", "calls.mdb.bup.1", "calls.mdb.bup.2"}))
        << "the restore's copy is gone";
}
