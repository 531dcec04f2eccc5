#pragma once
// A database file opened and locked, and checked, once the lock is held, to be the file its path
// names: a program that put another file in the path's place (a compaction, a restored backup)
// between the open and the lock is never missed. Symlinks are followed: the lock, and everything
// kept beside the database, belong to the real file.

#include <memory>
#include <string>

#include "jet/durable_io.h"
#include "jet/file_lock.h"

namespace kv::jet {

class LockedFile {
public:
    enum class Access { ReadOnly, Update };

    // Throws std::runtime_error naming `path` when the file does not exist, cannot be opened as
    // asked (a read-only file for Update), or the lock cannot be had (see FileLock).
    LockedFile(const std::string& path, Access access, FileLock::Kind lock);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    int fd() const { return fd_; }
    // The real file's path, symlinks resolved.
    const std::string& realPath() const { return realPath_; }
    const durable_io::FileIdentity& identity() const { return identity_; }

private:
    // Lets go of the lock, then of the file.
    void release();

    std::string realPath_;
    int fd_ = -1;
    std::unique_ptr<FileLock> lock_;
    durable_io::FileIdentity identity_;
};

}  // namespace kv::jet
