#include "data_access/text_fold.h"

namespace kv::data_access {
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

// Folding maps two-byte code points (U+0080..U+07FF) onto two-byte code points only.
void appendTwoByteUtf8(std::string& out, char32_t c) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

std::string foldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        // Every letter that folds is encoded in one or two bytes; longer sequences, stray bytes
        // and overlong forms are copied untouched.
        if (lead < 0x80) {
            out += static_cast<char>(smallLetter(lead));
            ++i;
        } else if ((lead & 0xE0) == 0xC0 && i + 1 < text.size() &&
                   isContinuation(static_cast<unsigned char>(text[i + 1]))) {
            char32_t c = (char32_t(lead & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            if (c >= 0x80)
                appendTwoByteUtf8(out, smallLetter(c));
            else
                out.append(text.substr(i, 2));
            i += 2;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return foldCase(a) == foldCase(b);
}

} // namespace kv::data_access
