#pragma once
// Compaction of an Access database, for the operations that reach the engine only through this
// layer: a dense copy of every table, put in the database's place under the writer's lock.

#include <string>

namespace kv::data_access {

// Compacts the Access database that `connectionString` names in its own place: the copy is made
// and renamed over the file while no other program can write it, so that no commit is lost, and
// a program that read the file before refuses to write into the new one. The file keeps its
// permissions; a symlink to it stays a link. Refuses a file that is read-only (its owner wants it
// unchanged) or that another program keeps locked. Throws with a message for the user naming the
// file; the file is then as it was, and no copy is left beside it.
void compactDatabase(const std::string& connectionString);

}  // namespace kv::data_access
