#pragma once
// Letter case folding for the comparisons that ignore case (filters, locate, sort, seek and the
// generic index keys), as Jet compares text: A equals a, and so do the accented Latin, Greek and
// Cyrillic capitals and their small letters.

#include <string>
#include <string_view>

namespace kv::data_access {

// The UTF-8 text with every capital replaced by its small letter. Byte order of folded texts is
// code point order, so folded texts can be compared and sorted as plain byte strings. Bytes that
// are not valid UTF-8 are kept as they are.
std::string foldCase(std::string_view text);

bool equalIgnoringCase(std::string_view a, std::string_view b);

} // namespace kv::data_access
