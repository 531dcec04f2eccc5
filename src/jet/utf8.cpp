#include "jet/utf8.h"

#include <stdexcept>

namespace kv::jet {
namespace {

// The length of the sequence its lead byte starts, or 0 for a byte that cannot lead one.
std::size_t sequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : (lead & 0xe0) == 0xc0 ? 2 : (lead & 0xf0) == 0xe0 ? 3 : (lead & 0xf8) == 0xf0 ? 4 : 0;
}

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xc0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xe0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3f));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

std::optional<Utf8Sequence> decodeUtf8(std::string_view text) {
    if (text.empty()) return std::nullopt;
    auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = sequenceLength(lead);
    if (length == 0 || length > text.size()) return std::nullopt;
    char32_t c = length == 1 ? lead : lead & (0x7f >> length);
    for (std::size_t k = 1; k < length; ++k) {
        auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xc0) != 0x80) return std::nullopt;
        c = c << 6 | (next & 0x3f);
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)) return std::nullopt;
    return Utf8Sequence{c, length};
}

char32_t takeNonAsciiCodePoint(std::string_view text, std::size_t& at) {
    std::optional<Utf8Sequence> sequence = decodeUtf8(text.substr(at));
    if (!sequence) throw std::runtime_error("The text is not valid UTF-8");
    at += sequence->length;
    return sequence->codePoint;
}

}  // namespace kv::jet
