#include "import/cabrillo_log.h"

#include "data_access/trim_blanks.h"
#include "import/log_text.h"

namespace kv::import {
namespace {

constexpr std::string_view kStartOfLog = "START-OF-LOG:";

void splitOnBlanks(std::string_view text, std::vector<std::string_view>& into) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) into.push_back(text.substr(start, i - start));
    }
}

// The tag of a `TAG: value` line, without its colon; empty for a line that has none.
std::string_view tagOf(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    const std::string_view tag = line.substr(0, colon);
    if (tag.empty() || tag.find_first_of(" \t") != std::string_view::npos) return {};
    return tag;
}

}  // namespace

bool looksLikeCabrillo(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    LineWalk lines(text);
    std::string_view line;
    while (lines.next(line)) {
        line = data_access::trimBlanks(line);
        if (!line.empty()) return startsWithIgnoringCase(line, kStartOfLog);
    }
    return false;
}

CabrilloLog parseCabrillo(std::string_view text) {
    CabrilloLog log;
    LineWalk lines(text);
    std::string_view line;
    while (lines.next(line)) {
        const std::string_view trimmed = data_access::trimBlanks(line);
        const std::string_view tag = tagOf(trimmed);
        if (tag.empty() || startsWithIgnoringCase(tag, "X-")) continue;
        const std::string_view value = data_access::trimBlanks(trimmed.substr(tag.size() + 1));
        if (equalsIgnoringCase(tag, "QSO")) {
            const std::size_t first = log.fields.size();
            splitOnBlanks(value, log.fields);
            log.qsos.push_back({first, log.fields.size() - first, lines.number()});
        } else if (equalsIgnoringCase(tag, "CALLSIGN")) {
            log.callsign = value;
        } else if (equalsIgnoringCase(tag, "CONTEST")) {
            log.contest = value;
        } else if (equalsIgnoringCase(tag, "LOCATION") ||
                   (equalsIgnoringCase(tag, "ARRL-SECTION") && log.location.empty())) {
            log.location = value;
        }
    }
    return log;
}

std::string_view cabrilloContest(std::string_view text) {
    LineWalk lines(text);
    std::string_view line;
    std::string_view contest;
    while (lines.next(line)) {
        const std::string_view trimmed = data_access::trimBlanks(line);
        const std::string_view tag = tagOf(trimmed);
        if (equalsIgnoringCase(tag, "CONTEST")) contest = data_access::trimBlanks(trimmed.substr(tag.size() + 1));
    }
    return contest;
}

}  // namespace kv::import
