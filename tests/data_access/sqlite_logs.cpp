#include "sqlite_logs.h"

#include <sqlite3.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace kv::testing {
namespace fs = std::filesystem;

namespace {

void check(sqlite3* connection, int result, const std::string& doing) {
    if (result != SQLITE_OK && result != SQLITE_DONE && result != SQLITE_ROW)
        throw std::runtime_error(doing + ": " + (connection ? sqlite3_errmsg(connection) : sqlite3_errstr(result)));
}

class Statement {
public:
    Statement(sqlite3* connection, const std::string& sql) : connection_(connection) {
        check(connection, sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement_, nullptr), sql);
    }
    ~Statement() { sqlite3_finalize(statement_); }

    bool step() {
        const int result = sqlite3_step(statement_);
        check(connection_, result, sqlite3_sql(statement_));
        return result == SQLITE_ROW;
    }
    sqlite3_stmt* handle() const { return statement_; }

private:
    sqlite3* connection_;
    sqlite3_stmt* statement_ = nullptr;
};

void bind(sqlite3_stmt* statement, int position, const SqlValue& value) {
    if (auto* integer = std::get_if<std::int64_t>(&value))
        sqlite3_bind_int64(statement, position, *integer);
    else if (auto* real = std::get_if<double>(&value))
        sqlite3_bind_double(statement, position, *real);
    else if (auto* text = std::get_if<std::string>(&value))
        sqlite3_bind_text(statement, position, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(statement, position);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

SqliteWriter::SqliteWriter(const std::string& path) {
    const int result = sqlite3_open(path.c_str(), &connection_);
    if (result != SQLITE_OK) {
        sqlite3_close(connection_);
        throw std::runtime_error("cannot open " + path + ": " + sqlite3_errstr(result));
    }
}

SqliteWriter::~SqliteWriter() { sqlite3_close(connection_); }

void SqliteWriter::execute(const std::string& sql) {
    char* message = nullptr;
    const int result = sqlite3_exec(connection_, sql.c_str(), nullptr, nullptr, &message);
    const std::string said = message ? message : "";
    sqlite3_free(message);
    if (result != SQLITE_OK) throw std::runtime_error(sql + ": " + said);
}

void SqliteWriter::insert(const std::string& table, const SqlRow& row) {
    std::string columns, places;
    for (const auto& [column, value] : row) {
        columns += (columns.empty() ? "\"" : ", \"") + column + "\"";
        places += places.empty() ? "?" : ", ?";
    }
    Statement statement(connection_, "INSERT INTO \"" + table + "\" (" + columns + ") VALUES (" + places + ")");
    for (std::size_t i = 0; i < row.size(); ++i) bind(statement.handle(), static_cast<int>(i + 1), row[i].second);
    statement.step();
}

const std::vector<std::string>& loggerSchema() {
    static const std::vector<std::string> schema = [] {
        const fs::path folder = fs::temp_directory_path() / ("kv_logger_schema_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        std::vector<std::string> statements;
        // SQLite makes its own sqlite_ objects: the automatic indexes and the statistics tables.
        for (const auto& row : sqliteRows(copyRealLog(folder),
                                          "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE "
                                          "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"))
            statements.push_back(*row.at(0));
        fs::remove_all(folder);
        return statements;
    }();
    return schema;
}

SqlRow contestInstance(std::int64_t id, const std::string& name, const std::string& start, std::int64_t contestNr) {
    return {{"ContestID", id}, {"ContestName", name}, {"StartDate", start}, {"ContestNR", contestNr}};
}

SqlRow qso(std::int64_t number, const std::string& time, const std::string& call, const std::string& contestName,
           std::int64_t contestNr, const SqlRow& more) {
    char id[33];
    std::snprintf(id, sizeof id, "%032llx", static_cast<unsigned long long>(number));
    SqlRow row{{"TS", time},
               {"Call", call},
               {"ContestName", contestName},
               {"ContestNR", contestNr},
               {"Run1Run2", std::int64_t{0}},
               {"ID", std::string(id)}};
    row.insert(row.end(), more.begin(), more.end());
    return row;
}

void writeLoggerLog(const std::string& path, const std::vector<std::pair<std::string, std::vector<SqlRow>>>& tables) {
    SqliteWriter log(path);
    log.execute("PRAGMA journal_mode = WAL; BEGIN");
    for (const std::string& statement : loggerSchema()) log.execute(statement);
    for (const auto& [table, rows] : tables)
        for (const SqlRow& row : rows) log.insert(table, row);
    log.execute("COMMIT");
}

std::vector<std::vector<std::optional<std::string>>> sqliteRows(const std::string& path, const std::string& sql) {
    sqlite3* connection = nullptr;
    const std::string uri = "file:" + fs::absolute(path).string() + "?immutable=1";
    const int opened = sqlite3_open_v2(uri.c_str(), &connection, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closing(connection, sqlite3_close);
    check(connection, opened, "open " + uri);
    Statement statement(connection, sql);
    std::vector<std::vector<std::optional<std::string>>> rows;
    while (statement.step()) {
        auto& row = rows.emplace_back();
        for (int c = 0; c < sqlite3_column_count(statement.handle()); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.handle(), c));
            row.push_back(text ? std::optional<std::string>(text) : std::nullopt);
        }
    }
    return rows;
}

FileState FileState::of(const std::string& path) {
    FileState state{fileBytes(path), {}};
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        if (fs::exists(path + suffix)) state.companions.push_back(fs::path(path + suffix).filename().string());
    return state;
}

std::ostream& operator<<(std::ostream& out, const FileState& state) {
    out << state.bytes.size() << " bytes, hash " << std::hash<std::string>()(state.bytes) << ", beside it:";
    for (const std::string& companion : state.companions) out << ' ' << companion;
    return out;
}

std::string copyRealLog(const fs::path& folder, const std::string& name) {
    const fs::path copy = folder / name;
    fs::copy_file(kRealLog, copy);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
    return copy.string();
}

}  // namespace kv::testing
