#pragma once
// Letter case folding for the comparisons that ignore case, as Jet compares text: A equals a, and
// so do the accented Latin, Greek and Cyrillic capitals and their small letters. The engine finds
// tables by it, and the table access layer compares names and values by it.

#include <string>
#include <string_view>

namespace kv::jet {

// The UTF-8 text with every capital replaced by its small letter. Byte order of folded texts is
// code point order, so folded texts can be compared and sorted as plain byte strings. Bytes that
// are not valid UTF-8 are kept as they are.
std::string foldCase(std::string_view text);

bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kv::jet
