#pragma once
// Text as a writer stores it: UCS-2 little-endian, or the compressed form (FF FE, one byte a
// character) when the column allows it, every character fits one byte and that is shorter.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv::jet {

// UTF-16 code units of UTF-8 text; throws std::runtime_error for malformed UTF-8.
std::u16string utf8ToUtf16(std::string_view utf8);
// How many UTF-16 code units utf8ToUtf16 would give, without making them.
std::size_t utf16Length(std::string_view utf8);
std::vector<std::uint8_t> encodeStoredText(std::string_view utf8, bool compressible);
// The same, appended to `out`.
void appendStoredText(std::vector<std::uint8_t>& out, std::string_view utf8, bool compressible);

}  // namespace kv::jet
