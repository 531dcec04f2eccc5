#pragma once
// The bytes of a text file as UTF-8: valid UTF-8 (with or without its byte order mark) is taken
// as it is, anything else is read as Windows-1252, the code page such files come in otherwise.

#include <string>
#include <string_view>

namespace kv::data_access {

// Throws, naming `fileName`, when the bytes cannot be text (they hold NUL bytes).
std::string decodeTextFile(std::string_view bytes, const std::string& fileName);

bool isValidUtf8(std::string_view bytes);

} // namespace kv::data_access
