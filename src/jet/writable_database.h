#pragma once
// A database file opened for one commit. Opening refuses a read-only file, takes the exclusive lock
// for the object's lifetime (waiting a few seconds for readers and another writer to let go) and
// rolls back a journal left by a writer that stopped (with the lock held, a journal's writer is
// gone). Symlinks are followed: the journal lies beside the real file, and the link stays a link.
// commitPages() then replaces pages all or nothing: the originals go to the rollback journal first.
// replaceWhole() instead puts a whole new file in the database's place, under the same lock.
//
// The commit protocol rests on these invariants (tests in tests/jetwrite/, by file and TEST name):
//
//  1. Every change to a database file (a commit, a compaction in place, a journal's rollback) is
//     made by a holder of the exclusive lock on the real file (file_lock.h); a reader reads
//     the whole file under the shared lock (committed_read.h). So a reader never sees a commit
//     halfway done, and two writers never interleave: each waits up to ten seconds for the other,
//     then is refused with a message naming the file and whether it is being read or written.
//     [commit_durability_test: AReaderAndASecondWriterWaitForACommitInProgress,
//     ReadOnlyLockedAndFullFilesAreRefusedUnchanged; compaction_in_place_test:
//     AWriterAndACompactionWaitForAReaderToLetGo]
//  2. A lock is only trusted once it is held and the path still names the locked file (device and
//     inode): one that waited while another program put a new file in the path's place opens and
//     locks again, so it reads or writes the file the path names. [commit_durability_test:
//     AReaderAndAWriterWaitingWhileTheFileIsReplacedUseTheNewFile]
//  3. Before any page of the database is overwritten, the journal is whole on disk: made afresh
//     (never through a symlink, with the database's permissions), holding the file's length, its
//     device and inode, the original of every page to be overwritten that lies within that length,
//     and a checksum of it all; then synced, and its folder synced. When that fails the journal is
//     removed and the database was not touched. [commit_order_test:
//     EachStepIsDurableBeforeTheStepThatReliesOnIt; commit_durability_test:
//     WriterKilledAnywhereInACommitLeavesTheFileBeforeOrAfterIt,
//     ReadOnlyLockedAndFullFilesAreRefusedUnchanged, ARealFullDiskLeavesTheFileAsItWasOrFullyCommitted]
//  4. A commit grows the file only by writing pages past its end, and never shortens it (pages a
//     table gives up are blanked); a rollback cuts the file back to the journal's length. The new
//     pages are written and the database synced before the journal is discarded.
//     [commit_order_test: EachStepIsDurableBeforeTheStepThatReliesOnIt]
//  5. The commit point is the journal's durable end: removed and its folder synced, or, where it
//     cannot be removed (a folder made read-only), cut to nothing and synced. An empty journal is no
//     journal to a reader, a writer or recovery. commitPages() returns only past that point, and
//     what it committed is never rolled back afterwards. [commit_durability_test:
//     AJournalThatCannotBeRemovedIsEmptiedOrElseTheCommitIsPutBack]
//  6. A commit that fails before its commit point (a write, the sync, or the journal's end) puts
//     the original pages and length back at once, syncs them, and says the database was left as it
//     was; a journal that could not be ended then only rolls the file back to what it already is.
//     When putting back fails too the journal stays and the message says the next open recovers
//     the file from it. So a commit reported as failed is never found applied later.
//     [commit_durability_test: AFailedWriteIsPutBackOrElseItsJournalKeptForTheNextOpen,
//     AJournalThatCannotBeRemovedIsEmptiedOrElseTheCommitIsPutBack]
//  7. Only a holder of the exclusive lock rolls a journal back (a writer's open, or a reader's
//     recovery once every other reader has let go): with the lock held, the journal's writer is
//     gone. It puts the pages back, cuts the file to its length and syncs it before it discards the
//     journal. [commit_durability_test: AJournalWhoseWriterIsGoneIsRolledBackOnceOtherReadersLetGo;
//     commit_order_test: EachStepIsDurableBeforeTheStepThatReliesOnIt]
//  8. A journal is applied only when it is a plain file (never a symlink) owned by the database's
//     owner, whole (its length and checksum agree), and records this very file's device and inode
//     (journals of the first layout record none and are applied on the rest).
//     A torn one was still being written, so by 3 the database is untouched: it is discarded. One
//     of another file is discarded, one that cannot be trusted removed where it can be; neither is
//     applied. (rollback_journal.h) [commit_durability_test:
//     AJournalIsRolledBackOnlyWhenItIsWholeTrustedAndThisFilesOwn]
//  9. A reader that meets a writer at work waits for its lock; a journal it meets under the shared
//     lock has no writer any more, so it has it rolled back (7) and reads again.
//     [commit_durability_test: AReaderAndASecondWriterWaitForACommitInProgress,
//     AJournalWhoseWriterIsGoneIsRolledBackOnceOtherReadersLetGo]
// 10. A commit of changes to rows read earlier writes nothing, and throws TableChangedError, when the
//     path now names another file than the one they were read from, or the table's pages are no
//     longer those read (table_edit.h). [table_edit_test: RefusedCommitsWriteNothing;
//     compaction_in_place_test: ACommitPreparedBeforeTheCompactionIsRefusedAndWritesNothing]
// 11. A whole new file (a compaction in place) is written beside the database with its
//     permissions, synced, then renamed over it and the folder synced: the path names the old file
//     or the whole new one at every instant, and a link to it stays a link. [commit_order_test:
//     EachStepIsDurableBeforeTheStepThatReliesOnIt; compaction_in_place_test:
//     TheFileKeepsItsModeALinkStaysALinkAndAFailureLeavesNoCopy]
// 12. Everything kept beside a database (its journal, a new file) lies beside the real file, with
//     every symlink followed. [commit_order_test: EachStepIsDurableBeforeTheStepThatReliesOnIt]

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format.h"
#include "jet/locked_file.h"
#include "jet/page_file.h"

namespace kv::jet {

class WritableDatabase {
public:
    explicit WritableDatabase(std::string path) : WritableDatabase(std::move(path), FileLock::Kind::Write) {}
    WritableDatabase(const WritableDatabase&) = delete;
    WritableDatabase& operator=(const WritableDatabase&) = delete;

    const std::string& path() const { return path_; }
    // The file this object holds; a commit of pages read from another file must be refused.
    const durable_io::FileIdentity& identity() const { return file_.identity(); }

    // Writes the pages durably, all or nothing (see 3 to 6 above). A journal that cannot be removed
    // afterwards is emptied, which ends it as well. On failure the exception says why (a full disk,
    // an I/O error, a journal that could be neither removed nor emptied) and how the file was left:
    // as it was, or, when putting its pages back failed too, with its journal beside it, to be
    // rolled back the next time it is opened. `asRead` is the file as this object read it (read or
    // readSince), and still holds it: the journal keeps the originals of the pages from there.
    void commitPages(const PageImages& pages, const PageFile& asRead);
    // The whole file as it is now, read under the lock this object holds.
    PageFile read() const;
    // The file as it is now, read under the lock this object holds; the pages equal to those of
    // `earlier` (an earlier read of it) are shared with it.
    PageFile readSince(const PageFile& earlier) const;
    // Writes `bytes` as a new file beside the database, with its permissions, and renames it over
    // the database once it is on disk: the path names the old file or the whole new one at every
    // instant. The object holds the old file afterwards and takes no more commits. Throws when the
    // new file cannot be written or moved; the database is then as it was and no new file is left.
    void replaceWhole(const std::vector<std::uint8_t>& bytes);

private:
    friend void recoverInterruptedCommit(const std::string& path);
    WritableDatabase(std::string path, FileLock::Kind lock);

    std::string path_;
    LockedFile file_;
    bool replaced_ = false;
};

// Rolls back a journal that a stopped writer left beside the database, if there is one (see
// readCommittedFile). Waits a few seconds for the lock that readers or a writer hold. Throws when
// the journal exists but cannot be applied, or the lock is not let go.
void recoverInterruptedCommit(const std::string& path);

}  // namespace kv::jet
