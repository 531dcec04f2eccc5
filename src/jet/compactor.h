#pragma once
// Compaction: a new file holding the same user tables, definitions, indexes, properties and rows as
// the source, every table rebuilt densely. The catalog and the system tables are made anew: what
// Access keeps besides tables (queries, forms, relationships, its own system tables) and free pages
// are left behind.

#include <string>

namespace kv::jet {

// Writes the compact copy of `sourcePath` to `targetPath` (replacing it). Throws std::runtime_error
// with a message for the user when the source cannot be read or the target cannot be written; no
// partial target is left behind, and the source is never changed (beyond rolling back a journal
// that an interrupted commit left beside it).
void compact(const std::string& sourcePath, const std::string& targetPath);

}  // namespace kv::jet
