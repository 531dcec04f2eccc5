#include "jet/file_lock.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "jet/platform_file.h"

namespace kv::jet {
namespace os = platform_file;
namespace {

// Reads and commits take well under a second; a lock held longer belongs to a program that is stuck.
constexpr auto kPatience = std::chrono::seconds(10);
constexpr auto kRetryInterval = std::chrono::milliseconds(20);

// 0 when the lock is had, else why not.
int lockOrReason(int fd, os::LockMode mode) { return os::tryLock(fd, mode) ? 0 : errno; }

// Only readers hold the file when a shared lock can be had at once.
bool heldByReadersOnly(int fd) {
    if (lockOrReason(fd, os::LockMode::Shared) != 0) return false;
    os::unlock(fd);
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
    const os::LockMode mode = kind == Kind::Read ? os::LockMode::Shared : os::LockMode::Exclusive;
    int error = lockOrReason(fd_, mode);
    for (auto deadline = std::chrono::steady_clock::now() + kPatience;
         error == EWOULDBLOCK && std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(kRetryInterval);
        error = lockOrReason(fd_, mode);
    }
    if (error == 0) return;
    if (error == EWOULDBLOCK)
        throw std::runtime_error(lockedMessage(kind, path, mode == os::LockMode::Exclusive && heldByReadersOnly(fd_)));
    throw std::runtime_error("Cannot lock " + path + ": " + std::strerror(error));
}

FileLock::~FileLock() { os::unlock(fd_); }

}  // namespace kv::jet
