#include "jet/file_lock.h"

#include <sys/file.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace kv::jet {
namespace {

// Reads and commits take well under a second; a lock held longer belongs to a program that is stuck.
constexpr auto kPatience = std::chrono::seconds(10);
constexpr auto kRetryInterval = std::chrono::milliseconds(20);

int tryLock(int fd, int operation) {
    int result;
    do result = ::flock(fd, operation | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

// Only readers hold the file when a shared lock can be had at once.
bool heldByReadersOnly(int fd) {
    if (tryLock(fd, LOCK_SH) != 0) return false;
    ::flock(fd, LOCK_UN);
    return true;
}

std::string lockedMessage(FileLock::Kind kind, const std::string& path, bool readersOnly) {
    const std::string holder = readersOnly ? "another program kept the database open for reading for too long"
                                           : "the database is locked by another program that is writing it";
    switch (kind) {
    case FileLock::Kind::Write: return "Cannot write " + path + ": " + holder;
    case FileLock::Kind::Recovery: return "Cannot roll back the interrupted commit of " + path + ": " + holder;
    case FileLock::Kind::Read: break;
    }
    return "Cannot read " + path + ": " + holder;
}

}  // namespace

FileLock::FileLock(int fd, const std::string& path, Kind kind) : fd_(fd) {
    const int operation = kind == Kind::Read ? LOCK_SH : LOCK_EX;
    int error = tryLock(fd_, operation);
    for (auto deadline = std::chrono::steady_clock::now() + kPatience;
         error == EWOULDBLOCK && std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(kRetryInterval);
        error = tryLock(fd_, operation);
    }
    if (error == 0) return;
    if (error == EWOULDBLOCK)
        throw std::runtime_error(lockedMessage(kind, path, operation == LOCK_EX && heldByReadersOnly(fd_)));
    throw std::runtime_error("Cannot lock " + path + ": " + std::strerror(error));
}

FileLock::~FileLock() { ::flock(fd_, LOCK_UN); }

}  // namespace kv::jet
