#include "jet/text_fold.h"

#include "jet/utf8.h"

namespace kv::jet {
namespace {

char32_t smallLetter(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;
    // Latin Extended-A pairs each capital with the small letter right after it, except at the
    // ends of its runs.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c % 2 == 0 ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 1 ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

}  // namespace

std::string foldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {  // the common case, kept short
            out += static_cast<char>(smallLetter(lead));
            ++i;
        } else if (std::optional<Utf8Sequence> sequence = decodeUtf8(text.substr(i))) {
            appendUtf8(out, smallLetter(sequence->codePoint));
            i += sequence->length;
        } else {  // a byte that is not UTF-8 is kept
            out += text[i];
            ++i;
        }
    }
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) { return foldCase(a) == foldCase(b); }

}  // namespace kv::jet
