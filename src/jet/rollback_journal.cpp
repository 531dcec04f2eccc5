#include "jet/rollback_journal.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "jet/byte_writer.h"
#include "jet/bytes.h"
#include "jet/durable_io.h"
#include "jet/format.h"

namespace kv::jet::rollback_journal {
namespace {

// Layout: magic, page size, page count, original length, checksum of everything before it, then per
// page its number and its bytes.
constexpr std::array<std::uint8_t, 8> kMagic = {'K', 'V', 'J', 'R', 'N', 'L', '0', '1'};
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 8;
constexpr std::size_t kRecordSize = 4 + format::kPageSize;
constexpr std::size_t kChecksumSize = 8;

std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes, std::size_t length) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < length; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
    return hash;
}

struct Journal {
    std::uint64_t originalLength;
    std::vector<SavedPage> pages;
};

// The journal's contents when it is complete and intact.
std::optional<Journal> readComplete(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < kHeaderSize + kChecksumSize) return std::nullopt;
    if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return std::nullopt;
    ByteView view(bytes, path);
    if (view.u32(8) != format::kPageSize) return std::nullopt;
    std::uint64_t count = view.u32(12);
    if (bytes.size() != kHeaderSize + count * kRecordSize + kChecksumSize) return std::nullopt;
    std::size_t body = bytes.size() - kChecksumSize;
    if (view.u64(body) != fnv1a(bytes, body)) return std::nullopt;

    Journal journal{view.u64(16), {}};
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = kHeaderSize + i * kRecordSize;
        auto first = bytes.begin() + static_cast<std::ptrdiff_t>(at + 4);
        journal.pages.push_back({view.u32(at), std::vector<std::uint8_t>(first, first + format::kPageSize)});
    }
    return journal;
}

void restore(int fd, const std::string& databasePath, const Journal& journal) {
    for (const SavedPage& page : journal.pages)
        durable_io::writeAt(fd, databasePath, page.bytes, std::uint64_t{page.number} * format::kPageSize);
    durable_io::truncate(fd, databasePath, journal.originalLength);
    durable_io::sync(fd, databasePath);
}

}  // namespace

std::string pathFor(const std::string& databasePath) { return databasePath + "-journal"; }

void save(const std::string& databasePath, std::uint64_t originalLength, const std::vector<SavedPage>& pages) {
    std::vector<std::uint8_t> bytes(kMagic.begin(), kMagic.end());
    bytes.reserve(kHeaderSize + pages.size() * kRecordSize + kChecksumSize);
    appendU32(bytes, static_cast<std::uint32_t>(format::kPageSize));
    appendU32(bytes, static_cast<std::uint32_t>(pages.size()));
    appendU64(bytes, originalLength);
    for (const SavedPage& page : pages) {
        appendU32(bytes, page.number);
        bytes.insert(bytes.end(), page.bytes.begin(), page.bytes.end());
    }
    appendU64(bytes, fnv1a(bytes, bytes.size()));

    std::string path = pathFor(databasePath);
    int fd = -1;
    try {
        fd = durable_io::createForWriting(path);
        durable_io::writeAt(fd, path, bytes, 0);
        durable_io::sync(fd, path);
        durable_io::close(fd);
        fd = -1;
        durable_io::syncFolderOf(path);
    } catch (...) {
        if (fd >= 0) durable_io::close(fd);
        std::remove(path.c_str());
        throw;
    }
}

void rollBack(int fd, const std::string& databasePath) {
    std::optional<Journal> journal = readComplete(pathFor(databasePath));
    if (!journal) throw durable_io::IoError("Cannot roll back " + databasePath + ": its journal cannot be read", 0);
    restore(fd, databasePath, *journal);
}

void discard(const std::string& databasePath) {
    durable_io::remove(pathFor(databasePath));
    durable_io::syncFolderOf(databasePath);
}

bool recoverLocked(int fd, const std::string& databasePath) {
    std::string path = pathFor(databasePath);
    if (!durable_io::exists(path)) return false;
    std::optional<Journal> journal = readComplete(path);
    if (journal) restore(fd, databasePath, *journal);
    discard(databasePath);
    return journal.has_value();
}

}  // namespace kv::jet::rollback_journal
