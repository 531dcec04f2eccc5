#pragma once
// An advisory lock on an open database file (flock). A writer holds it exclusively for the whole of
// a commit, so that two writers, or a writer and a journal recovery, never interleave; a reader
// holds it shared while it reads the file, so that it never sees a commit halfway done.

#include <string>

namespace kv::jet {

class FileLock {
public:
    // What the lock is taken for, which decides how it is taken and how a refusal reads.
    enum class Kind {
        Write,     // exclusive, taken at once or refused: a second writer does not queue up
        Recovery,  // exclusive, waits a few seconds for readers and a writer to let go
        Read,      // shared, waits a few seconds for a commit in progress to end
    };

    // Throws std::runtime_error naming the file when another program (or another handle of this
    // one) holds a lock that excludes this one, at once or when the wait is over.
    FileLock(int fd, const std::string& path, Kind kind);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

}  // namespace kv::jet
