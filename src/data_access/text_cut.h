#pragma once
// Cutting a UTF-8 text to a number of characters, counted as a text column counts them: one
// UTF-16 unit each, two for a character beyond the Basic Multilingual Plane, which is never split.

#include <cstddef>
#include <string_view>

namespace kv::data_access {

// The longest beginning of `utf8` that holds at most `characters` characters; `utf8` itself when
// it fits. A byte that is not UTF-8 counts as one character.
std::string_view leadingCharacters(std::string_view utf8, std::size_t characters);

}  // namespace kv::data_access
