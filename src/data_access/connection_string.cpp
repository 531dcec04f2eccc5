#include "data_access/connection_string.h"

#include <algorithm>
#include <stdexcept>

#include "data_access/quoted_text.h"
#include "data_access/text_fold.h"
#include "data_access/trim_blanks.h"

namespace kv::data_access {
namespace {

// Reads a quoted value starting at text[pos] (the quote) and moves pos past the closing quote. A
// doubled quote stands for one.
std::string takeQuoted(std::string_view text, std::size_t& pos) {
    char quote = text[pos++];
    std::string value;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c != quote) {
            value += c;
        } else if (pos < text.size() && text[pos] == quote) {
            value += quote;
            ++pos;
        } else {
            return value;
        }
    }
    throw std::runtime_error("Connection string has an unclosed quote: " + std::string(text));
}

}  // namespace

ConnectionString ConnectionString::parse(std::string_view text) {
    ConnectionString result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t equals = text.find('=', pos);
        std::size_t semicolon = text.find(';', pos);
        if (equals == std::string_view::npos || equals > semicolon) {
            if (!trimBlanks(text.substr(pos, semicolon - pos)).empty())
                throw std::runtime_error("Connection string setting without \"=\": " +
                                         std::string(trimBlanks(text.substr(pos, semicolon - pos))));
            if (semicolon == std::string_view::npos) break;
            pos = semicolon + 1;
            continue;
        }
        const std::string_view key = trimBlanks(text.substr(pos, equals - pos));
        pos = equals + 1;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
        std::string value;
        std::size_t end;
        if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
            value = takeQuoted(text, pos);
            end = std::min(text.find(';', pos), text.size());
            if (!trimBlanks(text.substr(pos, end - pos)).empty())
                throw std::runtime_error("Connection string has text after a quoted value: " + std::string(text));
        } else {
            end = std::min(text.find(';', pos), text.size());
            value = std::string(trimBlanks(text.substr(pos, end - pos)));
        }
        pos = end + 1;
        if (!result.values_.emplace(foldCase(key), std::move(value)).second)
            throw std::runtime_error("Connection string sets " + std::string(key) + " twice: " + std::string(text));
    }
    return result;
}

std::optional<std::string> ConnectionString::value(std::string_view key) const {
    auto found = values_.find(foldCase(trimBlanks(key)));
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::string quoteConnectionValue(std::string_view value) { return quotedText(value, '"'); }

}  // namespace kv::data_access
