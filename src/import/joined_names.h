#pragma once
// Names in one text, as messages and summaries list them: "Name, UserText".

#include <string>
#include <string_view>
#include <vector>

namespace kv::import {

inline std::string joinedNames(const std::vector<std::string>& names, std::string_view separator = ", ") {
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) joined += separator;
        joined += name;
    }
    return joined;
}

}  // namespace kv::import
