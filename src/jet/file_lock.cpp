#include "jet/file_lock.h"

#include <sys/file.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace kv::jet {
namespace {

// Commits take well under a second; a lock held longer belongs to a program that is stuck.
constexpr auto kSharedLockPatience = std::chrono::seconds(10);
constexpr auto kRetryInterval = std::chrono::milliseconds(20);

int tryLock(int fd, int operation) {
    int result;
    do result = ::flock(fd, operation | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

}  // namespace

FileLock::FileLock(int fd, const std::string& path, Kind kind) : fd_(fd) {
    int error = tryLock(fd_, kind == Kind::Exclusive ? LOCK_EX : LOCK_SH);
    if (kind == Kind::Shared) {
        for (auto deadline = std::chrono::steady_clock::now() + kSharedLockPatience;
             error == EWOULDBLOCK && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(kRetryInterval);
            error = tryLock(fd_, LOCK_SH);
        }
    }
    if (error == 0) return;
    if (error == EWOULDBLOCK)
        throw std::runtime_error((kind == Kind::Exclusive ? "Cannot write " : "Cannot read ") + path +
                                 ": the database is locked by another program that is writing it");
    throw std::runtime_error("Cannot lock " + path + ": " + std::strerror(error));
}

FileLock::~FileLock() { ::flock(fd_, LOCK_UN); }

}  // namespace kv::jet
