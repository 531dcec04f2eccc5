#include "jet/text_codec.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "jet/format.h"

namespace kv::jet {
namespace {

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

bool isHighSurrogate(char32_t u) { return u >= 0xd800 && u < 0xdc00; }
bool isLowSurrogate(char32_t u) { return u >= 0xdc00 && u < 0xe000; }

}  // namespace

std::string utf16ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t unit = bytes[2 * i] | bytes[2 * i + 1] << 8;
        if (isHighSurrogate(unit) && i + 1 < units) {
            char32_t next = bytes[2 * i + 2] | bytes[2 * i + 3] << 8;
            if (isLowSurrogate(next)) {
                appendUtf8(out, 0x10000 + ((unit - 0xd800) << 10) + (next - 0xdc00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, isHighSurrogate(unit) || isLowSurrogate(unit) ? U'\uFFFD' : unit);
    }
    return out;
}

std::string decodeText(std::span<const std::uint8_t> stored) {
    const auto& mark = format::text::kCompressionMark;
    if (stored.size() < mark.size() || !std::equal(mark.begin(), mark.end(), stored.begin())) return utf16ToUtf8(stored);
    std::vector<std::uint8_t> utf16;
    utf16.reserve(stored.size() * 2);
    bool oneByte = true;
    for (std::size_t i = mark.size(); i < stored.size();) {
        if (stored[i] == 0) {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            utf16.push_back(stored[i++]);
            utf16.push_back(0);
        } else if (i + 1 < stored.size()) {
            utf16.push_back(stored[i++]);
            utf16.push_back(stored[i++]);
        } else {
            break;
        }
    }
    return utf16ToUtf8(utf16);
}

std::u32string utf8ToCodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto byte = static_cast<unsigned char>(utf8[i]);
        int extra = byte < 0x80 ? 0 : byte >= 0xf0 ? 3 : byte >= 0xe0 ? 2 : byte >= 0xc0 ? 1 : -1;
        if (extra < 0 || i + extra >= utf8.size())
            throw std::runtime_error("The text is not valid UTF-8");
        char32_t c = extra == 0 ? byte : byte & (0x3f >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xc0) != 0x80) throw std::runtime_error("The text is not valid UTF-8");
            c = c << 6 | (next & 0x3f);
        }
        out += c;
        i += extra + 1;
    }
    return out;
}

}  // namespace kv::jet
