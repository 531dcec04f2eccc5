#include "jet/text_encoder.h"

#include <algorithm>
#include <string>

#include "jet/byte_writer.h"
#include "jet/format.h"
#include "jet/text_codec.h"

namespace kv::jet {

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::size_t utf16Length(std::string_view utf8) {
    if (isAscii(utf8)) return utf8.size();
    std::size_t units = 0;
    for (char32_t c : utf8ToCodePoints(utf8)) units += c < 0x10000 ? 1 : 2;
    return units;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string units;
    units.reserve(utf8.size());
    for (char32_t c : utf8ToCodePoints(utf8)) {
        if (c < 0x10000) {
            units += static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            units += static_cast<char16_t>(0xd800 + (c >> 10));
            units += static_cast<char16_t>(0xdc00 + (c & 0x3ff));
        }
    }
    return units;
}

void appendStoredText(std::vector<std::uint8_t>& out, std::string_view utf8, bool compressible) {
    const auto& mark = format::text::kCompressionMark;
    if (isAscii(utf8)) {
        // Plain ASCII without U+0000 is its own compressed form, where that is shorter.
        if (compressible && utf8.size() > mark.size() && utf8.find('\0') == std::string_view::npos) {
            out.insert(out.end(), mark.begin(), mark.end());
            out.insert(out.end(), utf8.begin(), utf8.end());
        } else {
            for (char c : utf8) appendU16(out, static_cast<std::uint16_t>(c));
        }
        return;
    }
    std::u16string units = utf8ToUtf16(utf8);
    // A 00 byte switches modes in the compressed form, so U+0000 cannot be written one byte long.
    bool oneByteEach = std::all_of(units.begin(), units.end(), [](char16_t u) { return u > 0 && u < 0x100; });
    if (compressible && oneByteEach && mark.size() + units.size() < 2 * units.size()) {
        out.insert(out.end(), mark.begin(), mark.end());
        for (char16_t u : units) out.push_back(static_cast<std::uint8_t>(u));
        return;
    }
    for (char16_t u : units) appendU16(out, u);
}

std::vector<std::uint8_t> encodeStoredText(std::string_view utf8, bool compressible) {
    std::vector<std::uint8_t> stored;
    appendStoredText(stored, utf8, compressible);
    return stored;
}

}  // namespace kv::jet
