#include "jet/committed_read.h"

#include <optional>
#include <stdexcept>

#include "jet/durable_io.h"
#include "jet/locked_file.h"
#include "jet/rollback_journal.h"
#include "jet/writable_database.h"

namespace kv::jet {
namespace {

// Each pass that meets a journal rolls it back; another writer would have to stop halfway through
// a commit between passes for a journal to be met again.
constexpr int kAttempts = 3;

// The whole file, read under the shared lock, which waits for a commit in progress to end; empty
// when a journal is beside it then: no writer holds the lock, so the journal's writer is gone.
std::optional<PageFile> readUnlessJournaled(const std::string& path) {
    LockedFile file(path, LockedFile::Access::ReadOnly, FileLock::Kind::Read);
    if (rollback_journal::pending(file.fd(), file.realPath())) return std::nullopt;
    std::vector<std::uint8_t> bytes(durable_io::sizeOf(file.fd(), path));
    durable_io::readAt(file.fd(), path, bytes, 0);
    return PageFile(path, std::move(bytes), file.identity());
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
