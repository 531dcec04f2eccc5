#pragma once
// A read-only connection to a SQLite database that the program which writes it (the logger) may
// have open meanwhile. Reading neither changes the file nor leaves a file beside it that was not
// there. Keep a connection only while reading: open in WAL mode, it keeps a shared lock.
// - A database in WAL mode without a -wal file holds every commit in the file itself. It is read
//   as immutable, because a plain read-only open would create the -wal and -shm and leave them.
//   A writer that opens it meanwhile writes into a -wal of its own until it checkpoints, which
//   only a large log or its closing brings about.
// - Any other database is read with SQLite's locks, so that a query sees whole commits only, the
//   ones still in the -wal too; a lock held by a writer is waited for a short while. Closing
//   skips the checkpoint that SQLite's last connection tries, which would lock the whole file
//   exclusively for that moment (and fail, the file being open read-only).
// - A hot journal, left by a writer that stopped in the middle of a commit, is refused instead of
//   rolled back.
// Every error is a std::runtime_error whose message names the file and says what is wrong.

#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace kv::data_access {

class SqliteFile {
public:
    explicit SqliteFile(const std::string& path);

    const std::string& path() const { return path_; }

private:
    friend class SqliteQuery;
    struct Closer {
        void operator()(sqlite3* connection) const;
    };

    // The error SQLite reported as `code`, in words that tell the user what is wrong.
    [[noreturn]] void fail(int code) const;

    std::string path_;
    std::unique_ptr<sqlite3, Closer> connection_;
};

// One statement on a SqliteFile, which must outlive it; a query is a read transaction of its own.
class SqliteQuery {
public:
    SqliteQuery(SqliteFile& file, const std::string& sql);
    ~SqliteQuery();
    SqliteQuery(const SqliteQuery&) = delete;
    SqliteQuery& operator=(const SqliteQuery&) = delete;

    // Moves to the next row of the result; false after the last one.
    bool step();
    // For reading the result's columns with SQLite's sqlite3_column_* functions.
    sqlite3_stmt* statement() const { return statement_; }

private:
    SqliteFile& file_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace kv::data_access
