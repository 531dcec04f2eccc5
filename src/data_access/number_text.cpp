#include "data_access/number_text.h"

#include <charconv>
#include <cmath>

#include "data_access/trim_blanks.h"

namespace kv::data_access {

std::optional<double> parseNumber(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string formatNumber(double value) {
    char buffer[64];
    double magnitude = std::fabs(value);
    bool plain = magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e21);
    auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                        : std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    return text == "-0" ? "0" : text;
}

}  // namespace kv::data_access
