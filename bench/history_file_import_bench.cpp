// Times the import of a call-history file of 1 000 000 stations into a History database of
// 1 000 000 stations, half of the file's calls among them, as `kestrovane-cli import-file` runs it
// (the program itself, a process of its own), beside the sqlite3 shell merging the same file into
// the same stations held in SQLite (sqlite_anchor.h). Prints the time and the peak memory of each
// with their ratio. The folder keeps the files: calls.txt, history.mdb and history.mdb.bup (the
// History before the run), history.sqlite and merge.sql.
// Usage: bench_import_file [FOLDER] (a temporary folder by default); kestrovane-cli is looked for
// beside this executable.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "bench_folder.h"
#include "bench_support.h"
#include "child_process.h"
#include "history_db/backup_set.h"
#include "history_table.h"
#include "sqlite_anchor.h"

namespace {

using namespace kv;
namespace fs = std::filesystem;

constexpr int kStations = 1000000;
constexpr int kLines = 1000000;
// The file's line j is of station j + kFirstStation: the first half of the lines are known stations.
constexpr int kFirstStation = kStations - kLines / 2;
constexpr const char* kFields[] = {"Call", "Name", "Sect", "State", "Ck"};

// The stations as the logger writes them, CR LF line ends; one in four of the known ones moved to
// another section, the rest as History knows them.
void writeCallHistoryFile(const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    file << "!!Order!!";
    for (const char* field : kFields) file << ',' << field;
    file << "\r\n";
    for (int j = 0; j < kLines; ++j) {
        const int n = j + kFirstStation;
        file << bench::callSign(n) << ",OP" << n % 97 << ',' << (n % 4 == 3 ? "CT" : "EMA") << ",MA," << 60 + n % 40
             << "\r\n";
    }
    if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

// The counts kestrovane-cli prints: "read R, inserted I, updated U, unchanged N".
struct Counts {
    long long read = 0, inserted = 0, updated = 0, unchanged = 0;
};

Counts readCounts(const std::string& outputPath) {
    std::ifstream output(outputPath);
    const std::string line((std::istreambuf_iterator<char>(output)), std::istreambuf_iterator<char>());
    Counts counts;
    if (std::sscanf(line.c_str(), "read %lld, inserted %lld, updated %lld, unchanged %lld", &counts.read,
                    &counts.inserted, &counts.updated, &counts.unchanged) != 4)
        throw std::runtime_error("kestrovane-cli printed no counts: " + line);
    return counts;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path programDirectory = kv::bench::programDirectory();
    const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_import_file");
    const std::string calls = (folder / "calls.txt").string();
    const std::string history = (folder / "history.mdb").string();
    const std::string anchorHistory = (folder / "history.sqlite").string();
    const std::string output = (folder / "import-file.out").string();
    for (const std::string& backup : history_db::backupPaths(history)) fs::remove(backup);
    try {
        // Written in a child process, so that the generator's memory is nobody's peak.
        const double written = bench::inChildProcess([&] {
            const auto start = bench::Clock::now();
            const jet::TableContent stations = bench::historyTable(kStations, [](int) { return jet::Value(); });
            jet::createDatabase(history, {stations, bench::versionTable()}, true);
            bench::writeSqliteHistory(anchorHistory, stations);
            writeCallHistoryFile(calls);
            return bench::secondsSince(start);
        });
        std::printf("call-history file, %d lines:     %8.1f MB\n", kLines, bench::megabytes(fs::file_size(calls)));
        std::printf("History of %d stations:          %8.1f MB (all written in %.1f s)\n", kStations,
                    bench::megabytes(fs::file_size(history)), written);

        std::string fields;
        for (const char* field : kFields) fields += std::string(fields.empty() ? "" : ", ") + field;
        const std::string merge = "CREATE TEMP TABLE lines (" + fields + ");\n.import --csv --schema temp --skip 1 '" +
                                  calls + "' lines\n" +
                                  bench::sqliteMerge("SELECT " + fields + ", date('now') FROM temp.lines WHERE true",
                                                     {std::begin(kFields), std::end(kFields)});
        bench::settleDisk();
        const bench::ProgramRun anchor = bench::runSqliteShell(anchorHistory, merge, (folder / "merge.sql").string());

        bench::settleDisk();
        const bench::ProgramRun ours = bench::runProgram(
            {(programDirectory / "kestrovane-cli").string(), "import-file", "--history", history, calls}, "/dev/null",
            output, (folder / "import-file.err").string());
        const Counts counts = readCounts(output);
        if (bench::sqliteHistoryRows(anchorHistory) != kStations + counts.inserted)
            throw std::runtime_error("the sqlite3 shell's merge inserted another number of stations");

        std::printf("\nimport-file: read %lld, inserted %lld, updated %lld, unchanged %lld\n", counts.read,
                    counts.inserted, counts.updated, counts.unchanged);
        bench::printBeside("kestrovane-cli import-file beside the sqlite3 shell's merge (whole processes):", ours,
                           anchor);
        std::printf("History after the run:          %8.1f MB\n", bench::megabytes(fs::file_size(history)));
    } catch (const std::exception& error) {
        std::cerr << "bench_import_file: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
