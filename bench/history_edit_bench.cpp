// Times small commits on a History table of 100 000 stations with an index on Call: one edited
// row, one inserted row and one deleted row, each committed by the engine (with the pages it
// journaled and wrote) and through a connection's cursor, as the History view posts them.
// Usage: bench_history_edit [FOLDER] (a temporary folder by default).

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include "bench_folder.h"
#include "bench_support.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/source_connection_strings.h"
#include "history_table.h"
#include "jet/database.h"
#include "jet/database_builder.h"
#include "jet/table_edit.h"

namespace {

using namespace kv;
using bench::callSign;

constexpr int kStations = 100000;

jet::TableContent history() {
    return bench::historyTable(kStations, [](int) { return jet::Value(jet::DateTime{46000}); });
}

// Commits one edit through the engine and prints its time and pages.
void engineCommit(const char* what, const std::string& path,
                  const std::function<void(jet::TableEdit&, const jet::TableRows&)>& make) {
    jet::Database database(path);
    jet::TableDef def = database.tableDef(database.table("History"));
    jet::TableRows rows = database.rows(def);
    jet::TableEdit edit;
    make(edit, rows);
    auto start = bench::Clock::now();
    jet::CommittedEdit committed = jet::commitTableEdit(database.file(), def, rows, std::move(edit));
    std::printf("engine: %-14s %7.1f ms, %zu pages journaled, %zu written\n", what, 1000 * bench::secondsSince(start),
                committed.pagesJournaled, committed.pagesWritten);
}

void cursorCommits(const std::string& path) {
    data_access::Connection connection;
    connection.setConnectionString(data_access::accessDatabaseConnectionString(path));
    data_access::Cursor cursor("History");
    cursor.setConnection(&connection);
    cursor.setTableName("History");
    cursor.open();
    auto timed = [](const char* what, const std::function<void()>& work) {
        auto start = bench::Clock::now();
        work();
        std::printf("cursor: %-14s %7.1f ms\n", what, 1000 * bench::secondsSince(start));
    };
    cursor.locate("Call", {callSign(kStations / 3)});
    cursor.edit();
    cursor.setText("Name", "CURSOR EDIT");
    timed("edit a row", [&] { cursor.post(); });
    cursor.insert();
    cursor.setText("Call", "ZZ9CUR");
    timed("insert a row", [&] { cursor.post(); });
    cursor.locate("Call", {callSign(kStations / 5)});
    timed("delete a row", [&] { cursor.remove(); });
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_history_edit");
    std::string path = (folder / "history.mdb").string();
    try {
        jet::createDatabase(path, {history()}, true);
        std::printf("History of %d stations: %ju bytes\n", kStations,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(path)));
        engineCommit("edit a row", path, [](jet::TableEdit& edit, const jet::TableRows& rows) {
            edit.updated = {kStations / 2};
            edit.updatedRows = {rows.rows[kStations / 2]};
            edit.updatedRows[0][1] = std::string("A LONGER NAME NOW");
        });
        engineCommit("insert a row", path, [](jet::TableEdit& edit, const jet::TableRows& rows) {
            edit.inserted = {rows.rows[7]};
            edit.inserted[0][0] = std::string("ZZ9NEW");
        });
        engineCommit("delete a row", path,
                     [](jet::TableEdit& edit, const jet::TableRows&) { edit.deleted = {kStations / 4}; });
        cursorCommits(path);
    } catch (const std::exception& error) {
        std::cerr << "bench_history_edit: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
