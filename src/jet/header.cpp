#include "jet/header.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace kv::jet {
namespace {

namespace h = format::header;

// The password bytes are masked a second time with the integer part of the creation date; an empty
// password leaves them all zero.
bool passwordIsSet(const ByteView& plain) {
    std::uint64_t bits = plain.u64(h::kCreationDateOffset);
    double date;
    std::memcpy(&date, &bits, sizeof date);
    std::uint32_t dateMask =
        std::isfinite(date) && std::abs(date) < 2e9 ? static_cast<std::uint32_t>(static_cast<std::int32_t>(date)) : 0;
    std::array<std::uint8_t, 4> mask = {static_cast<std::uint8_t>(dateMask), static_cast<std::uint8_t>(dateMask >> 8),
                                        static_cast<std::uint8_t>(dateMask >> 16),
                                        static_cast<std::uint8_t>(dateMask >> 24)};
    for (std::size_t i = 0; i < h::kPasswordSize; ++i)
        if ((plain.u8(h::kPasswordOffset + i) ^ mask[i % mask.size()]) != 0) return true;
    return false;
}

}  // namespace

// The masked area is XOR-ed with the RC4 key stream of a fixed key, so the same pass masks and unmasks.
void toggleHeaderMask(std::span<std::uint8_t> page) {
    std::array<std::uint8_t, 256> state;
    for (int i = 0; i < 256; ++i) state[i] = static_cast<std::uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + state[i] + h::kMaskKey[i % h::kMaskKey.size()]) & 0xff;
        std::swap(state[i], state[j]);
    }
    for (std::size_t at = h::kMaskStart, i = 0, j = 0; at < h::kMaskEnd && at < page.size(); ++at) {
        i = (i + 1) & 0xff;
        j = (j + state[i]) & 0xff;
        std::swap(state[i], state[j]);
        page[at] ^= state[(state[i] + state[j]) & 0xff];
    }
}

DatabaseSignature databaseSignature(std::span<const std::uint8_t> start) {
    if (start.size() < kDatabaseSignatureSize) return DatabaseSignature::None;
    ByteView bytes(start.first(kDatabaseSignatureSize), "the start of the file");
    if (bytes.u32(h::kMagicOffset) != h::kMagic) return DatabaseSignature::None;
    auto name = bytes.slice(h::kFormatNameOffset, h::kJetFormatName.size());
    if (std::equal(name.begin(), name.end(), h::kJetFormatName.begin())) return DatabaseSignature::Jet;
    if (std::equal(name.begin(), name.end(), h::kAceFormatName.begin())) return DatabaseSignature::Ace;
    return DatabaseSignature::None;
}

Header readHeader(const PageFile& file) {
    const std::string& path = file.path();
    if (file.pageCount() == 0) throw FormatError(path + " is not an Access database (it is too short to be one)");
    ByteView page = file.page(0);
    DatabaseSignature signature = databaseSignature(page.bytes());
    if (signature == DatabaseSignature::None) throw FormatError(path + " is not an Access database");
    Header header;
    header.version = page.u8(h::kVersionOffset);
    if (signature == DatabaseSignature::Ace || header.version > h::kVersionJet4)
        throw FormatError(
            path +
            " is an Access 2007 or later (ACCDB) database; only Access 2000 to 2003 (Jet 4) databases can be read");
    if (header.version == h::kVersionJet3)
        throw FormatError(path +
                          " is an Access 97 (Jet 3) database; only Access 2000 to 2003 (Jet 4) databases can be read");

    std::vector<std::uint8_t> plainBytes(page.bytes().begin(), page.bytes().end());
    toggleHeaderMask(plainBytes);
    ByteView plain = page.within(plainBytes);
    header.codePage = plain.u16(h::kCodePageOffset);
    header.sortOrder = plain.u16(h::kSortOrderOffset);
    header.encryptionKey = plain.u32(h::kEncryptionKeyOffset);
    header.hasPassword = passwordIsSet(plain);
    if (header.encryptionKey != 0)
        throw FormatError(path + " is an encrypted Access database; decrypt it in Access first");
    if (header.hasPassword)
        throw FormatError(path + " is a password-protected Access database; remove the password in Access first");
    return header;
}

}  // namespace kv::jet
