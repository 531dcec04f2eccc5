#include "jet/durable_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

#include "jet/platform_file.h"

namespace kv::jet::durable_io {
namespace os = platform_file;
namespace {

std::function<void(const Step&)>& stepProbe() {
    static std::function<void(const Step&)> probe;
    return probe;
}

void step(Step::Kind kind, const std::string& path) {
    if (stepProbe()) stepProbe()(Step{kind, path});
}

std::string describe(int code) {
    switch (code) {
#ifdef EDQUOT  // POSIX: the user's quota is used up
    case EDQUOT:
#endif
    case ENOSPC: return "the disk is full";
    case EROFS: return "the file system is read-only";
    case EACCES:
    case EPERM: return "permission denied";
    case EBUSY: return "another program has the file open";
    case EILSEQ:
    case ENAMETOOLONG: return "the name cannot be used for a file on this system";
    default: return std::strerror(code);
    }
}

[[noreturn]] void fail(const std::string& action, const std::string& path) {
    int code = errno;
    throw IoError("Cannot " + action + " " + path + ": " + describe(code), code);
}

std::string folderOf(const std::string& path) {
    std::filesystem::path folder = os::toPath(path).parent_path();
    return folder.empty() ? "." : os::utf8Of(folder);
}

os::Status statusOf(int fd, const std::string& path) {
    os::Status status;
    if (!os::statusOf(fd, status)) fail("examine", path);
    return status;
}

int openAs(const std::string& path, os::Open how) {
    int fd = os::open(path, how);
    if (fd < 0) fail(how == os::Open::CreateNew ? "create" : "open", path);
    return fd;
}

}  // namespace

void setStepProbe(std::function<void()> probe) {
    if (probe)
        stepProbe() = [probe = std::move(probe)](const Step&) { probe(); };
    else
        stepProbe() = nullptr;
}

void setDescribedStepProbe(std::function<void(const Step&)> probe) { stepProbe() = std::move(probe); }

int openForUpdate(const std::string& path) { return openAs(path, os::Open::Update); }

int openForReading(const std::string& path, bool followLinks) {
    return openAs(path, followLinks ? os::Open::Read : os::Open::ReadNoFollow);
}

int openForWriting(const std::string& path) { return openAs(path, os::Open::WriteNoFollow); }

int createExclusive(const std::string& path, std::optional<unsigned> mode) {
    step(Step::Kind::Create, path);
    int fd = openAs(path, os::Open::CreateNew);
    // The umask narrowed the bits open() set; a file that stands for another one takes its bits.
    if (mode && !os::setMode(fd, *mode)) {
        int code = errno;
        os::close(fd);
        os::removeFile(path);
        errno = code;
        fail("set the permissions of", path);
    }
    return fd;
}

NewFile createBeside(const std::string& target, std::optional<unsigned> mode) {
    const std::filesystem::path path = os::toPath(target);
    std::random_device random;
    for (int attempt = 0;; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08x%08x.tmp", random(), random());
        std::string name = os::utf8Of(path.parent_path() / os::toPath("." + os::utf8Of(path.filename()) + suffix));
        try {
            return {createExclusive(name, mode), name};
        } catch (const IoError& error) {
            // A name taken already is someone else's file: never opened, never removed.
            if (error.code() != EEXIST || attempt == 8) throw;
        }
    }
}

void close(int fd) { os::close(fd); }

void readAt(int fd, const std::string& path, std::span<std::uint8_t> into, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < into.size()) {
        std::int64_t n = os::readAt(fd, into.data() + done, into.size() - done, offset + done);
        if (n < 0) fail("read", path);
        if (n == 0) throw IoError("Cannot read " + path + ": the file is shorter than expected", 0);
        done += static_cast<std::size_t>(n);
    }
}

std::vector<std::uint8_t> readWhole(const std::string& path, bool followLinks) {
    int fd = openForReading(path, followLinks);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(sizeOf(fd, path));
        readAt(fd, path, bytes, 0);
    } catch (...) {
        close(fd);
        throw;
    }
    close(fd);
    return bytes;
}

void writeAt(int fd, const std::string& path, std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    // Large writes go out in pieces, each a step of its own, so a crash test can stop a writer
    // part of the way through one.
    constexpr std::size_t kPiece = 64 * 1024;
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (done % kPiece == 0) step(Step::Kind::Write, path);
        std::size_t length = std::min(kPiece - done % kPiece, bytes.size() - done);
        std::int64_t n = os::writeAt(fd, bytes.data() + done, length, offset + done);
        if (n < 0) fail("write", path);
        done += static_cast<std::size_t>(n);
    }
}

void truncate(int fd, const std::string& path, std::uint64_t length) {
    step(Step::Kind::Resize, path);
    if (!os::resize(fd, length)) fail("resize", path);
}

void sync(int fd, const std::string& path) {
    step(Step::Kind::Sync, path);
    if (!os::flush(fd)) fail("save", path);
}

void syncFolderOf(const std::string& path) {
    step(Step::Kind::SyncFolder, path);
    std::string folder = folderOf(path);
    if (!os::flushFolder(folder)) fail("save the folder", folder);
}

void remove(const std::string& path) {
    step(Step::Kind::Remove, path);
    if (!os::removeFile(path) && errno != ENOENT) fail("delete", path);
}

void replace(const std::string& from, const std::string& to) {
    step(Step::Kind::Replace, to);
    if (!os::replaceFile(from, to)) fail("replace " + to + " with", from);
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
        os::removeFile(file.path);
        throw;
    }
}

std::uint64_t sizeOf(int fd, const std::string& path) { return statusOf(fd, path).size; }

bool exists(const std::string& path) { return os::statusAt(path, true).has_value(); }

FileIdentity identityOf(int fd, const std::string& path) { return statusOf(fd, path).identity; }

std::optional<FileIdentity> identityAt(const std::string& path) {
    std::optional<os::Status> status = os::statusAt(path, true);
    if (!status) return std::nullopt;
    return status->identity;
}

unsigned modeOf(int fd, const std::string& path) { return statusOf(fd, path).mode; }

std::optional<unsigned> modeAt(const std::string& path) {
    std::optional<os::Status> status = os::statusAt(path, true);
    if (!status) return std::nullopt;
    return status->mode;
}

unsigned ownerOf(int fd, const std::string& path) { return statusOf(fd, path).owner; }

std::string realPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(os::toPath(path), error);
    return error || resolved.empty() ? path : os::utf8Of(resolved);
}

}  // namespace kv::jet::durable_io
