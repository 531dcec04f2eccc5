#pragma once
// A database file opened for one commit. Opening refuses a read-only file, takes the exclusive lock
// for the object's lifetime (waiting a few seconds for readers and another writer to let go) and
// rolls back a journal left by a writer that stopped (with the lock held, a journal's writer is
// gone). Symlinks are followed: the journal lies beside the real file, and the link stays a link.
// commitPages() then replaces pages all or nothing: the originals go to the rollback journal first.
// replaceWhole() instead puts a whole new file in the database's place, under the same lock.

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

    // Writes the pages durably, all or nothing. On failure the exception says why (a full disk, an
    // I/O error) and how the file was left: as it was, or, when putting its pages back failed too,
    // with its journal beside it, to be rolled back the next time it is opened.
    void commitPages(const PageImages& pages);
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
