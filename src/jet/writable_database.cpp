#include "jet/writable_database.h"

#include <algorithm>
#include <span>
#include <stdexcept>

#include "jet/durable_io.h"
#include "jet/rollback_journal.h"

namespace kv::jet {
namespace {

// Consecutive pages go out together, in writes of at most this many, so that a commit of many
// pages never holds them all a second time.
constexpr std::size_t kPagesPerWrite = 256;

void writeRuns(int fd, const std::string& path, const PageImages& pages) {
    std::vector<std::uint8_t> run;
    run.reserve(kPagesPerWrite * format::kPageSize);
    std::uint32_t runStart = 0;
    auto flush = [&] {
        if (!run.empty()) durable_io::writeAt(fd, path, run, std::uint64_t{runStart} * format::kPageSize);
        run.clear();
    };
    std::uint32_t expected = 0;
    for (const auto& [number, bytes] : pages) {
        if (run.empty() || number != expected || run.size() == kPagesPerWrite * format::kPageSize) {
            flush();
            runStart = number;
        }
        run.insert(run.end(), bytes.begin(), bytes.end());
        expected = number + 1;
    }
    flush();
}

// The originals of the pages of `pages` that the file holds now, as `asRead` (the file read under
// the lock) holds them.
std::vector<rollback_journal::SavedPage> originalsOf(const PageFile& asRead, const PageImages& pages) {
    std::vector<rollback_journal::SavedPage> originals;
    for (auto next = pages.begin(); next != pages.end() && next->first < asRead.pageCount(); ++next)
        originals.push_back({next->first, asRead.page(next->first).bytes()});
    return originals;
}

// Puts back the pages a commit that failed before its journal was discarded may have overwritten;
// returns how the file was left.
std::string putBackAfterFailedCommit(int fd, const std::string& path, std::uint64_t originalLength,
                                     const std::vector<rollback_journal::SavedPage>& originals) {
    try {
        rollback_journal::rollBack(fd, path, originalLength, originals);
    } catch (const std::exception& error) {
        // The journal is durable and stays: whoever opens the file next rolls it back.
        return std::string("putting the database back failed too (") + error.what() +
               "), so it will be recovered from its journal the next time it is opened";
    }
    try {
        rollback_journal::discard(path);
    } catch (const std::exception&) {
        // The file is as it was; rolling the journal back again on the next open changes nothing.
    }
    return "the database was left as it was";
}

}  // namespace

WritableDatabase::WritableDatabase(std::string path, FileLock::Kind lock)
    : path_(std::move(path)), file_(path_, LockedFile::Access::Update, lock) {
    rollback_journal::recoverLocked(file_.fd(), file_.realPath());
}

void WritableDatabase::commitPages(const PageImages& pages, const PageFile& asRead) {
    if (replaced_) throw std::logic_error("a commit to a database file that was replaced");
    for (const auto& [number, bytes] : pages)
        if (bytes.size() != format::kPageSize)
            throw std::logic_error("a page image of " + std::to_string(bytes.size()) + " bytes");

    const int fd = file_.fd();
    const std::string& real = file_.realPath();
    std::uint64_t originalLength = durable_io::sizeOf(fd, real);
    if (originalLength / format::kPageSize != asRead.pageCount())
        throw std::logic_error("a commit of pages against a read of another length of the file");
    const std::vector<rollback_journal::SavedPage> originals = originalsOf(asRead, pages);
    rollback_journal::save(fd, real, originalLength, originals);

    try {
        writeRuns(fd, real, pages);
        durable_io::sync(fd, real);
        // The commit point: a journal still there would take the commit back on the next open, so
        // one that cannot be discarded takes it back now.
        rollback_journal::discard(real);
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(error.what()) + "; " +
                                 putBackAfterFailedCommit(fd, real, originalLength, originals));
    }
}

PageFile WritableDatabase::read() const {
    std::vector<std::uint8_t> bytes(durable_io::sizeOf(file_.fd(), path_));
    durable_io::readAt(file_.fd(), path_, bytes, 0);
    return PageFile(path_, std::move(bytes), identity());
}

PageFile WritableDatabase::readSince(const PageFile& earlier) const {
    // Read in runs of pages into one buffer: a fresh buffer the size of the file costs more in
    // page faults than reading it does.
    constexpr std::uint32_t kPagesPerRead = 64;
    const auto pageCount = static_cast<std::uint32_t>(durable_io::sizeOf(file_.fd(), path_) / format::kPageSize);
    std::vector<std::uint8_t> buffer(std::size_t{kPagesPerRead} * format::kPageSize);
    PageImages changed;
    for (std::uint32_t first = 0; first < pageCount; first += kPagesPerRead) {
        std::uint32_t count = std::min(kPagesPerRead, pageCount - first);
        std::span<std::uint8_t> run(buffer.data(), std::size_t{count} * format::kPageSize);
        durable_io::readAt(file_.fd(), path_, run, std::uint64_t{first} * format::kPageSize);
        for (std::uint32_t i = 0; i < count; ++i) {
            auto page = run.subspan(std::size_t{i} * format::kPageSize, format::kPageSize);
            if (first + i < earlier.pageCount()) {
                auto before = earlier.page(first + i).bytes();
                if (std::equal(page.begin(), page.end(), before.begin())) continue;
            }
            changed.emplace(first + i, std::vector<std::uint8_t>(page.begin(), page.end()));
        }
    }
    return earlier.changedTo(changed, pageCount);
}

void WritableDatabase::replaceWhole(const std::vector<std::uint8_t>& bytes) {
    durable_io::replaceWhole(file_.realPath(), bytes, durable_io::modeOf(file_.fd(), file_.realPath()));
    replaced_ = true;
}

void recoverInterruptedCommit(const std::string& path) {
    if (!durable_io::exists(rollback_journal::pathFor(durable_io::realPath(path)))) return;
    WritableDatabase database(path, FileLock::Kind::Recovery);  // opening it rolls the journal back
}

}  // namespace kv::jet
