#include "data_access/workbook/compound_file.h"

#include <algorithm>
#include <optional>

#include "data_access/workbook/workbook_damage.h"

namespace kv::data_access::workbook {
namespace {

constexpr std::size_t kHeaderSize = 512;
constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kMajorVersionAt = 26;
constexpr std::size_t kByteOrderAt = 28;
constexpr std::uint16_t kLittleEndian = 0xFFFE;
constexpr std::size_t kSectorShiftAt = 30;
constexpr std::size_t kMiniSectorShiftAt = 32;
constexpr std::size_t kFatSectorsAt = 44;
constexpr std::size_t kFirstDirectorySectorAt = 48;
constexpr std::size_t kMiniCutoffAt = 56;
constexpr std::size_t kFirstMiniFatSectorAt = 60;
constexpr std::size_t kFirstDifatSectorAt = 68;
constexpr std::size_t kHeaderDifatAt = 76;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::uint16_t kMajorVersionWithLargeSizes = 4;

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;
constexpr std::uint32_t kMaxSectorNumber = 0xFFFFFFFA;
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::uint16_t kMiniSectorShift = 6;

constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kEntryNameUnits = 32;
constexpr std::size_t kEntryNameLengthAt = 64;
constexpr std::size_t kEntryTypeAt = 66;
constexpr std::size_t kEntryLeftAt = 68;
constexpr std::size_t kEntryRightAt = 72;
constexpr std::size_t kEntryChildAt = 76;
constexpr std::size_t kEntryStartAt = 116;
constexpr std::size_t kEntrySizeAt = 120;
constexpr std::uint8_t kStreamEntry = 2;
constexpr std::uint8_t kRootEntry = 5;

std::string number(std::uint64_t value) { return std::to_string(value); }

std::uint64_t sectorsFor(std::uint64_t size, std::size_t sectorSize) { return (size + sectorSize - 1) / sectorSize; }

// The sectors of the chain that starts at `first` in `table` (a FAT or the mini FAT), among
// `sectorCount` sectors: `length` of them, or up to the end-of-chain mark when no length is known.
// `what` names the chain in errors.
std::vector<std::uint32_t> followChain(const std::vector<std::uint32_t>& table, std::uint32_t first,
                                       std::uint32_t sectorCount, std::optional<std::uint64_t> length,
                                       const std::string& what) {
    std::vector<std::uint32_t> chain;
    std::vector<bool> visited(sectorCount);
    for (std::uint32_t next = first; length ? chain.size() < *length : next != kEndOfChain; next = table[next]) {
        if (next == kEndOfChain)
            throw WorkbookDamage(what + " ends after " + number(chain.size()) + " of its " + number(*length) +
                                 " sectors");
        if (next >= sectorCount)
            throw WorkbookDamage(what + " names sector " + number(next) + ", but there are " + number(sectorCount));
        if (next >= table.size())
            throw WorkbookDamage(what + " reaches sector " + number(next) + ", which has no entry");
        if (visited[next]) throw WorkbookDamage(what + " loops back to sector " + number(next));
        visited[next] = true;
        chain.push_back(next);
    }
    return chain;
}

bool sameName(const std::u16string& name, std::string_view wanted) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
    return name.size() == wanted.size() &&
           std::equal(name.begin(), name.end(), wanted.begin(),
                      [&](char16_t a, char b) { return lower(a) == lower(static_cast<unsigned char>(b)); });
}

}  // namespace

CompoundFile::CompoundFile(std::span<const std::uint8_t> bytes) : file_(bytes, "the file") {
    if (bytes.size() < kHeaderSize)
        throw WorkbookDamage("the file is " + number(bytes.size()) + " bytes, too short for a compound file header");
    if (!std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()))
        throw WorkbookDamage("the file does not start with the compound file signature");
    if (file_.u16(kByteOrderAt) != kLittleEndian) throw WorkbookDamage("the header's byte order mark is wrong");
    const std::uint16_t shift = file_.u16(kSectorShiftAt);
    if (shift != 9 && shift != 12)
        throw WorkbookDamage("the header's sector shift is " + number(shift) + ", not 9 or 12");
    if (file_.u16(kMiniSectorShiftAt) != kMiniSectorShift)
        throw WorkbookDamage("the header's mini sector shift is " + number(file_.u16(kMiniSectorShiftAt)) + ", not 6");
    sectorSize_ = std::size_t{1} << shift;
    // Sector 0 follows the header, which takes a whole sector; a short last sector still counts.
    const std::uint64_t afterHeader = bytes.size() > sectorSize_ ? bytes.size() - sectorSize_ : 0;
    sectorCount_ =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(sectorsFor(afterHeader, sectorSize_), kMaxSectorNumber));
    largeSizes_ = file_.u16(kMajorVersionAt) >= kMajorVersionWithLargeSizes;
    miniCutoff_ = file_.u32(kMiniCutoffAt);
    miniFatStart_ = file_.u32(kFirstMiniFatSectorAt);

    const std::uint32_t fatSectors = file_.u32(kFatSectorsAt);
    if (fatSectors > sectorCount_)
        throw WorkbookDamage("the header declares " + number(fatSectors) + " FAT sectors, but the file has only " +
                             number(sectorCount_) + " sectors");
    fat_ = tableOf(fatSectorNumbers(fatSectors));
    readDirectory(file_.u32(kFirstDirectorySectorAt));
}

jet::ByteView CompoundFile::sector(std::uint32_t number) const {
    if (number >= sectorCount_)
        throw WorkbookDamage("sector " + std::to_string(number) + " lies past the end of the file");
    const std::size_t offset = (std::size_t{number} + 1) * sectorSize_;
    return file_.sub(offset, std::min(sectorSize_, file_.size() - offset));
}

std::vector<std::uint32_t> CompoundFile::fatSectorNumbers(std::uint32_t fatSectors) const {
    std::vector<std::uint32_t> numbers;
    for (std::size_t i = 0; i < kHeaderDifatEntries && numbers.size() < fatSectors; ++i)
        numbers.push_back(file_.u32(kHeaderDifatAt + 4 * i));
    // Each further DIFAT sector lists FAT sectors and, in its last entry, the next DIFAT sector.
    const std::size_t perSector = sectorSize_ / 4 - 1;
    std::vector<bool> visited(sectorCount_);
    for (std::uint32_t next = file_.u32(kFirstDifatSectorAt); numbers.size() < fatSectors;) {
        if (next >= sectorCount_)
            throw WorkbookDamage("the DIFAT lists " + number(numbers.size()) + " of " + number(fatSectors) +
                                 " FAT sectors, then names sector " + number(next));
        if (visited[next]) throw WorkbookDamage("the DIFAT chain loops back to sector " + number(next));
        visited[next] = true;
        const jet::ByteView difat = sector(next);
        for (std::size_t i = 0; i < perSector && numbers.size() < fatSectors; ++i) numbers.push_back(difat.u32(4 * i));
        next = difat.u32(4 * perSector);
    }
    return numbers;
}

std::vector<std::uint32_t> CompoundFile::tableOf(const std::vector<std::uint32_t>& sectors) const {
    std::vector<std::uint32_t> table;
    table.reserve(sectors.size() * (sectorSize_ / 4));
    for (std::uint32_t number : sectors) {
        const jet::ByteView entries = sector(number);
        for (std::size_t at = 0; at + 4 <= entries.size(); at += 4) table.push_back(entries.u32(at));
    }
    return table;
}

void CompoundFile::readDirectory(std::uint32_t start) {
    for (std::uint32_t number : followChain(fat_, start, sectorCount_, std::nullopt, "the directory chain")) {
        const jet::ByteView entries = sector(number);
        for (std::size_t at = 0; at + kEntrySize <= entries.size(); at += kEntrySize) {
            const jet::ByteView bytes = entries.sub(at, kEntrySize);
            Entry entry;
            // The length counts bytes, the closing NUL included.
            const std::size_t units = std::min<std::size_t>(bytes.u16(kEntryNameLengthAt) / 2, kEntryNameUnits);
            for (std::size_t i = 0; i + 1 < units; ++i) entry.name += static_cast<char16_t>(bytes.u16(2 * i));
            entry.type = bytes.u8(kEntryTypeAt);
            entry.left = bytes.u32(kEntryLeftAt);
            entry.right = bytes.u32(kEntryRightAt);
            entry.child = bytes.u32(kEntryChildAt);
            entry.start = bytes.u32(kEntryStartAt);
            // Version 3 files may leave garbage in the high half of the size.
            entry.size = largeSizes_ ? bytes.u64(kEntrySizeAt) : bytes.u32(kEntrySizeAt);
            directory_.push_back(std::move(entry));
        }
    }
    if (directory_.empty() || directory_.front().type != kRootEntry)
        throw WorkbookDamage("the directory does not start with the root entry");
}

// The root's children form a binary tree through their left and right links; it is walked with a
// stack of its own, every entry at most once.
const CompoundFile::Entry* CompoundFile::findRootChild(std::string_view name) const {
    std::vector<bool> seen(directory_.size());
    std::vector<std::uint32_t> pending{directory_.front().child};
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == kNoEntry) continue;
        if (id >= directory_.size())
            throw WorkbookDamage("the directory links to entry " + number(id) + " of its " + number(directory_.size()));
        if (seen[id]) throw WorkbookDamage("the directory's links loop back to entry " + number(id));
        seen[id] = true;
        const Entry& entry = directory_[id];
        if (entry.type == kStreamEntry && sameName(entry.name, name)) return &entry;
        pending.push_back(entry.left);
        pending.push_back(entry.right);
    }
    return nullptr;
}

std::vector<std::uint8_t> CompoundFile::rootStream(std::string_view name) const {
    const Entry* entry = findRootChild(name);
    const std::string what = "the " + std::string(name) + " stream";
    if (!entry) throw WorkbookDamage("the file has no " + std::string(name) + " stream");
    if (entry->size > file_.size())
        throw WorkbookDamage(what + " claims " + number(entry->size) + " bytes, more than the file holds");
    return entry->size < miniCutoff_ ? miniStream(entry->start, entry->size, what)
                                     : regularStream(entry->start, entry->size, what);
}

std::vector<std::uint8_t> CompoundFile::regularStream(std::uint32_t start, std::uint64_t size,
                                                      const std::string& what) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size);
    for (std::uint32_t number : followChain(fat_, start, sectorCount_, sectorsFor(size, sectorSize_), what)) {
        const auto part = sector(number).slice(0, std::min<std::uint64_t>(sectorSize_, size - bytes.size()));
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

std::vector<std::uint8_t> CompoundFile::miniStream(std::uint32_t start, std::uint64_t size,
                                                   const std::string& what) const {
    const Entry& root = directory_.front();
    if (root.size > file_.size())
        throw WorkbookDamage("the mini stream claims " + number(root.size) + " bytes, more than the file holds");
    const std::vector<std::uint8_t> container = regularStream(root.start, root.size, "the mini stream");
    const std::vector<std::uint32_t> miniFat =
        tableOf(followChain(fat_, miniFatStart_, sectorCount_, std::nullopt, "the mini FAT chain"));
    const auto miniSectors = static_cast<std::uint32_t>(sectorsFor(container.size(), kMiniSectorSize));
    const jet::ByteView view(container, "the mini stream");
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size);
    for (std::uint32_t number :
         followChain(miniFat, start, miniSectors, sectorsFor(size, kMiniSectorSize), what + " in the mini stream")) {
        const auto part = view.slice(std::size_t{number} * kMiniSectorSize,
                                     std::min<std::uint64_t>(kMiniSectorSize, size - bytes.size()));
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

}  // namespace kv::data_access::workbook
