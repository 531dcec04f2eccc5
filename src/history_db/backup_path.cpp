#include "history_db/backup_path.h"

#include <filesystem>
#include <system_error>

namespace kv::history_db {

std::string backupPathOf(const std::string& databasePath) {
    std::error_code error;
    std::filesystem::path real = std::filesystem::weakly_canonical(databasePath, error);
    return (error || real.empty() ? databasePath : real.string()) + ".bup";
}

}  // namespace kv::history_db
