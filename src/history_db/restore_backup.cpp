#include "history_db/restore_backup.h"

#include "history_db/copy_whole_file.h"

#include <filesystem>
#include <vector>

namespace kv::history_db {

std::string restoreQuestion(const BackupEntry& backup) {
    return "Replace the History database with the backup " + backupLine(backup) +
           "?\nThe database as it is now becomes the newest backup.";
}

std::string RestoreOutcome::text() const {
    return "Backup " + restored.path + " restored, " + std::to_string(restored.stations.value_or(0)) + " stations";
}

RestoreOutcome restoreBackup(const std::string& databasePath, std::size_t index) {
    const std::optional<BackupEntry> chosen = findBackup(databasePath, index);
    if (!chosen) throw RestoreRefused("There is no backup number " + std::to_string(index) + " of " + databasePath);
    if (!chosen->usable()) throw RestoreRefused(chosen->path + " cannot be restored: " + chosen->problem);

    // A database that is gone has nothing to keep; the backup takes its place all the same.
    const bool present = std::filesystem::exists(databasePath);
    CopyWholeFile(chosen->path, databasePath, CopyPermissions::OfTarget, [&] {
        if (present) backUpDatabase(databasePath);
    });
    return {*chosen};
}

}  // namespace kv::history_db
