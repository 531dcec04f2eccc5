#include "data_access/compaction.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "data_access/provider_choice.h"
#include "jet/compactor.h"
#include "jet/durable_io.h"

namespace kv::data_access {
namespace {

std::string accessDatabasePath(const std::string& connectionString) {
    ProviderChoice choice = chooseProvider(connectionString);
    if (choice.kind != ProviderKind::Access)
        throw std::runtime_error("Only an Access database can be compacted: " + connectionString);
    return choice.dataSource;
}

}  // namespace

void compactDatabase(const std::string& sourceConnectionString, const std::string& targetConnectionString) {
    jet::compact(accessDatabasePath(sourceConnectionString), accessDatabasePath(targetConnectionString));
}

void replaceDatabaseFile(const std::string& replacement, const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path from = fs::path(replacement), to = fs::path(path);
    std::error_code error;
    const fs::perms permissions = fs::status(to, error).permissions();
    if (error) throw std::runtime_error("Cannot read the permissions of " + path + ": " + error.message());
    if ((permissions & fs::perms::owner_write) == fs::perms::none) throw std::runtime_error(path + " is read-only");
    fs::permissions(from, permissions, error);
    // rename() replaces an existing target in one step, on POSIX and on Windows alike.
    if (!error) fs::rename(from, to, error);
    if (error) throw std::runtime_error("Cannot move " + replacement + " to " + path + ": " + error.message());
    jet::durable_io::syncFolderOf(path);
}

}  // namespace kv::data_access
