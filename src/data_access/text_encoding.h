#pragma once
// Text files and UTF-8. Read: valid UTF-8 (with or without its byte order mark) is taken as it
// is, anything else is read as Windows-1252, the code page such files come in otherwise.
// Written: Windows-1252, or UTF-8 as it is.

#include <string>
#include <string_view>

namespace kv::data_access {

// Throws, naming `fileName`, when the bytes are UTF-16 text (a byte order mark, or a NUL as one
// byte of each of the first characters) or cannot be text (they hold NUL bytes).
std::string decodeTextFile(std::string_view bytes, const std::string& fileName);

bool isValidUtf8(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes, the code page such files are read in on Windows; a character
// the code page cannot hold (and a byte that is not UTF-8) becomes "?".
std::string encodeWindows1252(std::string_view utf8);

}  // namespace kv::data_access
