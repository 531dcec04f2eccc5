#pragma once
// An advisory lock on an open database file (flock). A writer holds it exclusively for the whole of
// a commit, so that two writers, or a writer and a journal recovery, never interleave; a reader
// holds it shared while it reads the file, so that it never sees a commit halfway done.

#include <string>

namespace kv::jet {

class FileLock {
public:
    enum class Kind {
        Exclusive,  // taken at once, or refused
        Shared,     // waits a few seconds for a commit in progress to end
    };

    // Throws std::runtime_error naming the file when another program (or another handle of this
    // one) holds a lock that excludes this one.
    FileLock(int fd, const std::string& path, Kind kind = Kind::Exclusive);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

}  // namespace kv::jet
