// Times the Access engine on a logger's QSO table of 100 000 rows: creating the file, reading every
// row (next to mdb-export of the same table), committing a change with an index on a text column,
// and compacting. Usage: bench_access_engine [FOLDER] (a temporary folder by default).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "bench_folder.h"
#include "jet/compactor.h"
#include "jet/database.h"
#include "jet/database_builder.h"

namespace {

using namespace kv::jet;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 100000;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TableContent qsoTable() {
    TableContent table;
    table.design.name = "DXLOG";
    table.design.columns = {userColumn("TS", ColumnType::DateTime),       userColumn("Call", ColumnType::Text, 15),
                            userColumn("Freq", ColumnType::Double),       userColumn("Mode", ColumnType::Text, 6),
                            userColumn("Name", ColumnType::Text, 20),     userColumn("Sect", ColumnType::Text, 8),
                            userColumn("NR", ColumnType::Long),           userColumn("Exchange1", ColumnType::Text, 20),
                            userColumn("ContestNR", ColumnType::Long),    userColumn("Band", ColumnType::Double),
                            userColumn("Operator", ColumnType::Text, 20), userColumn("Points", ColumnType::Integer)};
    table.design.indexes = {IndexDesign{"Call", {{"Call", false}}, false, false, false, false}};
    const char* modes[] = {"CW", "USB", "LSB", "RTTY"};
    const char* names[] = {"JOHN", "MARY", "BOB", "ALICE", "KEN", "SUE"};
    for (int i = 0; i < kRows; ++i) {
        std::string call = std::string(1, "KWNA"[i % 4]) + std::to_string(i % 10) + static_cast<char>('A' + i % 26) +
                           static_cast<char>('A' + (i / 26) % 26) + static_cast<char>('A' + (i / 676) % 26);
        table.rows.push_back({DateTime{45000 + i / 1440.0}, call, 14000.0 + (i % 350) / 10.0, std::string(modes[i % 4]),
                              std::string(names[i % 6]), std::string("EMA"), std::int32_t{i + 1},
                              std::to_string(i % 100) + "A", std::int32_t{7}, 14.0, std::string("N1XX"),
                              static_cast<std::int16_t>(1 + i % 3)});
    }
    return table;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_access_engine");
    std::string path = (folder / "qso.mdb").string();
    std::string compacted = (folder / "qso_compacted.mdb").string();
    try {
        TableContent table = qsoTable();
        auto start = Clock::now();
        createDatabase(path, {table}, true);
        double create = secondsSince(start);
        std::printf("create a database with %d rows:     %8.3f s (%ju bytes)\n", kRows, create,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(path)));

        start = Clock::now();
        Database database(path);
        TableRows rows = database.rows(database.tableDef(database.table("DXLOG")));
        double read = secondsSince(start);
        start = Clock::now();
        std::string command = "mdb-export '" + path + "' DXLOG > /dev/null";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("mdb-export failed (is mdbtools installed?)");
        double exported = secondsSince(start);
        std::printf("read all %zu rows: our engine        %8.3f s\n", rows.rows.size(), read);
        std::printf("                  mdb-export        %8.3f s (ratio mdb-export / ours: %.1f)\n", exported,
                    exported / read);

        std::vector<TableRow> changed = rows.rows;
        changed[kRows / 2][1] = std::string("ZZ9ZZZ");
        changed.pop_back();
        start = Clock::now();
        commitTable(path, "DXLOG", std::move(changed));
        std::printf("commit a change (index on Call):   %8.3f s\n", secondsSince(start));

        start = Clock::now();
        compact(path, compacted);
        std::printf("compact:                           %8.3f s (%ju bytes)\n", secondsSince(start),
                    static_cast<std::uintmax_t>(std::filesystem::file_size(compacted)));
    } catch (const std::exception& error) {
        std::cerr << "bench_access_engine: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
