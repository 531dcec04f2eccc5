#pragma once
// The History database: a copy of the program's template, recognised by its table `version`,
// whose table `History` holds one row per call sign. A HistoryStore is one open database; the
// History table it has read stays loaded until the store is closed, so that the operations on an
// open database do not read it again each time.

#include "data_access/connection.h"
#include "data_access/cursor.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace kv::history_db {

// The empty History database in the program directory that a new one is copied from.
inline constexpr const char* kTemplateFileName = "kestrovane_mdb.template";

// What the program says once a History database is open.
inline constexpr const char* kOpenedStatus = "Kestrovane databases opened, importing or exporting history enabled";

// The questions asked before a database's calls are lost: New over an existing file, Empty.
std::string replaceQuestion(const std::string& path);
inline constexpr const char* kEmptyQuestion = "Deleting all records of the history/Kestrovane database. Are you sure ?";

// A file that opened as an Access database but has no table `version`.
class NotAHistoryDatabase : public std::runtime_error {
public:
    NotAHistoryDatabase() : std::runtime_error("Selected database file not a valid History/Kestrovane database") {}
};

// No template in the program directory to make a new database from.
class TemplateMissing : public std::runtime_error {
public:
    TemplateMissing()
        : std::runtime_error(
              "Cannot create new database, template file \"kestrovane_mdb.template\" not found in Kestrovane "
              "directory") {}
};

class HistoryStore {
public:
    // Opens the database at `path` and accepts it only when it has a table `version`. Throws
    // NotAHistoryDatabase, or the table access layer's error for a file that is missing, damaged
    // or no Access database.
    explicit HistoryStore(std::string path);
    // Commits what is pending and lets the file go.
    ~HistoryStore();
    HistoryStore(HistoryStore&&) noexcept;
    HistoryStore& operator=(HistoryStore&&) noexcept;

    const std::string& path() const { return path_; }
    data_access::Connection& connection() { return *connection_; }

    // A cursor of its own on the plain table History at its first row, in the table's order,
    // with no filter, sort or index: the caller sets what it needs, and no one else sees it.
    data_access::Cursor openHistory();
    long long count();
    // Deletes every row of History.
    void empty();

    // Commits what is pending and lets the file go, so that it may be copied or replaced; the
    // next use reads it again.
    void close();

private:
    std::string path_;
    std::unique_ptr<data_access::Connection> connection_;
};

// Copies the template at `templatePath` to `path`, replacing the file there, and opens the copy.
// Throws TemplateMissing when there is no template, the copy's error when it cannot be written
// (`path` then stays as it was), and the opening's error; a file that New made and could not open
// is removed again, so that no half-made database is left for the user to take for a good one.
HistoryStore createHistoryDatabase(const std::string& templatePath, const std::string& path);

}  // namespace kv::history_db
