// Times the import of one contest's 100 000 QSOs from a logger database into a History database of
// 100 000 stations, half of the QSOs' calls among them, the way the program runs it: through the
// window's operations, the table access layer and the Access engine, on real files. Prints the run
// next to mdb-export reading the same QSO table, the parts of the run that can be timed on their
// own, and the peak memory against the size of the two files; beside it, the sqlite3 shell merging
// the same QSOs into the same stations held in SQLite (sqlite_anchor.h). Then the same import of the
// same QSOs from the logger's SQLite log, into the same History as the first run found it. Each of
// the three runs is the best of three, the three taking turns on the files as written. The folder
// keeps the files: logger.mdb, logger.s3db, history.mdb and history.mdb.bup (the History before the
// run), history.sqlite and merge.sql.
// Usage: bench_import [FOLDER] (a temporary folder by default); the program directory is this
// executable's, with mapping.xls and kestrovane_mdb.template.

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "bench_support.h"
#include "child_process.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/source_connection_strings.h"
#include "history_db/backup_set.h"
#include "history_db/copy_whole_file.h"
#include "history_db/history_store.h"
#include "jet/database_builder.h"
#include "shell/form_create.h"
#include "shell/history_database.h"
#include "shell/import_page.h"
#include "sqlite_anchor.h"

namespace {

using kv::bench::BenchUi;
using kv::bench::Clock;
using kv::bench::inChildProcess;
using kv::bench::megabytes;
using kv::bench::peakMegabytes;
using kv::bench::ProgramRun;
using kv::bench::secondsSince;
using kv::data_access::Connection;
using kv::data_access::Cursor;
namespace fs = std::filesystem;
namespace jet = kv::jet;

constexpr int kQsos = 100000;
constexpr int kStations = 100000;
constexpr const char* kContest = "SSCW";
constexpr std::int32_t kContestNr = 2;
// The columns the mapping takes from DXLOG for the contest.
constexpr const char* kMappedColumns[] = {"Call", "Ck", "Sect"};
const char* const kSections[] = {"EMA", "CT", "STX", "ONE", "SCV", "WWA", "GA", "MI", "NFL"};
constexpr int kSectionCount = std::size(kSections);
// The contests' starts, in days since 1899-12-30: 2025-06-28 18:00 and 2026-11-07 21:00.
constexpr double kFieldDayStart = 45836.75;
constexpr double kContestStart = 46333.875;

// A distinct call for every n below 4 * 10 * 26^3.
std::string callSign(int n) {
    std::string call{"KWNA"[n % 4], static_cast<char>('0' + n / 4 % 10)};
    for (int rest = n / 40, i = 0; i < 3; ++i, rest /= 26) call += static_cast<char>('A' + rest % 26);
    return call;
}

// The QSO numbered i works station i; History holds the odd-numbered stations, so every other QSO
// finds its call there. Of those, the ones with n % 4 == 3 are known under another section.
const char* section(int n) { return kSections[n % kSectionCount]; }
std::uint8_t check(int n) { return static_cast<std::uint8_t>(n % 100); }

// The logger's ContestInstance and DXLOG, with the columns the import reads and a few it does not;
// a small Field Day log sits beside the contest.
std::vector<jet::TableContent> loggerTables() {
    using jet::ColumnType;
    using jet::userColumn;
    jet::TableContent contests;
    contests.design.name = "ContestInstance";
    contests.design.columns = {
        userColumn("ContestID", ColumnType::Long, 0, true), userColumn("ContestName", ColumnType::Text, 10),
        userColumn("StartDate", ColumnType::DateTime), userColumn("ContestNR", ColumnType::Long)};
    contests.rows = {{std::int32_t{1}, std::string("FD"), jet::DateTime{kFieldDayStart}, std::int32_t{1}},
                     {std::int32_t{2}, std::string(kContest), jet::DateTime{kContestStart}, kContestNr}};

    jet::TableContent qsos;
    qsos.design.name = "DXLOG";
    qsos.design.columns = {userColumn("TS", ColumnType::DateTime, 0, true),
                           userColumn("Call", ColumnType::Text, 15, true),
                           userColumn("Freq", ColumnType::Double),
                           userColumn("Mode", ColumnType::Text, 6),
                           userColumn("ContestName", ColumnType::Text, 10),
                           userColumn("Name", ColumnType::Text, 20),
                           userColumn("NR", ColumnType::Long),
                           userColumn("Sect", ColumnType::Text, 8),
                           userColumn("CK", ColumnType::Byte),
                           userColumn("Band", ColumnType::Double),
                           userColumn("Exchange1", ColumnType::Text, 20),
                           userColumn("ContestNR", ColumnType::Long),
                           userColumn("GridSquare", ColumnType::Text, 6),
                           userColumn("Operator", ColumnType::Text, 20)};
    qsos.design.indexes = {jet::IndexDesign{"PrimaryKey", {{"TS", false}, {"Call", false}}, true, true, false, true},
                           jet::IndexDesign{"ContestNR", {{"ContestNR", false}}, false, false, false, false}};
    for (int i = 0; i < 100; ++i)
        qsos.rows.push_back({jet::DateTime{kFieldDayStart + i / 1440.0}, callSign(i), 7030.0, std::string("CW"),
                             std::string("FD"), std::monostate{}, std::int32_t{0}, std::string(section(i)),
                             std::uint8_t{0}, 7.0, std::string("2A"), std::int32_t{1}, std::monostate{},
                             std::string("N1XX")});
    const char* precedences = "QABMUS";
    for (int i = 0; i < kQsos; ++i) {
        const double band = i % 3 == 0 ? 7.0 : 14.0;
        qsos.rows.push_back({jet::DateTime{kContestStart + i / 3000.0}, callSign(i), band * 1000 + 25 + i % 50,
                             std::string("CW"), std::string(kContest), std::monostate{}, std::int32_t{i + 1},
                             std::string(section(i)), check(i), band, std::string(1, precedences[i % 6]), kContestNr,
                             std::monostate{}, std::string("N1XX")});
    }
    return {contests, qsos};
}

// The type the logger declares for a column of this kind in its SQLite log.
std::string sqliteType(const jet::ColumnDesign& column) {
    switch (column.type) {
    case jet::ColumnType::DateTime: return "DATETIME";
    case jet::ColumnType::Text: return "VARCHAR(" + std::to_string(column.length / 2) + ")";
    case jet::ColumnType::Double: return "DOUBLE";
    case jet::ColumnType::Byte: return "TINYINT";
    case jet::ColumnType::Long: return "INTEGER";
    default: throw std::runtime_error("no SQLite type for column " + column.name);
    }
}

// A date as the logger writes it, "YYYY-MM-DD HH:MM:SS", to the nearest second.
std::string sqliteDateTime(const jet::DateTime& value) {
    namespace chrono = std::chrono;
    const auto time = chrono::sys_days{chrono::year{1899} / 12 / 30} +
                      chrono::round<chrono::seconds>(chrono::duration<double, chrono::days::period>(value.days));
    const auto day = chrono::floor<chrono::days>(time);
    const chrono::year_month_day date{day};
    const chrono::hh_mm_ss clock{time - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02lld", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(clock.hours().count()), static_cast<long>(clock.minutes().count()),
                  static_cast<long long>(clock.seconds().count()));
    return text;
}

void bindSqlite(sqlite3_stmt* statement, int position, const jet::Value& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        sqlite3_bind_text(statement, position, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    else if (const auto* date = std::get_if<jet::DateTime>(&value))
        sqlite3_bind_text(statement, position, sqliteDateTime(*date).c_str(), -1, SQLITE_TRANSIENT);
    else if (const auto* real = std::get_if<double>(&value))
        sqlite3_bind_double(statement, position, *real);
    else if (const auto* whole = std::get_if<std::int32_t>(&value))
        sqlite3_bind_int64(statement, position, *whole);
    else if (const auto* byte = std::get_if<std::uint8_t>(&value))
        sqlite3_bind_int64(statement, position, *byte);
    else
        sqlite3_bind_null(statement, position);
}

// The same tables and rows in a SQLite log as the logger's current version keeps it: WAL mode,
// closed (no -wal beside it).
void writeSqliteLogger(const std::string& path, const std::vector<jet::TableContent>& tables) {
    fs::remove(path);
    sqlite3* log = nullptr;
    auto check = [&](int result) {
        if (result != SQLITE_OK && result != SQLITE_DONE) throw std::runtime_error(path + ": " + sqlite3_errmsg(log));
    };
    check(sqlite3_open(path.c_str(), &log));
    check(sqlite3_exec(log, "PRAGMA journal_mode = WAL; BEGIN", nullptr, nullptr, nullptr));
    for (const jet::TableContent& table : tables) {
        std::string columns, places;
        for (const jet::ColumnDesign& column : table.design.columns) {
            columns += (columns.empty() ? "[" : ", [") + column.name + "] " + sqliteType(column);
            places += places.empty() ? "?" : ", ?";
        }
        check(sqlite3_exec(log, ("CREATE TABLE [" + table.design.name + "] (" + columns + ")").c_str(), nullptr,
                           nullptr, nullptr));
        sqlite3_stmt* insert = nullptr;
        check(sqlite3_prepare_v2(log, ("INSERT INTO [" + table.design.name + "] VALUES (" + places + ")").c_str(), -1,
                                 &insert, nullptr));
        for (const jet::TableRow& row : table.rows) {
            for (std::size_t c = 0; c < row.size(); ++c) bindSqlite(insert, static_cast<int>(c + 1), row[c]);
            check(sqlite3_step(insert));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    check(sqlite3_exec(log, "COMMIT", nullptr, nullptr, nullptr));
    check(sqlite3_close(log));
}

// The stations History holds before the run: the odd-numbered ones, those with n % 4 == 3 under
// another section than their QSOs give.
jet::TableContent historyStations() {
    jet::TableContent stations;
    for (const char* name : {"Call", "Sect", "Ck", "State", "Updated"})
        stations.design.columns.push_back(jet::userColumn(name, jet::ColumnType::Text, 20));
    for (int k = 0; k < kStations; ++k) {
        const int n = 2 * k + 1;
        stations.rows.push_back({callSign(n), std::string(section(n % 4 == 3 ? n + 1 : n)), std::to_string(check(n)),
                                 std::string("MA"), std::monostate{}});
    }
    return stations;
}

// The template filled with `stations` as a station manager would, in one bulk work.
void writeHistory(const std::string& templatePath, const std::string& path, const jet::TableContent& stations) {
    fs::copy_file(templatePath, path, fs::copy_options::overwrite_existing);
    Connection connection;
    connection.setConnectionString(kv::data_access::accessDatabaseConnectionString(path));
    Cursor history("History");
    history.setConnection(&connection);
    history.setTableName("History");
    history.open();
    connection.runBulkWork([&] {
        for (const jet::TableRow& row : stations.rows) {
            history.insert();
            for (std::size_t c = 0; c < row.size(); ++c)
                if (const auto* text = std::get_if<std::string>(&row[c]))
                    history.setText(stations.design.columns[c].name, *text);
            history.post();
        }
    });
}

// The parts of the run that can be timed from outside, each on connections of its own so that it
// loads its tables from the file as the run does.
struct Parts {
    double copy = 0, qsoOpen = 0, qsoWalk = 0, historyOpen = 0, seeks = 0;
    long long qsos = 0;
    double peakLoaded = 0;  // MB, both tables loaded
};

Parts timeParts(const std::string& logger, const std::string& history, const std::string& scratch) {
    Parts parts;
    auto start = Clock::now();
    kv::history_db::CopyWholeFile(history, scratch);
    parts.copy = secondsSince(start);
    fs::remove(scratch);

    Connection loggerConnection;
    loggerConnection.setConnectionString(kv::data_access::accessDatabaseConnectionString(logger));
    Cursor qsos("qsos");
    start = Clock::now();
    qsos.setConnection(&loggerConnection);
    qsos.setTableName("DXLOG");
    qsos.open();
    qsos.setFilter("ContestNR = " + std::to_string(kContestNr));
    qsos.setFiltered(true);
    qsos.first();
    parts.qsos = qsos.recordCount();
    parts.qsoOpen = secondsSince(start);

    std::vector<std::string> calls;
    calls.reserve(static_cast<std::size_t>(parts.qsos));
    start = Clock::now();
    for (; !qsos.atEnd(); qsos.next()) {
        for (const char* column : kMappedColumns) qsos.text(column);
        calls.push_back(qsos.text("Call"));
    }
    parts.qsoWalk = secondsSince(start);

    Connection historyConnection;
    historyConnection.setConnectionString(kv::data_access::accessDatabaseConnectionString(history));
    Cursor stations("stations");
    start = Clock::now();
    stations.setConnection(&historyConnection);
    stations.setTableName("History");
    stations.open();
    stations.setIndexName("Call");
    parts.historyOpen = secondsSince(start);

    start = Clock::now();
    for (const std::string& call : calls) stations.seek(call);
    parts.seeks = secondsSince(start);
    parts.peakLoaded = peakMegabytes();
    return parts;
}

// The window's steps before "Start IMPORT": the database opened, the logger database chosen as
// source and the contest picked in its list.
void prepareImport(BenchUi& ui, kv::shell::DataObjects& data, const std::string& history) {
    kv::shell::FormCreate(ui);
    ui.state().HistoryPath = history;
    kv::shell::OpenTHDatabase(ui, data, history);
    ui.setItemIndex("ComboBox_ImportType", 0);
    kv::shell::ComboBox_ImportTypeSelect(ui, {[&](kv::ui::Ui& u) { kv::shell::OpenHamDB(u, data); },
                                              [&](kv::ui::Ui& u) { kv::shell::OpenHistFile(u, data); },
                                              {}});
    const int entries = static_cast<int>(ui.items("Combobox_Contest").size());
    for (int i = 0; i < entries; ++i)
        if (const auto record = ui.itemRecord("Combobox_Contest", i); record && record->contestName == kContest)
            ui.setItemIndex("Combobox_Contest", i);
    kv::shell::Combobox_ContestSelect(ui, data);
    if (ui.state().ImportContestName != kContest || !ui.isEnabled("Button_Import"))
        throw std::runtime_error(std::string("contest ") + kContest + " could not be picked");
}

// The counts of a run as they cross back from its child process, which takes plain bytes only.
struct RunCounts {
    long long read = 0, inserted = 0, updated = 0, unchanged = 0, withoutCall = 0;
    bool operator==(const RunCounts&) const = default;
};

struct Run {
    RunCounts counts;
    double seconds = 0;
    double peak = 0;  // MB
};

// "Start IMPORT" of the contest from `logger`, after the window's steps before it.
Run runImport(const fs::path& programDirectory, const std::string& logger, const std::string& history) {
    BenchUi ui((programDirectory / "").string(), logger);
    ui.state().MappingPath = (programDirectory / "mapping.xls").string();
    kv::shell::DataObjects data;
    prepareImport(ui, data, history);

    Run run;
    const auto start = Clock::now();
    const kv::import::ImportCounts counts = kv::shell::Button_ImportClick(ui, data);
    run.counts = {counts.read, counts.inserted, counts.updated, counts.unchanged, counts.withoutCall};
    run.seconds = secondsSince(start);
    run.peak = peakMegabytes();
    return run;
}

// One of the runs compared: it changes `file`, which is put back as written before each run.
struct Side {
    std::string file;
    std::function<Run()> run;
};

// Each side's best time of kRuns, the sides taking turns: on a shared machine a neighbour can slow
// any one run. The peak is the highest of the side's runs. The files and their backups are left as
// the last runs leave them.
constexpr int kRuns = 3;

std::vector<Run> bestRuns(const std::vector<Side>& sides) {
    auto asWritten = [](const Side& side) { return side.file + ".as written"; };
    for (const Side& side : sides) fs::copy_file(side.file, asWritten(side), fs::copy_options::overwrite_existing);
    std::vector<Run> best(sides.size());
    for (int i = 0; i < kRuns; ++i) {
        for (std::size_t s = 0; s < sides.size(); ++s) {
            fs::copy_file(asWritten(sides[s]), sides[s].file, fs::copy_options::overwrite_existing);
            for (const std::string& backup : kv::history_db::backupPaths(sides[s].file)) fs::remove(backup);
            kv::bench::settleDisk();
            const Run run = sides[s].run();
            if (i == 0 || run.seconds < best[s].seconds) best[s] = {run.counts, run.seconds, best[s].peak};
            best[s].peak = std::max(best[s].peak, run.peak);
        }
    }
    for (const Side& side : sides) fs::remove(asWritten(side));
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path programDirectory = kv::bench::programDirectory();
    const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_import");
    const std::string logger = (folder / "logger.mdb").string();
    const std::string sqliteLogger = (folder / "logger.s3db").string();
    const std::string history = (folder / "history.mdb").string();
    const std::string sqliteHistory = (folder / "history for the SQLite log.mdb").string();
    const std::string anchorHistory = (folder / "history.sqlite").string();
    // The backups left are this run's: the History as it was before it.
    for (const std::string& backup : kv::history_db::backupPaths(history)) fs::remove(backup);
    for (const std::string& backup : kv::history_db::backupPaths(sqliteHistory)) fs::remove(backup);
    try {
        const std::string templatePath = (programDirectory / kv::history_db::kTemplateFileName).string();
        struct Written {
            double accessAndHistory, sqlite;
        };
        const Written written = inChildProcess([&] {
            auto start = Clock::now();
            const std::vector<jet::TableContent> tables = loggerTables();
            jet::createDatabase(logger, tables, true);
            const jet::TableContent stations = historyStations();
            writeHistory(templatePath, history, stations);
            const double accessAndHistory = secondsSince(start);
            start = Clock::now();
            writeSqliteLogger(sqliteLogger, tables);
            fs::copy_file(history, sqliteHistory, fs::copy_options::overwrite_existing);
            kv::bench::writeSqliteHistory(anchorHistory, stations);
            return Written{accessAndHistory, secondsSince(start)};
        });
        const std::uintmax_t loggerBytes = fs::file_size(logger), historyBytes = fs::file_size(history);
        std::printf("logger database, %d QSOs of %s:     %8.1f MB\n", kQsos, kContest, megabytes(loggerBytes));
        std::printf("History of %d stations:            %8.1f MB (both written in %.3f s)\n", kStations,
                    megabytes(historyBytes), written.accessAndHistory);
        std::printf("the same QSOs in a SQLite log:       %8.1f MB (written in %.3f s)\n",
                    megabytes(fs::file_size(sqliteLogger)), written.sqlite);

        const Parts parts =
            inChildProcess([&] { return timeParts(logger, history, (folder / "scratch.mdb").string()); });
        const Parts sqliteParts =
            inChildProcess([&] { return timeParts(sqliteLogger, sqliteHistory, (folder / "scratch.mdb").string()); });
        const std::string merge = "ATTACH '" + sqliteLogger + "' AS log;\n" +
                                  kv::bench::sqliteMerge(
                                      "SELECT Call, CAST(CK AS TEXT), Sect, date('now') FROM "
                                      "log.DXLOG WHERE ContestNR = " +
                                          std::to_string(kContestNr),
                                      {"Call", "Ck", "Sect"});
        const double peakBefore = peakMegabytes();
        auto importFrom = [&](const std::string& log, const std::string& into) {
            return [&, log, into] { return inChildProcess([&] { return runImport(programDirectory, log, into); }); };
        };
        const std::vector<Run> best = bestRuns({
            {anchorHistory,
             [&] {
                 const ProgramRun shell =
                     kv::bench::runSqliteShell(anchorHistory, merge, (folder / "merge.sql").string());
                 return Run{{}, shell.seconds, shell.peak};
             }},
            {history, importFrom(logger, history)},
            {sqliteHistory, importFrom(sqliteLogger, sqliteHistory)},
        });
        const ProgramRun anchor{best[0].seconds, best[0].peak};
        const Run& accessRun = best[1];
        const Run& sqliteRun = best[2];
        const RunCounts& counts = accessRun.counts;
        const double run = accessRun.seconds, peak = accessRun.peak;
        if (!(sqliteRun.counts == counts)) throw std::runtime_error("the imports from the two logs count differently");
        if (kv::bench::sqliteHistoryRows(anchorHistory) != kStations + counts.inserted)
            throw std::runtime_error("the sqlite3 shell's merge inserted another number of stations");

        auto start = Clock::now();
        const std::string command = "mdb-export '" + logger + "' DXLOG > /dev/null";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("mdb-export failed (is mdbtools installed?)");
        const double exported = secondsSince(start);

        std::printf("\nimport %s: read %lld, inserted %lld, updated %lld, unchanged %lld\n", kContest, counts.read,
                    counts.inserted, counts.updated, counts.unchanged);
        std::printf("whole run (Button_ImportClick):      %8.3f s   (aim: 1 s)\n", run);
        std::printf("mdb-export of DXLOG (all rows):      %8.3f s\n", exported);
        std::printf("  backup copy of History:            %8.3f s\n", parts.copy);
        std::printf("  DXLOG loaded and filtered:         %8.3f s (%lld rows)\n", parts.qsoOpen, parts.qsos);
        std::printf("  its rows walked, mapped columns:   %8.3f s\n", parts.qsoWalk);
        std::printf("  History loaded, Call index set:    %8.3f s\n", parts.historyOpen);
        std::printf("  every QSO's call sought:           %8.3f s\n", parts.seeks);
        const double measured = parts.copy + parts.qsoOpen + parts.qsoWalk + parts.historyOpen + parts.seeks;
        std::printf("  rest: inserts, edits, commit:      %8.3f s\n", run - measured);
        std::printf("History after the run:               %8.1f MB\n", megabytes(fs::file_size(history)));

        const double files = megabytes(loggerBytes + historyBytes);
        std::printf("\npeak memory (ru_maxrss):             %8.1f MB (%.1f MB before the run)\n", peak, peakBefore);
        std::printf("  the two tables loaded (timed apart):%7.1f MB\n", parts.peakLoaded);
        std::printf("both files before the run:           %8.1f MB\n", files);
        std::printf("memory / files:                      %8.1f    (aim: at most 5)\n", peak / files);

        std::printf("\n");
        kv::bench::printBeside(
            "the same merge by the sqlite3 shell into the stations in SQLite (history.sqlite):", {run, peak}, anchor);

        std::printf("\nthe same import from the SQLite log (the same counts):\n");
        std::printf(
            "whole run (Button_ImportClick):      %8.3f s   (aim: no slower than from the Access log, %.3f s)\n",
            sqliteRun.seconds, run);
        std::printf("  DXLOG loaded and filtered:         %8.3f s (%lld rows; %.3f s from the Access log)\n",
                    sqliteParts.qsoOpen, sqliteParts.qsos, parts.qsoOpen);
        std::printf("  its rows walked, mapped columns:   %8.3f s\n", sqliteParts.qsoWalk);
        std::printf("peak memory (ru_maxrss):             %8.1f MB\n", sqliteRun.peak);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_import: %s\n", error.what());
        return 1;
    }
    return 0;
}
