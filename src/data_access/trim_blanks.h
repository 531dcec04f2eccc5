#pragma once
// Blanks (spaces and tabs) around a value a user typed or a file holds do not belong to it.

#include <string_view>

namespace kv::data_access {

inline std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace kv::data_access
