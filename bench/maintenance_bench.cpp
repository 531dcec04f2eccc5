// Times the History database's upkeep on 100 000 stations heard over eight years (one in ten never
// stamped): counting and removing those not heard since a day (about half), counting what the
// table holds, listing the backups and restoring one.
// Usage: bench_maintenance [FOLDER] (a temporary folder by default).

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>

#include "bench_folder.h"
#include "bench_support.h"
#include "history_db/backup_set.h"
#include "history_db/history_stats.h"
#include "history_db/prune.h"
#include "history_db/restore_backup.h"
#include "history_table.h"

namespace {

using namespace kv;

constexpr int kStations = 100000;

void timed(const char* what, const std::function<std::string()>& work) {
    auto start = bench::Clock::now();
    const std::string outcome = work();
    std::printf("%-28s %8.1f ms  %s\n", what, 1000 * bench::secondsSince(start), outcome.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_maintenance");
    const std::string path = (folder / "history.mdb").string();
    for (const std::string& backup : history_db::backupPaths(path)) std::filesystem::remove(backup);
    try {
        // Days 43000 to 45999: 2017-09-22 to 2025-12-08.
        jet::createDatabase(
            path,
            {bench::historyTable(
                 kStations,
                 [](int n) { return n % 10 == 0 ? jet::Value() : jet::Value(jet::DateTime{43000.0 + n % 3000}); }),
             bench::versionTable()},
            true);
        std::printf("History of %d stations: %ju bytes\n", kStations,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(path)));
        const history_db::CalendarDate before{2022, 1, 1};
        history_db::HistoryStore store(path);
        timed("count the stale (cold)",
              [&] { return std::to_string(history_db::countStaleStations(store, before).total()) + " stale"; });
        timed("stats", [&] { return std::to_string(history_db::historyStats(store).stations) + " stations"; });
        timed("prune (backup, commit)", [&] {
            const history_db::PruneOutcome outcome = history_db::pruneStations(store, before, {});
            return std::to_string(outcome.removed.total()) + " removed, " + std::to_string(outcome.remaining) + " left";
        });
        store.close();
        timed("list backups", [&] { return std::to_string(history_db::listBackups(path).size()) + " backup(s)"; });
        timed("restore the newest", [&] { return history_db::restoreBackup(path, 0).text(); });
    } catch (const std::exception& error) {
        std::cerr << "bench_maintenance: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
