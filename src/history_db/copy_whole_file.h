#pragma once
// A byte-for-byte copy of a file: the template into a new History database, and the database
// into its backup before an import.

#include <string>

namespace kv::history_db {

// Whose permissions the copy takes: a backup stands for its source; a file made from the template
// keeps those of the file it replaces (or a new file's, when there is none).
enum class CopyPermissions { OfTarget, OfSource };

// Copies every byte of `source` to `target`, replacing it. The copy is written beside `target`
// and put in its place once it is whole and on disk (data_access/file_replacement.h), so a
// failed copy leaves `target` as it was. Throws
// "Cannot open file <source>" or "Cannot create file <target>" (with the cause).
void CopyWholeFile(const std::string& source, const std::string& target,
                   CopyPermissions permissions = CopyPermissions::OfTarget);

}  // namespace kv::history_db
