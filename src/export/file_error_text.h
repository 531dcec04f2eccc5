#pragma once
// What the user is told when the target file of an export cannot be created or written.

#include <string>

namespace kv::export_ {

// By the system's error code: "File not found" (no such folder), "Invalid filename", "Too many
// open files", "File access denied" (also on a read-only file system), "Disk full", or
// "I/O error <code>".
std::string fileErrorText(int code);

}  // namespace kv::export_
