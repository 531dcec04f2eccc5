#pragma once
// UTF-8, the form text has outside the engine: one code point written, one read.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kv::jet {

void appendUtf8(std::string& out, char32_t codePoint);

struct Utf8Sequence {
    char32_t codePoint = 0;
    std::size_t length = 0;  // bytes
};

// The sequence `text` starts with, or nothing when it starts with none that is valid: a stray
// continuation byte, a cut sequence, an overlong form, a surrogate or a value past U+10FFFF.
std::optional<Utf8Sequence> decodeUtf8(std::string_view text);

// The code point at byte `at` of `text`, `at` moved past it; throws std::runtime_error when no
// valid sequence starts there.
char32_t takeNonAsciiCodePoint(std::string_view text, std::size_t& at);
inline char32_t takeCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
        ++at;
        return byte;
    }
    return takeNonAsciiCodePoint(text, at);
}

}  // namespace kv::jet
