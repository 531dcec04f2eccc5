#include "jet/locked_file.h"

#include <cerrno>
#include <optional>
#include <stdexcept>

#include "jet/error.h"
#include "jet/platform_file.h"

namespace kv::jet {
namespace {

// Each attempt that fails saw another program replace the file while it waited for the lock; only
// programs that replace it over and over, without a pause, make them all fail.
constexpr int kAttempts = 25;

constexpr unsigned kWriteBits = 0222;

// Root may write any file, so the permission bits are checked here rather than left to open():
// a file nobody may write is treated as read-only, as the user meant it. Access keeps its own
// locks, which this program does not take, so a file Access has open is never written under it.
int openForUpdate(const std::string& path, const std::string& shownPath) {
    const std::optional<unsigned> mode = durable_io::modeAt(path);
    if (!mode) throw std::runtime_error("Cannot open " + shownPath + ": the file does not exist");
    if ((*mode & kWriteBits) == 0) throw std::runtime_error("Cannot write " + shownPath + ": the file is read-only");
    if (std::optional<std::string> lockFile = platform_file::liveJetLockFile(path))
        throw std::runtime_error("Cannot write " + shownPath + ": Microsoft Access has it open (its lock file " +
                                 *lockFile + " is in use); close it in Access and try again");
    try {
        return durable_io::openForUpdate(path);
    } catch (const durable_io::IoError& error) {
        // Windows: a program that opened the file without sharing it.
        if (error.code() == EBUSY)
            throw std::runtime_error("Cannot write " + shownPath + ": another program has it open");
        throw std::runtime_error("Cannot write " + shownPath + ": the file is read-only or not accessible (" +
                                 error.what() + ")");
    }
}

int openForReading(const std::string& path, const std::string& shownPath) {
    try {
        return durable_io::openForReading(path);
    } catch (const durable_io::IoError&) {
        throw FormatError("Cannot open " + shownPath + ": the file does not exist or cannot be read");
    }
}

}  // namespace

LockedFile::LockedFile(const std::string& path, Access access, FileLock::Kind lock)
    : realPath_(durable_io::realPath(path)) {
    for (int attempt = 1;; ++attempt) {
        fd_ = access == Access::Update ? openForUpdate(realPath_, path) : openForReading(realPath_, path);
        try {
            lock_ = std::make_unique<FileLock>(fd_, path, lock);
            identity_ = durable_io::identityOf(fd_, path);
        } catch (...) {
            release();
            throw;
        }
        if (durable_io::identityAt(realPath_) == identity_) return;
        release();
        if (attempt == kAttempts)
            throw std::runtime_error("Cannot open " + path + ": another program keeps replacing the file");
    }
}

LockedFile::~LockedFile() { release(); }

void LockedFile::release() {
    lock_.reset();
    durable_io::close(fd_);
}

}  // namespace kv::jet
