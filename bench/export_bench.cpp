// Times the export of a contest's call-history file from a History database of 100 000 rows, the
// way the program runs it: through the export operation, the table access layer and the Access
// engine, into a real file. Prints the first export (which reads the table from the file) and a
// second one (the table already read), and, for the first, where its time goes.
// Usage: bench_export [FOLDER] (a temporary folder by default); the program directory is this
// executable's, with mapping.xls and kestrovane_mdb.template.

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_folder.h"
#include "bench_support.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/source_connection_strings.h"
#include "shell/export_page.h"
#include "shell/history_database.h"

namespace {

using kv::bench::BenchUi;
using kv::bench::Clock;
using kv::bench::secondsSince;
namespace fs = std::filesystem;

constexpr int kRows = 100000;
constexpr const char* kContest = "NAQPCW";

void fillHistory(const std::string& path) {
    const char* names[] = {"JOHN", "MARY", "BOB", "ALICE", "KEN", "SUE"};
    const char* states[] = {"MA", "CT", "ON", "TX", "CA", "WA", "DX"};
    kv::bench::fillHistoryTable(path, kRows, [&](kv::data_access::Cursor& history, int i) {
        history.setText("Call", std::string(1, "KWNA"[i % 4]) + std::to_string(i % 10) +
                                    static_cast<char>('A' + i % 26) + static_cast<char>('A' + (i / 26) % 26) +
                                    static_cast<char>('A' + (i / 676) % 26));
        if (i % 5 != 0) history.setText("Name", names[i % 6]);
        if (i % 3 != 0) history.setText("State", states[i % 7]);
        history.setText("Sect", "EMA");
        history.setText("data2", std::to_string(i % 40) + "A");
    });
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path programDirectory = kv::bench::programDirectory();
    const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_export");
    const std::string database = (folder / "history.mdb").string();
    try {
        fs::copy_file(programDirectory / "kestrovane_mdb.template", database, fs::copy_options::overwrite_existing);
        auto start = Clock::now();
        fillHistory(database);
        std::printf("History of %d rows written:            %8.3f s (%ju bytes)\n", kRows, secondsSince(start),
                    static_cast<std::uintmax_t>(fs::file_size(database)));

        BenchUi ui((programDirectory / "").string());
        ui.state().MappingPath = (programDirectory / "mapping.xls").string();
        ui.state().ExportContest = kContest;
        ui.state().TargetHistoryPath = (folder / "NAQPCW.txt").string();
        kv::shell::DataObjects data;
        kv::shell::OpenTHDatabase(ui, data, database);

        start = Clock::now();
        data.history->openHistory();
        const double load = secondsSince(start);
        data.history->close();

        start = Clock::now();
        kv::shell::Button_ExportClick(ui, data);
        const double first = secondsSince(start);
        start = Clock::now();
        kv::shell::Button_ExportClick(ui, data);
        const double second = secondsSince(start);

        std::printf("export %s, first (reads the table):  %8.3f s (%ju bytes written)\n", kContest, first,
                    static_cast<std::uintmax_t>(fs::file_size(ui.state().TargetHistoryPath)));
        std::printf("  of which reading the table:          %8.3f s\n", load);
        std::printf("  and lines, encoding and writing:     %8.3f s\n", first - load);
        std::printf("export %s again (table already read):%8.3f s\n", kContest, second);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_export: %s\n", error.what());
        return 1;
    }
    return 0;
}
