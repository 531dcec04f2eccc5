#pragma once
// Numbers as text: how a cell's text is read as a number (for filters and sorting) and how a
// number is written so that it reads back as a user would have typed it.

#include <optional>
#include <string>
#include <string_view>

namespace kv::data_access {

// The number the whole text spells, blanks around it allowed ("12", "-1", " 2.5"); empty for
// anything else, the empty text included.
std::optional<double> parseNumber(std::string_view text);

// The shortest plain decimal text that reads back as the same double: 1 is "1", 2.5 is "2.5",
// 0.1 is "0.1". Very large and very small magnitudes use an exponent ("1e+300").
std::string formatNumber(double value);

}  // namespace kv::data_access
