#include "jet/committed_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <stdexcept>

#include "jet/durable_io.h"
#include "jet/file_lock.h"
#include "jet/rollback_journal.h"
#include "jet/writable_database.h"

namespace kv::jet {
namespace {

// Each pass that meets a journal rolls it back; another writer would have to stop halfway through
// a commit between passes for a journal to be met again.
constexpr int kAttempts = 3;

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) throw FormatError("Cannot open " + path + ": the file does not exist or cannot be read");
    }
    ~ReadOnlyFile() { ::close(fd_); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// The whole file, read under the shared lock, which waits for a commit in progress to end; empty
// when a journal is beside it then: no writer holds the lock, so the journal's writer is gone.
std::optional<PageFile> readUnlessJournaled(const std::string& path) {
    ReadOnlyFile file(path);
    FileLock lock(file.fd(), path, FileLock::Kind::Read);
    if (durable_io::exists(rollback_journal::pathFor(path))) return std::nullopt;
    std::vector<std::uint8_t> bytes(durable_io::sizeOf(file.fd(), path));
    durable_io::readAt(file.fd(), path, bytes, 0);
    return PageFile(path, std::move(bytes));
}

}  // namespace

PageFile readCommittedFile(const std::string& path) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (std::optional<PageFile> file = readUnlessJournaled(path)) return std::move(*file);
        recoverInterruptedCommit(path);
    }
    throw std::runtime_error("Cannot read " + path + ": a commit of another program keeps being interrupted");
}

}  // namespace kv::jet
