#pragma once
// A database file opened for one commit. Opening refuses a read-only or locked file, takes the
// exclusive lock for the object's lifetime and rolls back a journal left by a writer that stopped
// (with the lock held, a journal's writer is gone).
// commitPages() then replaces pages all or nothing: the originals go to the rollback journal first.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/file_lock.h"
#include "jet/format.h"
#include "jet/page_file.h"

namespace kv::jet {

class WritableDatabase {
public:
    explicit WritableDatabase(std::string path) : WritableDatabase(std::move(path), FileLock::Kind::Write) {}
    WritableDatabase(const WritableDatabase&) = delete;
    WritableDatabase& operator=(const WritableDatabase&) = delete;

    const std::string& path() const { return path_; }
    // Writes the pages durably, all or nothing. On failure the exception says why (a full disk, an
    // I/O error) and how the file was left: as it was, or, when putting its pages back failed too,
    // with its journal beside it, to be rolled back the next time it is opened.
    void commitPages(const PageImages& pages);
    // The file as it is now, read under the lock this object holds; the pages equal to those of
    // `earlier` (an earlier read of it) are shared with it.
    PageFile readSince(const PageFile& earlier) const;

private:
    friend void recoverInterruptedCommit(const std::string& path);
    WritableDatabase(std::string path, FileLock::Kind lock);

    // Closes the descriptor however the object ends, a refused lock included.
    struct Descriptor {
        int fd;
        ~Descriptor();
    };

    std::string path_;
    Descriptor file_;
    FileLock lock_;
};

// Rolls back a journal that a stopped writer left beside the database, if there is one (see
// readCommittedFile). Waits a few seconds for the lock that readers or a writer hold. Throws when
// the journal exists but cannot be applied, or the lock is not let go.
void recoverInterruptedCommit(const std::string& path);

}  // namespace kv::jet
