#pragma once
// A text between quotes, as connection strings, filter expressions and SQL identifiers write one:
// the quote character itself is doubled inside, so nothing in the text can close it early.

#include <string>
#include <string_view>

namespace kv::data_access {

inline std::string quotedText(std::string_view text, char quote) {
    std::string quoted(1, quote);
    for (char c : text) {
        if (c == quote) quoted += quote;
        quoted += c;
    }
    return quoted + quote;
}

}  // namespace kv::data_access
