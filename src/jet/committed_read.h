#pragma once
// Reading a database file as its last commit left it: a journal left by a writer that stopped is
// rolled back first, and the file is read under a shared lock, so that no commit of another
// program is halfway through while it is read.

#include <string>

#include "jet/page_file.h"

namespace kv::jet {

// Throws when the file cannot be read, when a journal beside it cannot be rolled back, or when a
// writer holds the file for too long.
PageFile readCommittedFile(const std::string& path);

}  // namespace kv::jet
