#include "jet/committed_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>

#include "jet/durable_io.h"
#include "jet/file_lock.h"
#include "jet/rollback_journal.h"
#include "jet/writable_database.h"

namespace kv::jet {
namespace {

// A writer may stop and leave a journal between our recovery and our lock; then we recover again.
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

}  // namespace

PageFile readCommittedFile(const std::string& path) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        recoverInterruptedCommit(path);
        ReadOnlyFile file(path);
        FileLock lock(file.fd(), path, FileLock::Kind::Shared);
        if (durable_io::exists(rollback_journal::pathFor(path))) continue;
        std::vector<std::uint8_t> bytes(durable_io::sizeOf(file.fd(), path));
        durable_io::readAt(file.fd(), path, bytes, 0);
        return PageFile(path, std::move(bytes));
    }
    throw std::runtime_error("Cannot read " + path + ": a commit of another program keeps being interrupted");
}

}  // namespace kv::jet
