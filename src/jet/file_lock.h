#pragma once
// An advisory lock on an open database file (flock on POSIX, LockFileEx on Windows: see
// platform_file.h). A writer holds it exclusively for the whole of a commit, so that two writers, or
// a writer and a journal recovery, never interleave; a reader holds it shared while it reads the
// file, so that it never sees a commit halfway done. Every kind waits a few seconds for the locks
// that exclude it: reads and commits take well under a second.

#include <string>

namespace kv::jet {

class FileLock {
public:
    // What the lock is taken for, which decides how it is taken and how a refusal reads.
    enum class Kind {
        Write,     // exclusive, for a commit or a compaction
        Recovery,  // exclusive, for rolling back a journal whose writer is gone
        Read,      // shared
    };

    // Throws std::runtime_error naming the file when another program (or another handle of this
    // one) still holds a lock that excludes this one when the wait is over; the message tells a
    // program that is reading the file from one that is writing it.
    FileLock(int fd, const std::string& path, Kind kind);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

}  // namespace kv::jet
