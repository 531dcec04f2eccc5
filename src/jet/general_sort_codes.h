#pragma once
// The codes of the Access 2000 "General" sort order (sort order 0x409) for the characters
// U+0001..U+00FF, as Access writes them into text index keys. A character sorts by its inline
// codes (one or two, of one or two bytes each: "Æ" sorts as "AE"), with an accent weight recorded
// after the text; or it is ignored in sorting and recorded after the text with its position.

#include <cstdint>
#include <string_view>

namespace kv::jet {

struct GeneralSortCode {
    std::string_view inlineCodes;  // empty for an ignored character
    std::uint8_t accent;           // kNoAccent for none
    std::uint8_t ignoredCode;      // the code recorded for an ignored character
};

inline constexpr std::uint8_t kNoAccent = 0x02;

// The character's codes; nullptr for a character whose codes are not known.
const GeneralSortCode* generalSortCode(char32_t c);

}  // namespace kv::jet
