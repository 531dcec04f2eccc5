#pragma once
// Small readers shared by the contest-log parsers: lines of any ending, blanks, and tags that
// ignore letter case.

#include <cctype>
#include <string_view>

namespace kv::import {

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Whether `text` starts with `prefix`, ASCII letters compared regardless of case.
inline bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithIgnoringCase(a, b);
}

// Walks the lines of a text ending in CR LF, LF or CR, counting them from 1.
class LineWalk {
public:
    explicit LineWalk(std::string_view text) : rest_(text) {}

    // The next line without its ending; false after the last.
    bool next(std::string_view& line) {
        if (rest_.empty()) return false;
        const std::size_t end = rest_.find_first_of("\r\n");
        line = rest_.substr(0, end);
        if (end == std::string_view::npos) {
            rest_ = {};
        } else {
            const bool crLf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
            rest_.remove_prefix(end + (crLf ? 2 : 1));
        }
        ++number_;
        return true;
    }
    long long number() const { return number_; }

private:
    std::string_view rest_;
    long long number_ = 0;
};

}  // namespace kv::import
