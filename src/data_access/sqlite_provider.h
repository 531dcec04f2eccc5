#pragma once
// SQLite databases, the log files of the logger's current version (.s3db), read-only. Every table
// of the file (SQLite's own sqlite_stat tables too, in the file's order) loads whole into a
// MemoryTable, its values as text the way the Access provider shows the same kinds of value
// (sqlite_value_text.h); no index is reported, and any change is refused. Each load reads the file
// afresh, without changing it or blocking the program that writes it (sqlite_file.h).

#include <memory>
#include <string>

#include "data_access/provider.h"

namespace kv::data_access {

// Reads the list of tables at once. Throws, naming the file, when it cannot be read as a SQLite
// database: damaged, truncated, locked by a writer, or left with a change its writer did not finish.
std::unique_ptr<Provider> openSqliteProvider(const std::string& path);

}  // namespace kv::data_access
