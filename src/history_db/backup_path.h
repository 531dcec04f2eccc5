#pragma once
// Where the backup of a History database goes: beside the real file, so that a database reached
// through a symlink is backed up where the database is, not where the link happens to be.

#include <string>

namespace kv::history_db {

// The database's real path (symlinks resolved) followed by ".bup".
std::string backupPathOf(const std::string& databasePath);

}  // namespace kv::history_db
