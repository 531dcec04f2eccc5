#pragma once
// The yardstick of the import benchmarks: the same stations held in SQLite, and the same merge done
// there by the sqlite3 shell as a process of its own: one upsert, the call looked up ignoring case
// through a unique index, one transaction, synced to the disk.

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "child_process.h"
#include "jet/database_builder.h"

namespace kv::bench {

inline constexpr const char* kSqliteShell = "/usr/bin/sqlite3";

// Opens the SQLite database at `path`; closes it when it goes.
class SqliteFile {
public:
    explicit SqliteFile(const std::string& path) {
        if (sqlite3_open(path.c_str(), &database_) != SQLITE_OK) fail(path);
    }
    ~SqliteFile() { sqlite3_close(database_); }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void run(const std::string& sql) {
        if (sqlite3_exec(database_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fail(sql);
    }
    sqlite3_stmt* prepare(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(database_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) fail(sql);
        return statement;
    }
    [[noreturn]] void fail(const std::string& what) {
        throw std::runtime_error(what + ": " + sqlite3_errmsg(database_));
    }

private:
    sqlite3* database_ = nullptr;
};

// The History at `path` in SQLite, built from the rows of `history` (text or NULL cells): every
// column text, Call unique ignoring case.
inline void writeSqliteHistory(const std::string& path, const jet::TableContent& history) {
    std::filesystem::remove(path);
    SqliteFile file(path);
    std::string columns, places;
    for (const jet::ColumnDesign& column : history.design.columns) {
        columns += (columns.empty() ? "[" : ", [") + column.name + "] TEXT";
        places += places.empty() ? "?" : ", ?";
    }
    file.run("CREATE TABLE History (" + columns + "); CREATE UNIQUE INDEX Call ON History (Call COLLATE NOCASE)");
    file.run("BEGIN");
    sqlite3_stmt* insert = file.prepare("INSERT INTO History VALUES (" + places + ")");
    for (const jet::TableRow& row : history.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            const int position = static_cast<int>(c + 1);
            if (const auto* text = std::get_if<std::string>(&row[c]))
                sqlite3_bind_text(insert, position, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
            else if (std::holds_alternative<std::monostate>(row[c]))
                sqlite3_bind_null(insert, position);
            else
                throw std::runtime_error("the SQLite History takes text only, not in " +
                                         history.design.columns[c].name);
        }
        if (sqlite3_step(insert) != SQLITE_DONE) file.fail("a History row");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    file.run("COMMIT");
}

inline long long sqliteHistoryRows(const std::string& path) {
    SqliteFile file(path);
    sqlite3_stmt* count = file.prepare("SELECT count(*) FROM History");
    if (sqlite3_step(count) != SQLITE_ROW) file.fail("counting History");
    const long long rows = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);
    return rows;
}

// The merge of the rows `selectRows` gives (a SELECT of `columns`, Call first, ending in a WHERE
// clause) into History, as our import merges: a new call is inserted, a known one takes every value
// that is not empty, and each station met is stamped with today's date.
inline std::string sqliteMerge(const std::string& selectRows, const std::vector<std::string>& columns) {
    std::string names, updates;
    for (const std::string& column : columns) {
        names += column + ", ";
        if (column != columns.front())
            updates += column + " = coalesce(nullif(trim(excluded." + column + "), ''), " + column + "), ";
    }
    return "PRAGMA synchronous = FULL;\nBEGIN;\nINSERT INTO History (" + names + "Updated)\n  " + selectRows +
           "\n  ON CONFLICT (Call COLLATE NOCASE) DO UPDATE SET " + updates + "Updated = excluded.Updated;\nCOMMIT;\n";
}

// Runs `script` through the sqlite3 shell on the database at `path`, the script kept beside it in
// `scriptPath` for whoever wants to run it again by hand.
inline ProgramRun runSqliteShell(const std::string& path, const std::string& script, const std::string& scriptPath) {
    std::ofstream(scriptPath) << script;
    return runProgram({kSqliteShell, "-bail", path}, scriptPath);
}

inline void printBeside(const char* what, const ProgramRun& ours, const ProgramRun& sqlite) {
    std::printf("%s\n", what);
    std::printf("  time:        ours %8.3f s    SQLite %8.3f s    ours / SQLite %5.2f\n", ours.seconds, sqlite.seconds,
                ours.seconds / sqlite.seconds);
    std::printf("  peak memory: ours %8.1f MB   SQLite %8.1f MB   ours / SQLite %5.1f\n", ours.peak, sqlite.peak,
                ours.peak / sqlite.peak);
}

}  // namespace kv::bench
