#pragma once
// SQLite files for the tests, made and read through SQLite itself: logger logs with the logger's
// whole schema, read from the real log ham_test.s3db when the test runs; a connection that writes
// as the logger does (and holds locks as it does); an independent reading of a query's result; and
// the state a reader must leave a file in.

#include "data_access/source_connection_strings.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

struct sqlite3;

namespace kv::testing {

// The real log of the logger, shared read-only by every test: copy it before using it.
inline const std::string kRealLog = KV_FIXTURES_DIR "/logger/ham_test.s3db";

// A value as SQLite stores it: NULL, integer, real or text.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
// Column names and the values a row has in them; the columns left out take their defaults.
using SqlRow = std::vector<std::pair<std::string, SqlValue>>;

// A read-write connection, created with the file when it does not exist.
class SqliteWriter {
public:
    explicit SqliteWriter(const std::string& path);
    ~SqliteWriter();
    SqliteWriter(const SqliteWriter&) = delete;
    SqliteWriter& operator=(const SqliteWriter&) = delete;

    // Runs one or more statements; throws with SQLite's message when one fails.
    void execute(const std::string& sql);
    void insert(const std::string& table, const SqlRow& row);

private:
    sqlite3* connection_ = nullptr;
};

// Every CREATE statement of the real log (tables, indexes and triggers), in its order.
const std::vector<std::string>& loggerSchema();

// A row of ContestInstance.
SqlRow contestInstance(std::int64_t id, const std::string& name, const std::string& start, std::int64_t contestNr);
// A row of DXLOG: the QSO's time ("YYYY-MM-DD HH:MM:SS"), call and contest, the columns the logger
// cannot leave out (Run1Run2, and an ID of 32 hex digits made of `number`, unique as it must be),
// then `more`.
SqlRow qso(std::int64_t number, const std::string& time, const std::string& call, const std::string& contestName,
           std::int64_t contestNr, const SqlRow& more = {});

// Writes a new log at `path`: the logger's schema and these rows of its tables, in WAL mode as the
// logger keeps its log, closed as the logger leaves it (no -wal or -shm beside it).
void writeLoggerLog(const std::string& path, const std::vector<std::pair<std::string, std::vector<SqlRow>>>& tables);

// The result of `sql` on the file, each value as SQLite itself turns it into text; NULL is empty.
// The file is opened immutable, so it is left as it is.
std::vector<std::vector<std::optional<std::string>>> sqliteRows(const std::string& path, const std::string& sql);

// What reading a database must not change: its bytes, and which of the files SQLite may keep
// beside it exist.
struct FileState {
    std::string bytes;
    std::vector<std::string> companions;  // the names of those that exist, of -wal, -shm and -journal

    static FileState of(const std::string& path);
    bool operator==(const FileState&) const = default;
};
std::ostream& operator<<(std::ostream& out, const FileState& state);

// The connection string the import builds for the logger's database, whatever kind of file it is.
inline std::string loggerConnection(const std::string& path) {
    return data_access::accessDatabaseConnectionString(path);
}

// A copy of the real log in `folder`, its -wal and -shm left behind, as a test's own file.
std::string copyRealLog(const std::filesystem::path& folder, const std::string& name = "ham_test.s3db");

}  // namespace kv::testing
