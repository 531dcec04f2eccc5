// Times the Access engine on a logger's QSO table of 100 000 rows: creating the file, reading every
// row (one at a time and held whole, next to mdb-export of the same table; the best of three runs
// each), committing a change with an index on a text column, and compacting. Usage: bench_access_engine [FOLDER] (a temporary folder by default).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_folder.h"
#include "child_process.h"
#include "jet/compactor.h"
#include "jet/database.h"
#include "jet/database_builder.h"
#include "jet/row.h"

namespace {

using namespace kv::jet;
using kv::bench::Clock;
using kv::bench::secondsSince;

constexpr int kRows = 100000;
// Reading is timed this many times, ours and mdb-export's (a process each time) taking turns: on a
// shared machine a neighbour can slow any one run.
constexpr int kReadRuns = 3;

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
        // Written in a child process, so that the first read below finds no heap warmed up by it.
        const double create = kv::bench::inChildProcess([&] {
            const TableContent table = qsoTable();
            const auto start = Clock::now();
            createDatabase(path, {table}, true);
            return secondsSince(start);
        });
        std::printf("create a database with %d rows: %8.3f s (%ju bytes)\n", kRows, create,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(path)));

        // Every value of every row, one row at a time as mdb-export reads them, and the table held
        // whole as a tool takes it; each from a new opening of the file.
        double oneByOne = 0, whole = 0, exported = 0;
        std::size_t rowsRead = 0;
        std::vector<TableRow> changed;
        const std::string command = "mdb-export '" + path + "' DXLOG > /dev/null";
        const auto best = [](double& sofar, double seconds, int run) {
            sofar = run == 0 ? seconds : std::min(sofar, seconds);
        };
        for (int run = 0; run < kReadRuns; ++run) {
            auto start = Clock::now();
            {
                const Database database(path);
                const TableDef def = database.tableDef(database.table("DXLOG"));
                TableRow values;
                rowsRead = 0;
                forEachStoredRow(database.file(), def, [&](RowLocation, const StoredRow& row) {
                    crackRowInto(database.file(), def, row, values);
                    ++rowsRead;
                });
            }
            best(oneByOne, secondsSince(start), run);
            changed = {};  // each run into the memory the last one gave back
            start = Clock::now();
            {
                const Database database(path);
                changed = database.rows(database.tableDef(database.table("DXLOG"))).rows;
            }
            best(whole, secondsSince(start), run);
            start = Clock::now();
            if (std::system(command.c_str()) != 0)
                throw std::runtime_error("mdb-export failed (is mdbtools installed?)");
            best(exported, secondsSince(start), run);
        }
        std::printf("read all %zu rows one at a time: %8.3f s (mdb-export / ours: %.1f)\n", rowsRead, oneByOne,
                    exported / oneByOne);
        std::printf("  held whole:                      %8.3f s (mdb-export / ours: %.1f)\n", whole, exported / whole);
        std::printf("  mdb-export:                      %8.3f s\n", exported);

        changed[kRows / 2][1] = std::string("ZZ9ZZZ");
        changed.pop_back();
        auto start = Clock::now();
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
