#pragma once
// A file's bytes, read whole.

#include <filesystem>
#include <string>

namespace kv::data_access {

// Throws "Cannot open file ..." or "Cannot read file ..." naming the file.
std::string readWholeFile(const std::filesystem::path& path);

}  // namespace kv::data_access
