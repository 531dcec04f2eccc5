#include "jet/rollback_journal.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>

#include "jet/byte_writer.h"
#include "jet/bytes.h"
#include "jet/durable_io.h"
#include "jet/format.h"
#include "jet/platform_file.h"

namespace kv::jet::rollback_journal {
namespace {

// Layout: magic, page size, page count, original length, the database's device and inode (not in
// journals of the first layout, "...01", which are still read), then per page its number and its
// bytes, then a checksum of everything before it.
constexpr std::array<std::uint8_t, 7> kMagicStem = {'K', 'V', 'J', 'R', 'N', 'L', '0'};
constexpr std::uint8_t kFirstLayout = '1', kLayout = '2';
constexpr std::size_t kFirstHeaderSize = 8 + 4 + 4 + 8;
constexpr std::size_t kHeaderSize = kFirstHeaderSize + 8 + 8;
constexpr std::size_t kRecordSize = 4 + format::kPageSize;
constexpr std::size_t kChecksumSize = 8;

std::uint64_t fnv1a(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

struct Journal {
    std::uint64_t originalLength = 0;
    std::vector<SavedPage> pages;
    std::optional<durable_io::FileIdentity> identity;  // none in journals of the first layout
};

std::vector<std::uint8_t> readAll(const std::string& path) {
    int fd = durable_io::openForReading(path, false);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(durable_io::sizeOf(fd, path));
        durable_io::readAt(fd, path, bytes, 0);
    } catch (...) {
        durable_io::close(fd);
        throw;
    }
    durable_io::close(fd);
    return bytes;
}

// The journal's contents when it is complete and intact.
std::optional<Journal> readComplete(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = readAll(path);
    } catch (const durable_io::IoError&) {
        return std::nullopt;
    }
    if (bytes.size() < kFirstHeaderSize + kChecksumSize) return std::nullopt;
    if (!std::equal(kMagicStem.begin(), kMagicStem.end(), bytes.begin())) return std::nullopt;
    const std::uint8_t layout = bytes[kMagicStem.size()];
    if (layout != kFirstLayout && layout != kLayout) return std::nullopt;
    const std::size_t body = bytes.size() - kChecksumSize;
    ByteView view(bytes, path);
    if (view.u64(body) != fnv1a(std::span(bytes).first(body))) return std::nullopt;
    if (view.u32(8) != format::kPageSize) return std::nullopt;

    Journal journal{view.u64(16), {}, std::nullopt};
    std::uint64_t count = view.u32(12);
    std::size_t at = kFirstHeaderSize;
    if (layout == kLayout) {
        if (bytes.size() < kHeaderSize + kChecksumSize) return std::nullopt;
        journal.identity = durable_io::FileIdentity{view.u64(24), view.u64(32)};
        at = kHeaderSize;
    }
    if (bytes.size() != at + count * kRecordSize + kChecksumSize) return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i, at += kRecordSize) {
        auto first = bytes.begin() + static_cast<std::ptrdiff_t>(at + 4);
        journal.pages.push_back({view.u32(at), std::vector<std::uint8_t>(first, first + format::kPageSize)});
    }
    return journal;
}

// Cuts the journal to nothing and syncs it: what its folder does not let be removed is then no
// journal either.
void empty(const std::string& path) {
    int fd = durable_io::openForWriting(path);
    try {
        durable_io::truncate(fd, path, 0);
        durable_io::sync(fd, path);
    } catch (...) {
        durable_io::close(fd);
        throw;
    }
    durable_io::close(fd);
}

// A file in the journal's place that recovery could not remove is in the way of a new journal:
// removed once more (it may be a stale journal of this program's) before the journal is made.
int createJournal(int databaseFd, const std::string& databasePath, const std::string& path) {
    const unsigned mode = durable_io::modeOf(databaseFd, databasePath);
    try {
        return durable_io::createExclusive(path, mode);
    } catch (const durable_io::IoError& error) {
        if (error.code() != EEXIST) throw;
    }
    durable_io::remove(path);
    return durable_io::createExclusive(path, mode);
}

}  // namespace

std::string pathFor(const std::string& databasePath) { return databasePath + "-journal"; }

void save(int fd, const std::string& databasePath, std::uint64_t originalLength,
          const std::vector<SavedPage>& originals) {
    const durable_io::FileIdentity identity = durable_io::identityOf(fd, databasePath);

    std::vector<std::uint8_t> bytes(kMagicStem.begin(), kMagicStem.end());
    bytes.push_back(kLayout);
    bytes.reserve(kHeaderSize + originals.size() * kRecordSize + kChecksumSize);
    appendU32(bytes, static_cast<std::uint32_t>(format::kPageSize));
    appendU32(bytes, static_cast<std::uint32_t>(originals.size()));
    appendU64(bytes, originalLength);
    appendU64(bytes, identity.device);
    appendU64(bytes, identity.inode);
    for (const SavedPage& page : originals) {
        appendU32(bytes, page.number);
        bytes.insert(bytes.end(), page.bytes.begin(), page.bytes.end());
    }
    appendU64(bytes, fnv1a(bytes));

    std::string path = pathFor(databasePath);
    int journal = -1;
    bool created = false;
    try {
        journal = createJournal(fd, databasePath, path);
        created = true;
        durable_io::writeAt(journal, path, bytes, 0);
        durable_io::sync(journal, path);
        durable_io::close(std::exchange(journal, -1));
        durable_io::syncFolderOf(path);
    } catch (const durable_io::IoError&) {
        if (journal >= 0) durable_io::close(journal);
        if (created) platform_file::removeFile(path);
        throw;
    }
}

void rollBack(int fd, const std::string& databasePath, std::uint64_t originalLength,
              const std::vector<SavedPage>& originals) {
    for (const SavedPage& page : originals)
        durable_io::writeAt(fd, databasePath, page.bytes, std::uint64_t{page.number} * format::kPageSize);
    durable_io::truncate(fd, databasePath, originalLength);
    durable_io::sync(fd, databasePath);
}

void discard(const std::string& databasePath) {
    const std::string path = pathFor(databasePath);
    try {
        durable_io::remove(path);
    } catch (const durable_io::IoError& removal) {
        try {
            empty(path);
        } catch (const durable_io::IoError& emptying) {
            throw durable_io::IoError(
                std::string(removal.what()) + " (emptying it failed too: " + emptying.what() + ")", removal.code());
        }
        return;
    }
    durable_io::syncFolderOf(path);
}

bool pending(int fd, const std::string& databasePath) {
    const std::optional<platform_file::Status> journal = platform_file::statusAt(pathFor(databasePath), false);
    return journal && journal->regular && journal->size > 0 && journal->owner == durable_io::ownerOf(fd, databasePath);
}

bool recoverLocked(int fd, const std::string& databasePath) {
    const std::string path = pathFor(databasePath);
    if (!pending(fd, databasePath)) {
        // Empty, or not this program's: never applied. Removing it keeps it from blocking the next
        // commit; where the folder does not allow that, the commit refuses instead.
        if (!platform_file::statusAt(path, false)) return false;
        try {
            durable_io::remove(path);
        } catch (const durable_io::IoError&) {
        }
        return false;
    }
    std::optional<Journal> journal = readComplete(path);
    const bool applies =
        journal && (!journal->identity || *journal->identity == durable_io::identityOf(fd, databasePath));
    if (applies) rollBack(fd, databasePath, journal->originalLength, journal->pages);
    discard(databasePath);
    return applies;
}

}  // namespace kv::jet::rollback_journal
