#include "data_access/text_cut.h"

#include "jet/utf8.h"

namespace kv::data_access {

std::string_view leadingCharacters(std::string_view utf8, std::size_t characters) {
    std::size_t used = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto sequence = jet::decodeUtf8(utf8.substr(at));
        const std::size_t units = sequence && sequence->codePoint > 0xFFFF ? 2 : 1;
        if (used + units > characters) return utf8.substr(0, at);
        used += units;
        at += sequence ? sequence->length : 1;
    }
    return utf8;
}

}  // namespace kv::data_access
