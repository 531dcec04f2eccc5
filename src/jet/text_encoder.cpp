#include "jet/text_encoder.h"

#include <algorithm>
#include <string>

#include "jet/byte_writer.h"
#include "jet/format.h"
#include "jet/text_codec.h"

namespace kv::jet {

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

std::vector<std::uint8_t> encodeStoredText(std::string_view utf8, bool compressible) {
    std::u16string units = utf8ToUtf16(utf8);
    const auto& mark = format::text::kCompressionMark;
    // A 00 byte switches modes in the compressed form, so U+0000 cannot be written one byte long.
    bool oneByteEach = std::all_of(units.begin(), units.end(), [](char16_t u) { return u > 0 && u < 0x100; });
    std::vector<std::uint8_t> stored;
    if (compressible && oneByteEach && mark.size() + units.size() < 2 * units.size()) {
        stored.assign(mark.begin(), mark.end());
        for (char16_t u : units) stored.push_back(static_cast<std::uint8_t>(u));
        return stored;
    }
    stored.reserve(2 * units.size());
    for (char16_t u : units) appendU16(stored, u);
    return stored;
}

}  // namespace kv::jet
