#pragma once
// A backup put back in the database's place (history_db/backup_set.h). The database as it was
// becomes the newest backup first, so that a restore can itself be undone by restoring that one.

#include "history_db/backup_set.h"

#include <cstddef>
#include <stdexcept>
#include <string>

namespace kv::history_db {

// A restore that did not happen, with why; the database is then as it was.
class RestoreRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The question asked before a restore.
std::string restoreQuestion(const BackupEntry& backup);

// What a restore did.
struct RestoreOutcome {
    BackupEntry restored;  // the backup as it was listed before the restore
    std::string text() const;
};

// Replaces the database at `databasePath` (closed by the caller) with its backup of that index
// (BackupEntry::index). The backup's copy is made whole beside the database, the database is
// then backed up (backUpDatabase) when there is one, and only then does the copy take its place in one step: a
// restore that fails at any point leaves the database as it was. Throws RestoreRefused for an
// index with no backup or a backup that cannot be restored (why), and the copy's or the backup's
// error.
RestoreOutcome restoreBackup(const std::string& databasePath, std::size_t index);

}  // namespace kv::history_db
