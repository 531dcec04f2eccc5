#pragma once
// Compaction of an Access database, for the operations that reach the engine only through this
// layer: a dense copy of every table, written beside the original, and then put in its place.

#include <string>

namespace kv::data_access {

// Writes a compact copy of the database that `sourceConnectionString` names into the file that
// `targetConnectionString` names (replacing it). Both must name Access databases. Throws with a
// message for the user when the source cannot be read or the target not written; no partial
// target is left, and the source is not changed.
void compactDatabase(const std::string& sourceConnectionString, const std::string& targetConnectionString);

// Puts `replacement` in the place of `path` in one step, so that `path` names either the old
// file or the whole new one at any instant, and makes the change durable; the new file gets the
// old one's permissions. Refuses a `path` that is read-only, since its owner wants it unchanged.
// Throws when the move fails or is refused; `path` is then as it was.
void replaceDatabaseFile(const std::string& replacement, const std::string& path);

}  // namespace kv::data_access
