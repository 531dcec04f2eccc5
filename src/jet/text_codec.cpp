#include "jet/text_codec.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "jet/format.h"
#include "jet/utf8.h"

namespace kv::jet {
namespace {

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
    if (stored.size() < mark.size() || !std::equal(mark.begin(), mark.end(), stored.begin()))
        return utf16ToUtf8(stored);
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
        std::optional<Utf8Sequence> sequence = decodeUtf8(utf8.substr(i));
        if (!sequence) throw std::runtime_error("The text is not valid UTF-8");
        out += sequence->codePoint;
        i += sequence->length;
    }
    return out;
}

}  // namespace kv::jet
