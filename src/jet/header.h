#pragma once
// Page 0 of a database: which engine wrote the file, its code page and sort order, and whether it
// is encrypted or protected by a password. Opening refuses every file that is not a readable Jet 4
// database with a message naming what the file is.

#include <cstddef>
#include <cstdint>
#include <span>

#include "jet/page_file.h"

namespace kv::jet {

struct Header {
    std::uint8_t version = 0;
    std::uint16_t codePage = 0;
    std::uint16_t sortOrder = 0;
    std::uint32_t encryptionKey = 0;
    bool hasPassword = false;
};

// Which engine's signature, the magic number and the format name, starts a file.
enum class DatabaseSignature { None, Jet, Ace };
inline constexpr std::size_t kDatabaseSignatureSize =
    format::header::kFormatNameOffset + format::header::kJetFormatName.size();
// Looks at the first kDatabaseSignatureSize bytes of `start`; fewer bytes carry none.
DatabaseSignature databaseSignature(std::span<const std::uint8_t> start);

// Throws FormatError for an Access 97 (Jet 3) file, an ACCDB file, an encrypted or password-protected
// database, and anything that is not a database at all.
Header readHeader(const PageFile& file);
// Masks the masked area of a plain page 0, or unmasks a masked one.
void toggleHeaderMask(std::span<std::uint8_t> page);

}  // namespace kv::jet
