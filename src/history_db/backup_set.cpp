#include "history_db/backup_set.h"

#include "history_db/backup_path.h"
#include "history_db/copy_whole_file.h"
#include "history_db/history_store.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace kv::history_db {
namespace fs = std::filesystem;
namespace {

bool sameBytes(const std::string& first, const std::string& second) {
    std::error_code error;
    if (!fs::is_regular_file(first, error) || !fs::is_regular_file(second, error)) return false;
    if (fs::file_size(first, error) != fs::file_size(second, error) || error) return false;
    std::ifstream a(first, std::ios::binary), b(second, std::ios::binary);
    std::vector<char> bufferA(1 << 16), bufferB(1 << 16);
    while (a && b) {
        a.read(bufferA.data(), static_cast<std::streamsize>(bufferA.size()));
        b.read(bufferB.data(), static_cast<std::streamsize>(bufferB.size()));
        if (a.gcount() != b.gcount() || !std::equal(bufferA.begin(), bufferA.begin() + a.gcount(), bufferB.begin()))
            return false;
    }
    return !a.bad() && !b.bad() && a.eof() && b.eof();
}

void moveOlder(const std::string& from, const std::string& to) {
    std::error_code error;
    if (!fs::exists(from, error)) return;
    fs::rename(from, to, error);
    if (error) throw std::runtime_error("Cannot move the backup " + from + " to " + to + ": " + error.message());
}

std::string modifiedText(const std::string& path) {
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(path, error);
    if (error) return "?";
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(fs::file_time_type::clock::to_sys(written)));
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&seconds));
    return text;
}

BackupEntry entryOf(std::size_t index, const std::string& path) {
    BackupEntry entry{.index = index, .path = path, .modified = modifiedText(path)};
    try {
        entry.stations = HistoryStore(path).count();
    } catch (const std::exception& error) {
        entry.problem = error.what();
    }
    return entry;
}

}  // namespace

std::vector<std::string> backupPaths(const std::string& databasePath) {
    const std::string newest = backupPathOf(databasePath);
    std::vector<std::string> paths{newest};
    for (std::size_t older = 1; older < kBackupsKept; ++older) paths.push_back(newest + "." + std::to_string(older));
    return paths;
}

void backUpDatabase(const std::string& databasePath) {
    const std::vector<std::string> paths = backupPaths(databasePath);
    if (sameBytes(databasePath, paths.front())) return;
    // The older backups move along only once the new copy is whole, so a copy that fails (a full
    // disk) costs no backup.
    CopyWholeFile(databasePath, paths.front(), CopyPermissions::OfSource, [&] {
        for (std::size_t slot = paths.size() - 1; slot > 0; --slot) moveOlder(paths[slot - 1], paths[slot]);
    });
}

std::vector<BackupEntry> listBackups(const std::string& databasePath) {
    std::vector<BackupEntry> entries;
    for (std::size_t index = 0; index < kBackupsKept; ++index)
        if (std::optional<BackupEntry> entry = findBackup(databasePath, index)) entries.push_back(std::move(*entry));
    return entries;
}

std::optional<BackupEntry> findBackup(const std::string& databasePath, std::size_t index) {
    const std::vector<std::string> paths = backupPaths(databasePath);
    std::error_code error;
    if (index >= paths.size() || !fs::is_regular_file(paths[index], error)) return std::nullopt;
    return entryOf(index, paths[index]);
}

std::string backupLine(const BackupEntry& entry) {
    const std::string what = entry.usable() ? std::to_string(*entry.stations) + " stations" : entry.problem;
    return fs::path(entry.path).filename().string() + "  " + entry.modified + "  " + what;
}

}  // namespace kv::history_db
