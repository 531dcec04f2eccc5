#pragma once
// An advisory lock on an open database file (flock): a writer holds it exclusively for the whole of a
// commit, so that two writers, or a writer and a journal recovery, never interleave.

#include <string>

namespace kv::jet {

class FileLock {
public:
    // Takes the lock without waiting. Throws std::runtime_error naming the file when another
    // program (or another handle of this one) holds it.
    FileLock(int fd, const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

}  // namespace kv::jet
