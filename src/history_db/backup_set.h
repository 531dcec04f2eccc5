#pragma once
// The backups of a History database, kept beside its real file (history_db/backup_path.h): FILE.bup
// is the newest, FILE.bup.1 the one before it, FILE.bup.2 the one before that. Each import and each
// removal of stations backs the database up first, so the last few states before them can be
// brought back (history_db/restore_backup.h).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kv::history_db {

// How many backups a database keeps, the newest included.
inline constexpr std::size_t kBackupsKept = 3;

// The backups' names, newest first, whether or not the files exist.
std::vector<std::string> backupPaths(const std::string& databasePath);

// Copies the database to FILE.bup once each backup before it has moved one place older (the oldest
// of kBackupsKept goes). A FILE.bup that already holds exactly the database's bytes (the run after
// it failed or changed nothing) stays as it is and nothing moves: a failed run never pushes a good
// backup out with a copy of the same file. Throws, naming the file, when a backup cannot be moved
// or written; the database is never touched.
void backUpDatabase(const std::string& databasePath);

// A backup that exists, as the user chooses among them.
struct BackupEntry {
    std::size_t index = 0;  // 0 for the newest, as backupPaths orders them
    std::string path;
    std::string modified;  // the file's date and time, local: "2024-03-31 14:05"
    // The stations in its History table; none when it cannot be restored, `problem` telling why
    // (no History database, damaged).
    std::optional<long long> stations;
    std::string problem;

    bool usable() const { return stations.has_value(); }
};

// The backups that exist, newest first, each opened to count its stations.
std::vector<BackupEntry> listBackups(const std::string& databasePath);
// The backup of that index (BackupEntry::index) alone; none when there is no such file.
std::optional<BackupEntry> findBackup(const std::string& databasePath, std::size_t index);

// One line for a backup: "calls.mdb.bup  2024-03-31 14:05  1234 stations", or the problem in place
// of the count.
std::string backupLine(const BackupEntry& entry);

}  // namespace kv::history_db
