#pragma once
// Text as Jet stores it: UCS-2 little-endian, or "compressed" (a FF FE mark, then runs of one-byte
// characters and of two-byte characters, each 00 byte switching between the two).

#include <cstdint>
#include <span>
#include <string>

namespace kv::jet {

// Stored text bytes to UTF-8.
std::string decodeText(std::span<const std::uint8_t> stored);
// The same into `out`, replacing what it held and keeping its storage.
void decodeTextInto(std::span<const std::uint8_t> stored, std::string& out);
// UTF-16 little-endian to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::span<const std::uint8_t> utf16le);
// UTF-8 to code points; throws std::runtime_error for text that is not valid UTF-8 (see decodeUtf8).
std::u32string utf8ToCodePoints(std::string_view utf8);

}  // namespace kv::jet
