#include "data_access/sqlite_file.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "jet/platform_file.h"

namespace kv::data_access {
namespace {

// Long enough for a writer's commit to end, short enough not to leave the user waiting on a
// writer that keeps its lock.
constexpr int kBusyTimeoutMilliseconds = 2000;

// Bytes 18 and 19 of the header, the versions a reader and a writer need, are 2 in WAL mode.
bool inWalMode(const std::string& path) {
    char header[20] = {};
    std::ifstream(path, std::ios::binary).read(header, sizeof header);
    return header[18] == 2;
}

// A URI, so that the open can take parameters; every byte of the path but the plain ones escaped.
// A Windows path (C:\...) is written with forward slashes, after a slash of its own (file:///C:/...).
std::string fileUri(const std::string& path, bool immutable) {
    const std::u8string generic = std::filesystem::absolute(jet::platform_file::toPath(path)).generic_u8string();
    std::string absolute(generic.begin(), generic.end());
    if (!absolute.starts_with('/')) absolute.insert(0, "/");
    std::string uri = "file://";
    for (unsigned char c : absolute) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos;
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", c);
        uri += plain ? std::string(1, static_cast<char>(c)) : std::string(escaped);
    }
    return uri + (immutable ? "?mode=ro&immutable=1" : "?mode=ro");
}

struct Diagnosis {
    const char* what;
    const char* advice;
};

Diagnosis diagnose(int code) {
    switch (code) {
    case SQLITE_READONLY_ROLLBACK:
    case SQLITE_READONLY_RECOVERY:
    case SQLITE_READONLY_CANTINIT:
        return {" holds a change that its writer did not finish",
                "; open it once in the program that writes it, which completes or undoes the change, then try again"};
    case SQLITE_IOERR_SHORT_READ: return {" is damaged or truncated", ""};
    }
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return {" is locked by another program that is writing to it", "; try again when it is done"};
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return {" is damaged or truncated", ""};
    default: return {" cannot be read as a SQLite database", ""};
    }
}

}  // namespace

void SqliteFile::Closer::operator()(sqlite3* connection) const { sqlite3_close(connection); }

SqliteFile::SqliteFile(const std::string& path) : path_(path) {
    const bool immutable = inWalMode(path) && !std::filesystem::exists(path + "-wal");
    sqlite3* opened = nullptr;
    // One thread uses a connection, so SQLite need not lock its mutex for every value read.
    const int result = sqlite3_open_v2(fileUri(path, immutable).c_str(), &opened,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    connection_.reset(opened);
    if (result != SQLITE_OK) fail(result);
    sqlite3_extended_result_codes(opened, 1);
    sqlite3_busy_timeout(opened, kBusyTimeoutMilliseconds);
    sqlite3_db_config(opened, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

void SqliteFile::fail(int code) const {
    const Diagnosis diagnosis = diagnose(code);
    const std::string said = connection_ ? sqlite3_errmsg(connection_.get()) : sqlite3_errstr(code);
    throw std::runtime_error(path_ + diagnosis.what + " (SQLite: " + said + ")" + diagnosis.advice);
}

SqliteQuery::SqliteQuery(SqliteFile& file, const std::string& sql) : file_(file) {
    const int result = sqlite3_prepare_v2(file.connection_.get(), sql.c_str(), -1, &statement_, nullptr);
    if (result != SQLITE_OK) file.fail(result);
}

SqliteQuery::~SqliteQuery() { sqlite3_finalize(statement_); }

bool SqliteQuery::step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result != SQLITE_DONE) file_.fail(result);
    return false;
}

}  // namespace kv::data_access
