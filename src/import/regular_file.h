#pragma once
// A file chosen as an import's source must be a regular file: reading a device such as /dev/zero
// would never end, and a pipe or a folder is no file to read.

#include <string>

namespace kv::import {

// Throws "Cannot open file <chosen>" when there is nothing there, and a message naming `chosen`
// and what it is when it is a folder, a pipe, a device or anything else but a regular file.
void requireRegularFile(const std::string& chosen);

}  // namespace kv::import
