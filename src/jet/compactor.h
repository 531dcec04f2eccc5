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

// Compacts the database in its own place. The writer's lock is held from the read to the rename of
// the compact copy over the file (it waits a few seconds for other programs to let go, then refuses
// with a message), so that no commit of another program is lost between them; a program that read
// the file before will find another file in its place and refuse to write into it. The copy has
// the database's permissions, and a symlink to the database stays a link to the compacted file.
// Throws std::runtime_error naming `path`; the file is then as it was, and no copy is left.
void compactInPlace(const std::string& path);

}  // namespace kv::jet
