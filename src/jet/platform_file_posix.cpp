// The file calls on Linux and other POSIX systems: the system's own, with flock for the lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "jet/platform_file.h"

namespace kv::jet::platform_file {
namespace {

constexpr unsigned kPermissionBits = 0777;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask

int flagsFor(Open how) {
    switch (how) {
    case Open::Read: return O_RDONLY;
    case Open::ReadNoFollow: return O_RDONLY | O_NOFOLLOW;
    case Open::Update: return O_RDWR;
    case Open::WriteNoFollow: return O_WRONLY | O_NOFOLLOW;
    case Open::CreateNew: return O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    }
    return O_RDONLY;
}

Status statusFrom(const struct stat& info) {
    return {.regular = S_ISREG(info.st_mode),
            .size = static_cast<std::uint64_t>(info.st_size),
            .identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)},
            .mode = info.st_mode & kPermissionBits,
            .owner = info.st_uid};
}

bool lockWithoutWaiting(int fd, int operation) {
    int result;
    do result = ::flock(fd, operation | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

}  // namespace

int open(const std::string& path, Open how) { return ::open(path.c_str(), flagsFor(how) | O_CLOEXEC, kNewFileMode); }

void close(int fd) { ::close(fd); }

std::int64_t readAt(int fd, void* into, std::size_t length, std::uint64_t offset) {
    ssize_t n;
    do n = ::pread(fd, into, length, static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    return n;
}

std::int64_t writeAt(int fd, const void* bytes, std::size_t length, std::uint64_t offset) {
    ssize_t n;
    do n = ::pwrite(fd, bytes, length, static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    return n;
}

bool resize(int fd, std::uint64_t length) { return ::ftruncate(fd, static_cast<off_t>(length)) == 0; }

bool flush(int fd) { return ::fsync(fd) == 0; }

bool flushFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = ::fsync(fd) == 0;
    const int code = errno;
    ::close(fd);
    errno = code;
    return flushed;
}

bool setMode(int fd, unsigned mode) { return ::fchmod(fd, mode & kPermissionBits) == 0; }

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool replaceFile(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

bool statusOf(int fd, Status& status) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return false;
    status = statusFrom(info);
    return true;
}

std::optional<Status> statusAt(const std::string& path, bool followLinks) {
    struct stat info {};
    if ((followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) return std::nullopt;
    return statusFrom(info);
}

bool makeUniqueFolder(std::string& pattern) { return ::mkdtemp(pattern.data()) != nullptr; }

bool tryLock(int fd, LockMode mode) { return lockWithoutWaiting(fd, mode == LockMode::Shared ? LOCK_SH : LOCK_EX); }

void unlock(int fd) { ::flock(fd, LOCK_UN); }

std::optional<std::string> liveJetLockFile(const std::string&) { return std::nullopt; }

}  // namespace kv::jet::platform_file
