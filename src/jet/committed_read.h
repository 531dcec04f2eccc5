#pragma once
// Reading a database file as its last commit left it. The file is read under a shared lock, which
// waits for a commit another program is making to end, so that no commit is halfway through while
// it is read. A journal met under that lock was left by a writer that stopped: it is rolled back,
// and the file read again.

#include <string>

#include "jet/page_file.h"

namespace kv::jet {

// Throws when the file cannot be read, when a journal beside it cannot be rolled back, or when a
// writer holds the file for too long.
PageFile readCommittedFile(const std::string& path);

}  // namespace kv::jet
