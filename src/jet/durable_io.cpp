#include "jet/durable_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

namespace kv::jet::durable_io {
namespace {

constexpr unsigned kPermissionBits = 0777;

std::function<void(const Step&)>& stepProbe() {
    static std::function<void(const Step&)> probe;
    return probe;
}

void step(Step::Kind kind, const std::string& path) {
    if (stepProbe()) stepProbe()(Step{kind, path});
}

std::string describe(int code) {
    switch (code) {
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EROFS: return "the file system is read-only";
    case EACCES:
    case EPERM: return "permission denied";
    default: return std::strerror(code);
    }
}

[[noreturn]] void fail(const std::string& action, const std::string& path) {
    int code = errno;
    throw IoError("Cannot " + action + " " + path + ": " + describe(code), code);
}

std::string folderOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

struct stat statusOf(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) fail("examine", path);
    return info;
}

}  // namespace

void setStepProbe(std::function<void()> probe) {
    if (probe)
        stepProbe() = [probe = std::move(probe)](const Step&) { probe(); };
    else
        stepProbe() = nullptr;
}

void setDescribedStepProbe(std::function<void(const Step&)> probe) { stepProbe() = std::move(probe); }

int openForUpdate(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fail("open", path);
    return fd;
}

int openForReading(const std::string& path, bool followLinks) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) fail("open", path);
    return fd;
}

int openForWriting(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) fail("open", path);
    return fd;
}

int createExclusive(const std::string& path, std::optional<unsigned> mode) {
    step(Step::Kind::Create, path);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) fail("create", path);
    // The umask narrowed the bits open() set; a file that stands for another one takes its bits.
    if (mode && ::fchmod(fd, *mode & kPermissionBits) != 0) {
        int code = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = code;
        fail("set the permissions of", path);
    }
    return fd;
}

NewFile createBeside(const std::string& target, std::optional<unsigned> mode) {
    const std::filesystem::path path(target);
    std::random_device random;
    for (int attempt = 0;; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08x%08x.tmp", random(), random());
        std::string name = (path.parent_path() / ("." + path.filename().string() + suffix)).string();
        try {
            return {createExclusive(name, mode), name};
        } catch (const IoError& error) {
            // A name taken already is someone else's file: never opened, never removed.
            if (error.code() != EEXIST || attempt == 8) throw;
        }
    }
}

void close(int fd) { ::close(fd); }

void readAt(int fd, const std::string& path, std::span<std::uint8_t> into, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < into.size()) {
        ssize_t n = ::pread(fd, into.data() + done, into.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("read", path);
        if (n == 0) throw IoError("Cannot read " + path + ": the file is shorter than expected", 0);
        done += static_cast<std::size_t>(n);
    }
}

void writeAt(int fd, const std::string& path, std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    // Large writes go out in pieces, each a step of its own, so a crash test can stop a writer
    // part of the way through one.
    constexpr std::size_t kPiece = 64 * 1024;
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (done % kPiece == 0) step(Step::Kind::Write, path);
        std::size_t length = std::min(kPiece - done % kPiece, bytes.size() - done);
        ssize_t n = ::pwrite(fd, bytes.data() + done, length, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("write", path);
        done += static_cast<std::size_t>(n);
    }
}

void truncate(int fd, const std::string& path, std::uint64_t length) {
    step(Step::Kind::Resize, path);
    if (::ftruncate(fd, static_cast<off_t>(length)) != 0) fail("resize", path);
}

void sync(int fd, const std::string& path) {
    step(Step::Kind::Sync, path);
    if (::fsync(fd) != 0) fail("save", path);
}

void syncFolderOf(const std::string& path) {
    step(Step::Kind::SyncFolder, path);
    std::string folder = folderOf(path);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) fail("open the folder", folder);
    int result = ::fsync(fd);
    int code = errno;
    ::close(fd);
    errno = code;
    if (result != 0) fail("save the folder", folder);
}

void remove(const std::string& path) {
    step(Step::Kind::Remove, path);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) fail("delete", path);
}

void replace(const std::string& from, const std::string& to) {
    step(Step::Kind::Replace, to);
    if (::rename(from.c_str(), to.c_str()) != 0) fail("replace " + to + " with", from);
    syncFolderOf(to);
}

void replaceWhole(const std::string& target, std::span<const std::uint8_t> bytes, std::optional<unsigned> mode) {
    NewFile file = createBeside(target, mode);
    try {
        writeAt(file.fd, file.path, bytes, 0);
        sync(file.fd, file.path);
        close(std::exchange(file.fd, -1));
        replace(file.path, target);
    } catch (...) {
        if (file.fd >= 0) close(file.fd);
        ::unlink(file.path.c_str());
        throw;
    }
}

std::uint64_t sizeOf(int fd, const std::string& path) { return static_cast<std::uint64_t>(statusOf(fd, path).st_size); }

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

FileIdentity identityOf(int fd, const std::string& path) {
    struct stat info = statusOf(fd, path);
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<FileIdentity> identityAt(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

unsigned modeOf(int fd, const std::string& path) { return statusOf(fd, path).st_mode & kPermissionBits; }

std::optional<unsigned> modeAt(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return info.st_mode & kPermissionBits;
}

unsigned ownerOf(int fd, const std::string& path) { return statusOf(fd, path).st_uid; }

std::string realPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error || resolved.empty() ? path : resolved.string();
}

}  // namespace kv::jet::durable_io
