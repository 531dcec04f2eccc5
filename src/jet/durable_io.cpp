#include "jet/durable_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kv::jet::durable_io {
namespace {

std::function<void()>& stepProbe() {
    static std::function<void()> probe;
    return probe;
}

void step() {
    if (stepProbe()) stepProbe()();
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

}  // namespace

void setStepProbe(std::function<void()> probe) { stepProbe() = std::move(probe); }

int openForUpdate(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fail("open", path);
    return fd;
}

int createForWriting(const std::string& path) {
    step();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("create", path);
    return fd;
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
        if (done % kPiece == 0) step();
        std::size_t length = std::min(kPiece - done % kPiece, bytes.size() - done);
        ssize_t n = ::pwrite(fd, bytes.data() + done, length, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("write", path);
        done += static_cast<std::size_t>(n);
    }
}

void truncate(int fd, const std::string& path, std::uint64_t length) {
    step();
    if (::ftruncate(fd, static_cast<off_t>(length)) != 0) fail("resize", path);
}

void sync(int fd, const std::string& path) {
    step();
    if (::fsync(fd) != 0) fail("save", path);
}

void syncFolderOf(const std::string& path) {
    step();
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
    step();
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) fail("delete", path);
}

std::uint64_t sizeOf(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) fail("examine", path);
    return static_cast<std::uint64_t>(info.st_size);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace kv::jet::durable_io
