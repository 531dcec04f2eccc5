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
// bytes, then a checksum of everything before it: byte by byte in the first two layouts, a word at
// a time since.
constexpr std::array<std::uint8_t, 7> kMagicStem = {'K', 'V', 'J', 'R', 'N', 'L', '0'};
constexpr std::uint8_t kFirstLayout = '1', kSecondLayout = '2', kLayout = '3';
constexpr std::size_t kFirstHeaderSize = 8 + 4 + 4 + 8;
constexpr std::size_t kHeaderSize = kFirstHeaderSize + 8 + 8;
constexpr std::size_t kRecordSize = 4 + format::kPageSize;
constexpr std::size_t kChecksumSize = 8;

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ull, kFnvPrime = 0x100000001b3ull;

// FNV-1a over the bytes, as the first two layouts check them.
std::uint64_t byteChecksum(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = kFnvOffset;
    for (std::uint8_t byte : bytes) hash = (hash ^ byte) * kFnvPrime;
    return hash;
}

// FNV-1a over the bytes taken as little-endian 64-bit words, the last one padded with zeros, fed
// piece by piece: an eighth of the multiplications of the byte-wise sum, which bound its speed.
class WordChecksum {
public:
    void add(std::span<const std::uint8_t> bytes) {
        while (!bytes.empty() && filled_ != 0) take(bytes);
        for (; bytes.size() >= 8; bytes = bytes.subspan(8)) mix(readLittleEndian64(bytes.data()));
        while (!bytes.empty()) take(bytes);
    }
    std::uint64_t value() const { return filled_ == 0 ? hash_ : (hash_ ^ pending_) * kFnvPrime; }

private:
    static std::uint64_t readLittleEndian64(const std::uint8_t* bytes) {
        std::uint64_t word = 0;
        for (int i = 7; i >= 0; --i) word = word << 8 | bytes[i];
        return word;
    }
    void mix(std::uint64_t word) { hash_ = (hash_ ^ word) * kFnvPrime; }
    void take(std::span<const std::uint8_t>& bytes) {
        pending_ |= std::uint64_t{bytes.front()} << (8 * filled_);
        bytes = bytes.subspan(1);
        if (++filled_ < 8) return;
        mix(pending_);
        pending_ = 0;
        filled_ = 0;
    }

    std::uint64_t hash_ = kFnvOffset;
    std::uint64_t pending_ = 0;
    unsigned filled_ = 0;
};

std::uint64_t wordChecksum(std::span<const std::uint8_t> bytes) {
    WordChecksum sum;
    sum.add(bytes);
    return sum.value();
}

// Writes a journal from the start in pieces of a bounded size, checksumming as it goes, so that a
// journal of many pages is never held whole a second time.
class JournalWriter {
public:
    JournalWriter(int fd, const std::string& path) : fd_(fd), path_(path) { buffer_.reserve(kFlushSize); }
    std::vector<std::uint8_t>& buffer() { return buffer_; }
    void flushIfFull() {
        if (buffer_.size() >= kFlushSize) flush();
    }
    void finish() {
        checksum_.add(buffer_);
        appendU64(buffer_, checksum_.value());
        write();
    }

private:
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;

    void flush() {
        checksum_.add(buffer_);
        write();
    }
    void write() {
        durable_io::writeAt(fd_, path_, buffer_, written_);
        written_ += buffer_.size();
        buffer_.clear();
    }

    int fd_;
    const std::string& path_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t written_ = 0;
    WordChecksum checksum_;
};

struct Journal {
    std::uint64_t originalLength = 0;
    std::vector<std::uint8_t> bytes;  // the whole journal, which `pages` see into
    std::vector<SavedPage> pages;
    std::optional<durable_io::FileIdentity> identity;  // none in journals of the first layout
};

// The journal's contents when it is complete and intact.
std::optional<Journal> readComplete(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = durable_io::readWhole(path, false);
    } catch (const durable_io::IoError&) {
        return std::nullopt;
    }
    if (bytes.size() < kFirstHeaderSize + kChecksumSize) return std::nullopt;
    if (!std::equal(kMagicStem.begin(), kMagicStem.end(), bytes.begin())) return std::nullopt;
    const std::uint8_t layout = bytes[kMagicStem.size()];
    if (layout != kFirstLayout && layout != kSecondLayout && layout != kLayout) return std::nullopt;
    const std::size_t body = bytes.size() - kChecksumSize;
    ByteView view(bytes, path);
    const auto checked = std::span(bytes).first(body);
    if (view.u64(body) != (layout == kLayout ? wordChecksum(checked) : byteChecksum(checked))) return std::nullopt;
    if (view.u32(8) != format::kPageSize) return std::nullopt;

    Journal journal{view.u64(16), {}, {}, std::nullopt};
    std::uint64_t count = view.u32(12);
    std::size_t at = kFirstHeaderSize;
    if (layout != kFirstLayout) {
        if (bytes.size() < kHeaderSize + kChecksumSize) return std::nullopt;
        journal.identity = durable_io::FileIdentity{view.u64(24), view.u64(32)};
        at = kHeaderSize;
    }
    if (bytes.size() != at + count * kRecordSize + kChecksumSize) return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i, at += kRecordSize)
        journal.pages.push_back(
            {view.u32(at), std::span<const std::uint8_t>(bytes).subspan(at + 4, format::kPageSize)});
    journal.bytes = std::move(bytes);  // the vector's storage, and so the pages' views, stay where they are
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
    std::string path = pathFor(databasePath);
    int journal = -1;
    bool created = false;
    try {
        journal = createJournal(fd, databasePath, path);
        created = true;
        JournalWriter writer(journal, path);
        std::vector<std::uint8_t>& bytes = writer.buffer();
        bytes.insert(bytes.end(), kMagicStem.begin(), kMagicStem.end());
        bytes.push_back(kLayout);
        appendU32(bytes, static_cast<std::uint32_t>(format::kPageSize));
        appendU32(bytes, static_cast<std::uint32_t>(originals.size()));
        appendU64(bytes, originalLength);
        appendU64(bytes, identity.device);
        appendU64(bytes, identity.inode);
        for (const SavedPage& page : originals) {
            appendU32(bytes, page.number);
            bytes.insert(bytes.end(), page.bytes.begin(), page.bytes.end());
            writer.flushIfFull();
        }
        writer.finish();
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
