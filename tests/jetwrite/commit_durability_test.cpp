// A commit is all or nothing: a writer killed at any instant of a commit leaves a file that opens
// with exactly the rows before or after it (by our reader and by mdb-export); a torn journal is
// discarded, a complete one rolled back, an untrusted one (another file's, another user's, a
// symlink) never applied; a read-only, locked or full file is refused unchanged, a
// disk that fills up during a commit leaves the file as it was, or, when putting it back fails
// too, its journal for the next open to roll back; a journal that cannot be removed is emptied, or
// else the commit is put back; a reader waits for another program's commit to end, and rolls back
// only a journal whose writer is gone; a reader or writer that waited while the file was replaced
// uses the new file.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <span>

#include "jet/committed_read.h"
#include "jet/database.h"
#include "jet/durable_io.h"
#include "jet/rollback_journal.h"
#include "jet/table_writer.h"
#include "jet/writable_database.h"
#include "other_program.h"
#include "scratch_file.h"

namespace kv::jet {
namespace {

using testing::OtherProgram;
using testing::ScratchFolder;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<TableRow> rowsOf(const std::string& path, const std::string& table) {
    Database database(path);
    return database.rows(database.tableDef(database.table(table))).rows;
}

std::string onlyTable(const std::string& path) {
    Database database(path);
    for (const CatalogTable& table : database.tables())
        if (!table.system) return table.name;
    return {};
}

// The rows after a commit that drops, changes and adds rows, so that pages are freed, reused and added.
std::vector<TableRow> changed(std::vector<TableRow> rows) {
    std::vector<TableRow> result;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i % 3 == 0) continue;
        if (i % 3 == 1 && std::holds_alternative<std::string>(rows[i][1]))
            rows[i][1] = std::string("CHANGED ") + std::to_string(i);
        result.push_back(rows[i]);
    }
    for (int i = 0; i < 400; ++i) {
        TableRow row = rows[static_cast<std::size_t>(i)];
        row[0] = static_cast<std::int32_t>(100000 + i);
        result.push_back(row);
    }
    return result;
}

TEST(CommitDurability, WriterKilledAnywhereInACommitLeavesTheFileBeforeOrAfterIt) {
    ScratchFolder folder;
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    std::string table = onlyTable(path);
    const std::string original = bytesOf(path);
    const std::vector<TableRow> before = rowsOf(path, table);
    const std::vector<TableRow> after = changed(before);
    const std::string exportBefore = testing::mdbExport(path, table);

    // One commit without interruption gives the steps to aim at and its duration.
    int steps = 0;
    durable_io::setStepProbe([&] { ++steps; });
    auto started = std::chrono::steady_clock::now();
    commitTable(path, table, after);
    auto duration = std::chrono::steady_clock::now() - started;
    durable_io::setStepProbe({});
    const std::string exportAfter = testing::mdbExport(path, table);
    ASSERT_EQ(rowsOf(path, table), after);
    ASSERT_GT(steps, 8);

    std::mt19937 random(7);
    int endedBefore = 0, endedAfter = 0;
    const int trials = 120;
    for (int trial = 0; trial < trials; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        writeBytes(path, original);
        // Most trials stop the writer just before a chosen step; the others at a random moment.
        bool atStep = trial % 4 != 3;
        int stopAt = 1 + trial * steps / trials;
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int count = 0;
            if (atStep)
                durable_io::setStepProbe([&] {
                    if (++count == stopAt) raise(SIGKILL);
                });
            try {
                commitTable(path, table, after);
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        if (!atStep) {
            auto delay = std::uniform_int_distribution<long>(
                0, std::chrono::duration_cast<std::chrono::microseconds>(duration).count())(random);
            usleep(static_cast<useconds_t>(delay));
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 2);

        recoverInterruptedCommit(path);
        EXPECT_FALSE(std::filesystem::exists(rollback_journal::pathFor(path)));
        std::vector<TableRow> rows = rowsOf(path, table);
        std::string exported = testing::mdbExport(path, table);
        if (rows == before) {
            ++endedBefore;
            EXPECT_EQ(exported, exportBefore);
        } else {
            ++endedAfter;
            EXPECT_EQ(rows, after);
            EXPECT_EQ(exported, exportAfter);
        }
    }
    EXPECT_GT(endedBefore, 10);
    EXPECT_GT(endedAfter, 5);
}

// The journal of a commit that writes page 5 anew and grows the file, saved as the commit saves
// it, with the file still as it was.
void journalACommit(const std::string& path, const std::string& original) {
    std::vector<std::uint8_t> page5(original.begin() + 5 * 4096, original.begin() + 6 * 4096);
    int fd = durable_io::openForUpdate(path);
    rollback_journal::save(fd, path, original.size(), {{5, page5}});
    durable_io::close(fd);
}

// The journal an earlier version of this program saved for that commit: the second layout, whose
// checksum is FNV-1a byte by byte.
void journalACommitAsTheSecondLayout(const std::string& path, const std::string& original) {
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    std::string bytes = "KVJRNL02";
    auto append = [&](std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    };
    append(4096, 4);
    append(1, 4);
    append(original.size(), 8);
    append(status.st_dev, 8);
    append(status.st_ino, 8);
    append(5, 4);
    bytes += original.substr(5 * 4096, 4096);
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char byte : bytes) hash = (hash ^ static_cast<std::uint8_t>(byte)) * 0x100000001b3ull;
    append(hash, 8);
    writeBytes(rollback_journal::pathFor(path), bytes);
}

std::string withPage5(std::string bytes, char fill) {
    std::fill(bytes.begin() + 5 * 4096, bytes.begin() + 6 * 4096, fill);
    return bytes;
}

TEST(CommitDurability, AJournalIsRolledBackOnlyWhenItIsWholeTrustedAndThisFilesOwn) {
    ScratchFolder folder;
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    const std::string original = bytesOf(path);
    const std::string journal = rollback_journal::pathFor(path);

    // The writer stopped after page 5 and two new pages: opening puts the file back.
    journalACommit(path, original);
    writeBytes(path, withPage5(original, '\x55') + std::string(8192, '\x66'));
    recoverInterruptedCommit(path);
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(std::filesystem::exists(journal));

    // A journal cut short was still being written: the file was not touched, and stays as it is.
    journalACommit(path, original);
    std::string whole = bytesOf(journal);
    writeBytes(journal, whole.substr(0, whole.size() - 3));
    writeBytes(path, withPage5(original, '\x55'));
    recoverInterruptedCommit(path);
    EXPECT_EQ(bytesOf(path), withPage5(original, '\x55'));
    EXPECT_FALSE(std::filesystem::exists(journal));

    // One whose checksum does not match (a page torn as it was written) is not applied either.
    journalACommit(path, original);
    whole = bytesOf(journal);
    whole[whole.size() / 2] ^= 1;
    writeBytes(journal, whole);
    recoverInterruptedCommit(path);
    EXPECT_EQ(bytesOf(path), withPage5(original, '\x55'));
    EXPECT_FALSE(std::filesystem::exists(journal));

    // A journal an earlier version left is still rolled back.
    journalACommitAsTheSecondLayout(path, original);
    recoverInterruptedCommit(path);
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(std::filesystem::exists(journal));

    // The journal of another file (a copy of this one, as a compaction or restore leaves it) is
    // never applied to this one.
    const std::string other = (folder.path() / "other.mdb").string();
    writeBytes(other, original);
    journalACommit(other, original);
    std::filesystem::rename(rollback_journal::pathFor(other), journal);
    writeBytes(path, withPage5(original, '\x55'));
    recoverInterruptedCommit(path);
    EXPECT_EQ(bytesOf(path), withPage5(original, '\x55'));
    EXPECT_FALSE(std::filesystem::exists(journal));
    writeBytes(path, original);

    // A journal that a reader meets but another user made, or a symlink planted at its name, is
    // never applied; the link's target is not touched.
    journalACommit(path, original);
    whole = bytesOf(journal);
    std::filesystem::remove(journal);
    const std::string planted = (folder.path() / "planted").string();
    writeBytes(planted, whole);
    std::filesystem::create_symlink(planted, journal);
    writeBytes(path, withPage5(original, '\x55'));
    EXPECT_EQ(readCommittedFile(path).page(5).u8(0), 0x55) << "the file was read as it is";
    recoverInterruptedCommit(path);
    EXPECT_EQ(bytesOf(path), withPage5(original, '\x55'));
    EXPECT_EQ(bytesOf(planted), whole);
    if (geteuid() == 0) {
        std::filesystem::remove(journal);
        writeBytes(journal, whole);
        ASSERT_EQ(chown(journal.c_str(), 4321, 4321), 0);
        EXPECT_EQ(readCommittedFile(path).page(5).u8(0), 0x55) << "the file was read as it is";
        recoverInterruptedCommit(path);
        EXPECT_EQ(bytesOf(path), withPage5(original, '\x55'));
    }
}

// Refuses the steps `refused` picks, as a folder made read-only refuses a journal's removal.
void refuseSteps(std::function<bool(const durable_io::Step&)> refused) {
    durable_io::setDescribedStepProbe([refused = std::move(refused)](const durable_io::Step& step) {
        if (refused(step)) throw durable_io::IoError("Cannot change " + step.path + ": permission denied", EACCES);
    });
}

TEST(CommitDurability, ReadOnlyLockedAndFullFilesAreRefusedUnchanged) {
    ScratchFolder folder;
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    std::string table = onlyTable(path);
    const std::string original = bytesOf(path);
    const std::vector<TableRow> rows = changed(rowsOf(path, table));
    auto refusal = [&](const char* expected) {
        try {
            commitTable(path, table, rows);
            ADD_FAILURE() << "the commit was not refused";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
        }
        EXPECT_EQ(bytesOf(path), original);
        EXPECT_FALSE(std::filesystem::exists(rollback_journal::pathFor(path)));
    };

    std::filesystem::permissions(path, std::filesystem::perms::all, std::filesystem::perm_options::remove);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read, std::filesystem::perm_options::add);
    refusal("read-only");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);

    int other = open(path.c_str(), O_RDONLY);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    refusal("locked by another program");
    close(other);

    // A full disk while the journal is written, and while the pages are: the file is as it was.
    for (int failingStep : {2, 6, 8}) {
        int count = 0;
        durable_io::setStepProbe([&] {
            if (++count == failingStep)
                throw durable_io::IoError("Cannot write " + path + ": the disk is full", ENOSPC);
        });
        refusal("the disk is full");
        durable_io::setStepProbe({});
    }
    // Each step of making the journal refused: the journal goes again, the file is untouched.
    using Kind = durable_io::Step::Kind;
    const std::string journal = rollback_journal::pathFor(path);
    for (Kind kind : {Kind::Create, Kind::Write, Kind::Sync, Kind::SyncFolder}) {
        refuseSteps([&](const durable_io::Step& step) { return step.kind == kind && step.path == journal; });
        refusal("permission denied");
        durable_io::setStepProbe({});
    }
}

TEST(CommitDurability, AFailedWriteIsPutBackOrElseItsJournalKeptForTheNextOpen) {
    ScratchFolder folder;
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    std::string table = onlyTable(path);
    const std::string original = bytesOf(path);
    const std::vector<TableRow> before = rowsOf(path, table);
    const std::vector<TableRow> after = changed(before);

    // A commit of the same rows into a copy counts the steps. Its last three are the database's
    // sync and the journal's removal (the file, then its folder).
    std::string copy = (folder.path() / "copy.mdb").string();
    std::filesystem::copy_file(path, copy);
    int steps = 0;
    durable_io::setStepProbe([&] { ++steps; });
    commitTable(copy, table, after);
    const int databaseSync = steps - 2;

    // The disk fails at the database's sync, and maybe at the next step, the first write putting
    // the pages back; what follows would work, a removal of the journal included.
    auto failingCommit = [&](bool rollbackFailsToo) {
        int count = 0;
        durable_io::setStepProbe([&] {
            ++count;
            if (count == databaseSync || (rollbackFailsToo && count == databaseSync + 1))
                throw durable_io::IoError("Cannot save " + path + ": Input/output error", EIO);
        });
        std::string message = "the commit was not refused";
        try {
            commitTable(path, table, after);
        } catch (const std::runtime_error& error) {
            message = error.what();
        }
        durable_io::setStepProbe({});
        return message;
    };

    // The pages written before the sync failed are put back.
    EXPECT_EQ(failingCommit(false), "Cannot save " + path + ": Input/output error; the database was left as it was");
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(std::filesystem::exists(rollback_journal::pathFor(path)));

    // Putting them back fails too: the journal stays, and the next open rolls the file back.
    std::string message = failingCommit(true);
    EXPECT_EQ(message.find("the database was left as it was"), std::string::npos) << message;
    EXPECT_NE(message.find("; putting the database back failed too (Cannot save " + path +
                           ": Input/output error), "
                           "so it will be recovered from its journal the next time it is opened"),
              std::string::npos)
        << message;
    EXPECT_TRUE(std::filesystem::exists(rollback_journal::pathFor(path)));
    EXPECT_NE(bytesOf(path), original);
    Database reopened(readCommittedFile(path));
    EXPECT_EQ(reopened.rows(reopened.tableDef(reopened.table(table))).rows, before);
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(std::filesystem::exists(rollback_journal::pathFor(path)));
}

TEST(CommitDurability, AJournalThatCannotBeRemovedIsEmptiedOrElseTheCommitIsPutBack) {
    using Kind = durable_io::Step::Kind;
    ScratchFolder folder;
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    std::string table = onlyTable(path);
    const std::string journal = rollback_journal::pathFor(path);
    const std::string original = bytesOf(path);
    const std::vector<TableRow> before = rowsOf(path, table);
    const std::vector<TableRow> after = changed(before);
    const std::string copy = (folder.path() / "copy.mdb").string();
    std::filesystem::copy_file(path, copy);
    commitTable(copy, table, after);
    const std::string committed = bytesOf(copy);
    auto committedRows = [&] {
        Database database(readCommittedFile(path));
        return database.rows(database.tableDef(database.table(table))).rows;
    };
    auto failedCommit = [&](const std::vector<TableRow>& rows) {
        try {
            commitTable(path, table, rows);
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("the commit was not refused");
    };

    // The journal's folder became read-only during the commit, but the journal can be emptied:
    // the commit has happened, as an unhindered one does. The empty journal is no journal to a
    // reader or to recovery, and is never rolled back.
    refuseSteps([&](const durable_io::Step& step) { return step.kind == Kind::Remove && step.path == journal; });
    EXPECT_NO_THROW(commitTable(path, table, after));
    EXPECT_EQ(bytesOf(path), committed);
    ASSERT_TRUE(std::filesystem::exists(journal));
    EXPECT_EQ(std::filesystem::file_size(journal), 0u);
    EXPECT_EQ(committedRows(), after);
    EXPECT_NO_THROW(recoverInterruptedCommit(path));
    EXPECT_EQ(bytesOf(path), committed);
    // While the folder stays read-only the next commit cannot make its journal: refused, unchanged.
    EXPECT_NE(failedCommit(before).find(journal), std::string::npos);
    EXPECT_EQ(bytesOf(path), committed);
    // Once the folder is writable again, the next commit clears the empty journal away.
    durable_io::setStepProbe({});
    EXPECT_EQ(testing::mdbExport(path, table), testing::mdbExport(copy, table));
    commitTable(path, table, before);
    EXPECT_EQ(rowsOf(path, table), before);
    EXPECT_FALSE(std::filesystem::exists(journal));
    writeBytes(path, original);

    // Neither removed nor emptied, the journal would roll the commit back on the next open: the
    // commit puts the file back at once and says that nothing changed. While the journal stays,
    // a reader that cannot clear it away says why; once it can, it finds the file as it was.
    refuseSteps([&](const durable_io::Step& step) {
        return (step.kind == Kind::Remove || step.kind == Kind::Resize) && step.path == journal;
    });
    std::string message = failedCommit(after);
    EXPECT_NE(message.find("Cannot change " + journal + ": permission denied"), std::string::npos) << message;
    EXPECT_NE(message.find("; the database was left as it was"), std::string::npos) << message;
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_TRUE(std::filesystem::exists(journal));
    try {
        committedRows();
        ADD_FAILURE() << "a journal that cannot be cleared away was passed over";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(journal), std::string::npos) << error.what();
    }
    durable_io::setStepProbe({});
    EXPECT_EQ(committedRows(), before);
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(std::filesystem::exists(journal));
    EXPECT_NO_THROW(commitTable(path, table, after));
    EXPECT_EQ(bytesOf(path), committed);
    writeBytes(path, original);

    // The journal was removed but its removal could not be made durable, so a crash could bring it
    // back: the commit is put back, as such a crash would leave it.
    bool removed = false;
    refuseSteps([&](const durable_io::Step& step) {
        if (step.kind == Kind::Remove && step.path == journal) removed = true;
        return removed && step.kind == Kind::SyncFolder;
    });
    message = failedCommit(after);
    durable_io::setStepProbe({});
    EXPECT_NE(message.find("; the database was left as it was"), std::string::npos) << message;
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_EQ(committedRows(), before);
}

// The page of the file's bytes that starts at `at`.
std::span<const std::uint8_t> pageAt(const std::string& bytes, std::size_t at) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()) + at, format::kPageSize};
}

// The pages of `after` that differ from `before`, in order, seen in `after`.
std::vector<rollback_journal::SavedPage> changedPages(const std::string& before, const std::string& after) {
    std::vector<rollback_journal::SavedPage> pages;
    for (std::size_t at = 0; at < after.size(); at += format::kPageSize)
        if (before.compare(at, format::kPageSize, after, at, format::kPageSize) != 0)
            pages.push_back({static_cast<std::uint32_t>(at / format::kPageSize), pageAt(after, at)});
    return pages;
}

void writePages(int fd, const std::string& path, std::span<const rollback_journal::SavedPage> pages) {
    for (const auto& page : pages)
        durable_io::writeAt(fd, path, page.bytes, std::uint64_t{page.number} * format::kPageSize);
}

// Another program's commit, made step by step as a writer makes it: the file is locked, the
// originals of the pages to change journaled, then the pages written, the journal removed and the
// lock let go.
class StepwiseCommit {
public:
    StepwiseCommit(std::string path, std::string original, std::vector<rollback_journal::SavedPage> changes)
        : path_(std::move(path)), original_(std::move(original)), changes_(std::move(changes)) {}

    // Locks and journals, and writes the first half of the pages.
    void goHalfway() {
        fd_ = durable_io::openForUpdate(path_);
        if (flock(fd_, LOCK_EX) != 0) throw std::runtime_error("cannot lock " + path_);
        std::vector<rollback_journal::SavedPage> originals;
        for (const auto& page : changes_) {
            std::size_t at = std::size_t{page.number} * format::kPageSize;
            if (at < original_.size()) originals.push_back({page.number, pageAt(original_, at)});
        }
        rollback_journal::save(fd_, path_, original_.size(), originals);
        writePages(fd_, path_, std::span(changes_).first(changes_.size() / 2));
    }

    void finish() {
        writePages(fd_, path_, std::span(changes_).subspan(changes_.size() / 2));
        durable_io::sync(fd_, path_);
        rollback_journal::discard(path_);
        flock(fd_, LOCK_UN);
        durable_io::close(fd_);
    }

private:
    std::string path_;
    std::string original_;
    std::vector<rollback_journal::SavedPage> changes_;
    int fd_ = -1;
};

// A copy of a fixture, and the same file after a commit that changes many of its pages.
class OtherProgramsCommit : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(path, afterPath);
        commitTable(afterPath, table, changed(before));
        after = bytesOf(afterPath);
        ASSERT_GT(changedPages(original, after).size(), 2u);
    }

    std::vector<TableRow> readCommittedRows() {
        Database database(readCommittedFile(path));
        return database.rows(database.tableDef(database.table(table))).rows;
    }

    ScratchFolder folder;
    const std::string path = folder.copyOf("compIndexTestV2000.mdb");
    const std::string afterPath = (folder.path() / "after.mdb").string();
    const std::string journal = rollback_journal::pathFor(path);
    const std::string table = onlyTable(path);
    const std::string original = bytesOf(path);
    const std::vector<TableRow> before = rowsOf(path, table);
    std::string after;
};

TEST_F(OtherProgramsCommit, AReaderAndASecondWriterWaitForACommitInProgress) {
    const std::vector<TableRow> committed = rowsOf(afterPath, table);
    for (bool secondWriter : {false, true}) {
        SCOPED_TRACE(secondWriter ? "a second writer" : "a reader");
        writeBytes(path, original);
        StepwiseCommit commit(path, original, changedPages(original, after));
        // The writer holds its commit open, half written, for a moment after the other has started.
        OtherProgram writer([&](const OtherProgram::Ready& ready) {
            commit.goHalfway();
            ready();
            usleep(300'000);
            commit.finish();
        });
        if (secondWriter) {
            EXPECT_NO_THROW(commitTable(path, table, committed)) << "it waits its turn instead of being refused";
        } else {
            EXPECT_EQ(readCommittedRows(), committed);
        }
        EXPECT_EQ(writer.exitStatus(), 0);
        if (!secondWriter) {
            EXPECT_EQ(bytesOf(path), after);
        }
        EXPECT_EQ(readCommittedRows(), committed);
        EXPECT_FALSE(std::filesystem::exists(journal));
    }
}

TEST_F(OtherProgramsCommit, AJournalWhoseWriterIsGoneIsRolledBackOnceOtherReadersLetGo) {
    StepwiseCommit commit(path, original, changedPages(original, after));

    // The writer stops halfway through its commit: its lock ends with it, its journal stays.
    OtherProgram writer([&](const OtherProgram::Ready& ready) {
        commit.goHalfway();
        ready();
    });
    ASSERT_EQ(writer.exitStatus(), 0);
    ASSERT_TRUE(std::filesystem::exists(journal));
    ASSERT_NE(bytesOf(path), original);

    // Another program is reading the file when the journal is met: the rollback waits for it.
    OtherProgram reader([&](const OtherProgram::Ready& ready) {
        int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0 || flock(fd, LOCK_SH) != 0) throw std::runtime_error("cannot lock " + path);
        ready();
        usleep(300'000);
    });
    EXPECT_EQ(readCommittedRows(), before);
    EXPECT_EQ(reader.exitStatus(), 0);
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(std::filesystem::exists(journal));
}

TEST_F(OtherProgramsCommit, AReaderAndAWriterWaitingWhileTheFileIsReplacedUseTheNewFile) {
    const std::vector<TableRow> committed = rowsOf(afterPath, table);
    const std::string replacement = (folder.path() / "replacement.mdb").string();
    for (bool writer : {false, true}) {
        SCOPED_TRACE(writer ? "a writer" : "a reader");
        writeBytes(path, original);
        std::filesystem::copy_file(afterPath, replacement);
        const auto newFile = durable_io::identityAt(replacement);
        // Another program holds the file while it puts a new one in its place, as a compaction does.
        OtherProgram replacer([&](const OtherProgram::Ready& ready) {
            int fd = open(path.c_str(), O_RDONLY);
            if (fd < 0 || flock(fd, LOCK_EX) != 0) throw std::runtime_error("cannot lock " + path);
            ready();
            usleep(300'000);
            std::filesystem::rename(replacement, path);
        });
        if (writer) {
            commitTable(path, table, before);
            EXPECT_EQ(replacer.exitStatus(), 0);
            EXPECT_EQ(durable_io::identityAt(path), newFile);
            EXPECT_EQ(readCommittedRows(), before) << "the commit went into the file the path names";
        } else {
            EXPECT_EQ(readCommittedRows(), committed) << "the file the path names was read";
            EXPECT_EQ(replacer.exitStatus(), 0);
        }
    }
}

// Fills the file system holding `folder` up to all but `free` bytes with one filler file.
void leaveFree(const std::filesystem::path& folder, std::uintmax_t free) {
    std::filesystem::path filler = folder / "filler";
    std::filesystem::remove(filler);
    int fd = open(filler.c_str(), O_WRONLY | O_CREAT, 0600);
    std::string block(4096, 'x');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    off_t full = lseek(fd, 0, SEEK_END);
    ::close(fd);
    std::filesystem::resize_file(filler, full > static_cast<off_t>(free) ? full - free : 0);
}

// A small file system of its own, in a mount namespace of this test process only.
TEST(CommitDurability, ARealFullDiskLeavesTheFileAsItWasOrFullyCommitted) {
    ScratchFolder folder;
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", folder.path().c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "mounting a small file system needs root: " << std::strerror(errno);
    std::string path = folder.copyOf("compIndexTestV2000.mdb");
    std::string table = onlyTable(path);
    const std::string original = bytesOf(path);
    const std::vector<TableRow> before = rowsOf(path, table);
    const std::vector<TableRow> after = changed(before);

    // The steps a commit got through before the disk was full: the journal's and the pages' own.
    std::set<int> stepsReached;
    int steps = 0;
    durable_io::setStepProbe([&] { ++steps; });
    std::size_t committed = 0;
    for (std::uintmax_t free = 0; free <= 512 * 1024 && committed == 0; free += 8 * 1024) {
        SCOPED_TRACE(free);
        leaveFree(folder.path(), free);
        steps = 0;
        try {
            std::vector<TableRow> stored = commitTable(path, table, after);
            EXPECT_EQ(stored.size(), after.size());
            EXPECT_EQ(rowsOf(path, table), stored);
            ++committed;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find("the disk is full"), std::string::npos) << error.what();
            EXPECT_EQ(bytesOf(path), original);
            EXPECT_FALSE(std::filesystem::exists(rollback_journal::pathFor(path)));
            stepsReached.insert(steps);
        }
    }
    durable_io::setStepProbe({});
    EXPECT_EQ(committed, 1u);
    EXPECT_GE(stepsReached.size(), 2u) << "the disk was full only ever at one step";
    umount(folder.path().c_str());
}

}  // namespace
}  // namespace kv::jet
