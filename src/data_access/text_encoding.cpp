#include "data_access/text_encoding.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "jet/utf8.h"

namespace kv::data_access {
namespace {

// Windows-1252 0x80..0x9F; the five bytes it leaves undefined map to the C1 controls, as Windows
// itself converts them.
constexpr char16_t windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string fromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char byte : bytes) {
        auto b = static_cast<unsigned char>(byte);
        jet::appendUtf8(out, b >= 0x80 && b < 0xA0 ? windows1252High[b - 0x80] : char32_t(b));
    }
    return out;
}

char toWindows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < std::size(windows1252High); ++i)
        if (windows1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

// Text saved as UTF-16 ("Unicode" in Windows' editors): its byte order mark, or, without one,
// the NUL that a character of the Latin alphabets has as its other byte, at least in every second
// character of the beginning and always on the same side. A pair of NULs is no text.
// Fewer characters tell nothing by their NULs.
constexpr std::size_t kFewestUtf16Characters = 4;

bool isUtf16(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return true;
    const std::size_t pairs = std::min<std::size_t>(bytes.size(), 512) / 2;
    std::size_t nulFirst = 0, nulSecond = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        const bool first = bytes[2 * i] == '\0', second = bytes[2 * i + 1] == '\0';
        if (first && second) return false;
        nulFirst += first;
        nulSecond += second;
    }
    return pairs >= kFewestUtf16Characters && std::min(nulFirst, nulSecond) == 0 &&
           2 * std::max(nulFirst, nulSecond) >= pairs;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        std::optional<jet::Utf8Sequence> sequence = jet::decodeUtf8(bytes.substr(i));
        if (!sequence) return false;
        i += sequence->length;
    }
    return true;
}

std::string encodeWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {  // the common case, kept short
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        std::optional<jet::Utf8Sequence> sequence = jet::decodeUtf8(utf8.substr(i));
        out += sequence ? toWindows1252(sequence->codePoint) : '?';
        i += sequence ? sequence->length : 1;
    }
    return out;
}

std::string decodeTextFile(std::string_view bytes, const std::string& fileName) {
    if (isUtf16(bytes)) throw std::runtime_error(fileName + " is UTF-16 text: save it as UTF-8 or ANSI");
    if (bytes.find('\0') != std::string_view::npos)
        throw std::runtime_error(fileName + " is not a text file: it contains NUL bytes");
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return isValidUtf8(bytes) ? std::string(bytes) : fromWindows1252(bytes);
}

}  // namespace kv::data_access
