#include "history_db/compact_history_database.h"

#include "data_access/compaction.h"
#include "data_access/source_connection_strings.h"

#include <exception>
#include <filesystem>

namespace kv::history_db {

void compactHistoryDatabase(const std::string& path) {
    namespace fs = std::filesystem;
    if (!fs::exists(fs::path(path))) throw CompactionFailed(path + " not found");
    // Compaction no longer writes this name; a copy an earlier version left behind goes.
    fs::remove(fs::path(path).parent_path() / kStaleCompactedFileName);

    try {
        data_access::compactDatabase(data_access::accessDatabaseConnectionString(path));
    } catch (const std::exception& error) {
        throw CompactionFailed(std::string("Error: ") + error.what());
    }
}

}  // namespace kv::history_db
