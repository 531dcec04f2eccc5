// Times an import of contest logs as `import-logs` runs it: 1 000 Cabrillo logs of NAQP-CW with
// 1 000 QSOs each, about 60 000 distinct calls, into a History database of 100 000 stations that
// holds half of those calls. One copy in 50 has another name, so the vote has work to do. Prints
// the time to read the logs and vote, the time of the merge, and the peak memory of the run
// (the files are written by a child process, which counts nothing in the run's peak).
// Usage: bench_log_import [FOLDER] (a temporary folder by default); the program directory is
// this executable's, with mapping.xls and kestrovane_mdb.template.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "bench_support.h"
#include "history_db/history_store.h"
#include "import/contest_logs.h"
#include "import/import_run.h"
#include "mapping/mapping_workbook.h"

namespace {

using kv::bench::Clock;
using kv::bench::secondsSince;
namespace fs = std::filesystem;

constexpr int kLogs = 1000;
constexpr int kQsosPerLog = 1000;
constexpr int kCalls = 60000;
constexpr int kStations = 100000;
constexpr const char* kContest = "NAQP-CW";
const char* const kNames[] = {"ED", "SUE", "BOB", "ANN", "RANDY", "HIRAM", "LIZ", "DAN", "KAY", "TED", "GUS", "RAY"};
const char* const kStates[] = {"MA", "CT", "NY", "IL", "TX", "CA", "WA", "MN", "FL", "OH", "ON", "BC"};

// A distinct call for every n below 4 * 10 * 26^3.
std::string call(int n) {
    std::string text{"KWNA"[n % 4], static_cast<char>('0' + n / 4 % 10)};
    for (int rest = n / 40, i = 0; i < 3; ++i, rest /= 26) text += static_cast<char>('A' + rest % 26);
    return text;
}
const char* name(int n) { return kNames[n % std::size(kNames)]; }
const char* state(int n) { return kStates[n / 7 % std::size(kStates)]; }

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

std::vector<std::string> writeLogs(const fs::path& folder) {
    std::vector<std::string> paths;
    for (int log = 0; log < kLogs; ++log) {
        const int owner = log * 59 % kCalls;
        const std::string ownerCall = call(owner);
        std::string text = "START-OF-LOG: 3.0\r\nCALLSIGN: " + ownerCall + "\r\nCONTEST: " + kContest +
                           "\r\nLOCATION: " + state(owner) + "\r\n";
        char line[160];
        for (int q = 0; q < kQsosPerLog; ++q) {
            const int worked = static_cast<int>((log * 7919LL + q * 104729LL) % kCalls);
            const bool miscopied = (log + q) % 50 == 0;
            std::snprintf(line, sizeof line, "QSO: 14030 CW 2026-01-10 %02d%02d %s %s %s %s %s %s\r\n", 18 + q / 600,
                          q / 10 % 60, ownerCall.c_str(), name(owner), state(owner), call(worked).c_str(),
                          miscopied ? "XX" : name(worked), state(worked));
            text += line;
        }
        text += "END-OF-LOG:\r\n";
        paths.push_back((folder / ("log" + std::to_string(log) + ".log")).string());
        std::ofstream(paths.back(), std::ios::binary) << text;
    }
    return paths;
}

// The template filled with the stations from kCalls / 2 on, each known under another name.
void writeHistory(const std::string& templatePath, const std::string& path) {
    fs::copy_file(templatePath, path, fs::copy_options::overwrite_existing);
    kv::bench::fillHistoryTable(path, kStations, [](kv::data_access::Cursor& history, int k) {
        const int n = kCalls / 2 + k;
        history.setText("Call", call(n));
        history.setText("Name", name(n + 1));
        history.setText("State", state(n));
    });
}

// Writes the files in a child process, whose memory counts nothing in this process's peak.
std::vector<std::string> writeFilesApart(const fs::path& folder, const std::string& templatePath,
                                         const std::string& history) {
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("cannot fork");
    if (child == 0) {
        try {
            writeLogs(folder);
            writeHistory(templatePath, history);
            _exit(0);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "bench_log_import: %s\n", error.what());
            _exit(1);
        }
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("writing the files failed");
    std::vector<std::string> paths;
    for (int log = 0; log < kLogs; ++log) paths.push_back((folder / ("log" + std::to_string(log) + ".log")).string());
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const fs::path program = kv::bench::programDirectory();
        const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_log_import");
        const std::string history = (folder / "calls.mdb").string();
        auto start = Clock::now();
        const std::vector<std::string> paths =
            writeFilesApart(folder, (program / kv::history_db::kTemplateFileName).string(), history);
        std::printf("wrote %d logs of %d QSOs and a History of %d stations in %.2f s\n", kLogs, kQsosPerLog, kStations,
                    secondsSince(start));

        kv::mapping::MappingWorkbook workbook((program / "mapping.xls").string());
        start = Clock::now();
        kv::import::ContestLogs source(paths, workbook, kContest, 1, {});
        const double reading = secondsSince(start);
        const double peakRead = peakMegabytes();

        kv::history_db::HistoryStore store(history);
        start = Clock::now();
        const kv::import::ImportCounts counts = kv::import::runImport(store, source, {});
        const double merging = secondsSince(start);
        store.close();

        std::printf("read and voted: %lld logs, %lld QSOs, %lld conflicts decided, in %.2f s (peak %.0f MB)\n",
                    counts.logs.logs, counts.logs.qsos, counts.logs.conflicts, reading, peakRead);
        std::printf("merged: %lld stations (%lld inserted, %lld updated, %lld unchanged) in %.2f s\n", counts.read,
                    counts.inserted, counts.updated, counts.unchanged, merging);
        std::printf("whole run: %.2f s, peak memory %.0f MB\n", reading + merging, peakMegabytes());
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_log_import: %s\n", error.what());
        return 1;
    }
}
