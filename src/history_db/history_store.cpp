#include "history_db/history_store.h"

#include "data_access/command.h"
#include "data_access/source_connection_strings.h"
#include "history_db/copy_whole_file.h"
#include "history_db/table_listing.h"

#include <filesystem>

namespace kv::history_db {
namespace {

constexpr const char* kHistoryTable = "History";

}  // namespace

std::string replaceQuestion(const std::string& path) { return path + " already exists.\nDo you want to replace it?"; }

HistoryStore::HistoryStore(std::string path)
    : path_(std::move(path)), connection_(std::make_unique<data_access::Connection>()) {
    connection_->setConnectionString(data_access::accessDatabaseConnectionString(path_));
    if (!hasTable(*connection_, "version")) throw NotAHistoryDatabase();
}

HistoryStore::~HistoryStore() {
    if (!connection_) return;
    try {
        connection_->close();
    } catch (...) {
        // Every operation commits its own work; nothing can be pending here that a caller was told
        // is saved.
    }
}

HistoryStore::HistoryStore(HistoryStore&&) noexcept = default;
HistoryStore& HistoryStore::operator=(HistoryStore&&) noexcept = default;

data_access::Cursor HistoryStore::openHistory() {
    data_access::Cursor history("ADODataSet_ThDB");
    history.setConnection(connection_.get());
    history.setTableName(kHistoryTable);
    history.open();
    return history;
}

long long HistoryStore::count() { return openHistory().recordCount(); }

void HistoryStore::empty() {
    data_access::Command command;
    command.setConnection(connection_.get());
    command.setCommandText("DELETE from History");
    command.execute();
}

void HistoryStore::close() { connection_->close(); }

HistoryStore createHistoryDatabase(const std::string& templatePath, const std::string& path) {
    namespace fs = std::filesystem;
    if (!fs::exists(templatePath)) throw TemplateMissing();
    const bool created = !fs::exists(path);
    CopyWholeFile(templatePath, path);
    try {
        return HistoryStore(path);
    } catch (...) {
        std::error_code ignored;
        if (created) fs::remove(path, ignored);
        throw;
    }
}

}  // namespace kv::history_db
