#pragma once
// The Unicode strings of BIFF8 records, and the bytes they are read from. A string is a character
// count (8 or 16 bits), an option byte, the count of rich-text runs and the size of the extended
// (phonetic) data when the options say so, the characters (one byte each when compressed, else
// UTF-16), then the runs and the extended data, which are skipped. In the shared string table a
// string may go on in the CONTINUE records that follow; where its characters cross into the next
// record, that record starts with a fresh option byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/bytes.h"

namespace kv::data_access::workbook {

// The bytes of one record, or of a record and its CONTINUE records, read from the front. Reading
// past the last byte is WorkbookDamage.
class ContinuedBytes {
public:
    explicit ContinuedBytes(std::vector<jet::ByteView> parts);

    bool atEnd();
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    void skip(std::size_t count);
    // `count` characters as UTF-8 (a lone surrogate becomes U+FFFD), starting compressed or not.
    std::string characters(std::size_t count, bool compressed);

private:
    // Moves past exhausted parts; false when none is left.
    bool haveByte();
    std::uint16_t codeUnit(bool compressed);

    std::vector<jet::ByteView> parts_;
    std::size_t part_ = 0;
    std::size_t offset_ = 0;
};

enum class CountSize { Byte, Word };

// One string, from where `bytes` stands.
std::string readUnicodeString(ContinuedBytes& bytes, CountSize countSize);

// One string that the record body holds whole, at `offset`.
std::string readUnicodeString(const jet::ByteView& body, std::size_t offset, CountSize countSize);

}  // namespace kv::data_access::workbook
