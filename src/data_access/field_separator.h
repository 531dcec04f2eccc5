#pragma once
// Delimited text is read with commas between its fields. A file saved with semicolons or tabs
// instead would read as one column per line, every field after the first missing; it is refused
// with a message that says how to save it.

#include <string>
#include <string_view>

namespace kv::data_access {

// Throws, naming `fileName`, when none of the first lines that are neither blank nor comments
// ("#...") holds a comma but one holds a semicolon (or, failing that, a tab).
void requireCommaSeparated(std::string_view text, const std::string& fileName);

}  // namespace kv::data_access
