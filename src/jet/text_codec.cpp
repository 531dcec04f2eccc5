#include "jet/text_codec.h"

#include <algorithm>

#include "jet/format.h"
#include "jet/utf8.h"

namespace kv::jet {
namespace {

bool isHighSurrogate(char32_t u) { return u >= 0xd800 && u < 0xdc00; }
bool isLowSurrogate(char32_t u) { return u >= 0xdc00 && u < 0xe000; }

// UTF-16 units in, UTF-8 out; a surrogate that is not half of a pair becomes U+FFFD.
class Utf16Decoder {
public:
    explicit Utf16Decoder(std::string& out) : out_(out) {}

    void unit(char32_t u) {
        if (high_) {
            const char32_t high = high_;
            high_ = 0;
            if (isLowSurrogate(u)) {
                appendUtf8(out_, 0x10000 + ((high - 0xd800) << 10) + (u - 0xdc00));
                return;
            }
            appendUtf8(out_, U'\uFFFD');
        }
        if (u < 0x80)
            out_ += static_cast<char>(u);
        else if (isHighSurrogate(u))
            high_ = u;
        else
            appendUtf8(out_, isLowSurrogate(u) ? U'\uFFFD' : u);
    }
    // Units below U+0080, one byte each.
    void ascii(std::span<const std::uint8_t> bytes) {
        finish();
        out_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    // After the last unit.
    void finish() {
        if (high_) appendUtf8(out_, U'\uFFFD');
        high_ = 0;
    }

private:
    std::string& out_;
    char32_t high_ = 0;  // a high surrogate waiting for its low half
};

void appendUtf16(std::span<const std::uint8_t> utf16le, std::string& out) {
    Utf16Decoder decoder(out);
    for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) decoder.unit(utf16le[i] | utf16le[i + 1] << 8);
    decoder.finish();
}

bool isAscii(std::uint8_t byte) { return byte > 0 && byte < 0x80; }

}  // namespace

std::string utf16ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    appendUtf16(bytes, out);
    return out;
}

void decodeTextInto(std::span<const std::uint8_t> stored, std::string& out) {
    out.clear();
    const auto& mark = format::text::kCompressionMark;
    if (stored.size() < mark.size() || !std::equal(mark.begin(), mark.end(), stored.begin())) {
        appendUtf16(stored, out);
        return;
    }
    // Most stored text is plain ASCII, which is its own UTF-8.
    const std::span<const std::uint8_t> compressed = stored.subspan(mark.size());
    if (std::all_of(compressed.begin(), compressed.end(), isAscii)) {
        out.assign(reinterpret_cast<const char*>(compressed.data()), compressed.size());
        return;
    }
    Utf16Decoder decoder(out);
    bool oneByte = true;
    for (std::size_t i = mark.size(); i < stored.size();) {
        if (stored[i] == 0) {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            // Most stored text is plain ASCII, copied in one run.
            std::size_t end = i;
            while (end < stored.size() && isAscii(stored[end])) ++end;
            if (end > i) {
                decoder.ascii(stored.subspan(i, end - i));
                i = end;
            } else {
                decoder.unit(stored[i++]);
            }
        } else if (i + 1 < stored.size()) {
            decoder.unit(stored[i] | stored[i + 1] << 8);
            i += 2;
        } else {
            break;
        }
    }
    decoder.finish();
}

std::string decodeText(std::span<const std::uint8_t> stored) {
    std::string out;
    decodeTextInto(stored, out);
    return out;
}

std::u32string utf8ToCodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) out += takeCodePoint(utf8, at);
    return out;
}

}  // namespace kv::jet
