#include "data_access/field_separator.h"

#include <stdexcept>

namespace kv::data_access {
namespace {

// Enough lines to pass the header and the directives before the stations.
constexpr int kLinesLookedAt = 10;

}  // namespace

void requireCommaSeparated(std::string_view text, const std::string& fileName) {
    bool semicolon = false, tab = false;
    int looked = 0;
    while (!text.empty() && looked < kLinesLookedAt) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with('#')) continue;
        if (line.find(',') != std::string_view::npos) return;
        semicolon = semicolon || line.find(';') != std::string_view::npos;
        tab = tab || line.find('\t') != std::string_view::npos;
        ++looked;
    }
    const char* separator = semicolon ? "semicolons" : tab ? "tabs" : nullptr;
    if (separator)
        throw std::runtime_error(fileName + " uses " + separator + " to separate its fields; save it with commas");
}

}  // namespace kv::data_access
