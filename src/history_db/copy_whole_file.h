#pragma once
// A byte-for-byte copy of a file: the template into a new History database, and the database
// into its backup before an import or a removal, and a backup back into the database.

#include <functional>
#include <string>

namespace kv::history_db {

// Whose permissions the copy takes: a backup stands for its source; a file made from the template
// keeps those of the file it replaces (or a new file's, when there is none).
enum class CopyPermissions { OfTarget, OfSource };

// Copies every byte of `source` to `target`, replacing it. The copy is written beside `target`
// and put in its place once it is whole and on disk (data_access/file_replacement.h), so a
// failed copy leaves `target` as it was. `beforeReplacing` runs once the copy is whole, just before
// it takes `target`'s place; an exception from it leaves `target` as it was too. Throws
// "Cannot open file <source>" or "Cannot create file <target>" (with the cause).
void CopyWholeFile(const std::string& source, const std::string& target,
                   CopyPermissions permissions = CopyPermissions::OfTarget,
                   const std::function<void()>& beforeReplacing = {});

}  // namespace kv::history_db
