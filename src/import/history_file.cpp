#include "import/history_file.h"

#include "data_access/source_connection_strings.h"
#include "history_db/copy_whole_file.h"
#include "import/regular_file.h"

#include <stdexcept>

namespace kv::import {
namespace {

namespace fs = std::filesystem;

// A failure on the copy's side (no temporary folder, or a full one) told about the user's file.
[[noreturn]] void throwCopyFailure(const std::string& chosen, const std::string& message) {
    if (message.find(chosen) != std::string::npos) throw std::runtime_error(message);
    throw std::runtime_error("Cannot copy " + chosen + ": " + message);
}

}  // namespace

HistoryFile::HistoryFile(std::string chosen)
    : chosen_(std::move(chosen)), connection_(std::make_unique<data_access::Connection>()) {
    makeCopy();
    try {
        openCopy();
    } catch (...) {
        letGoOfCopy();
        throw;
    }
}

HistoryFile::~HistoryFile() { letGoOfCopy(); }

std::optional<fs::path> HistoryFile::copyFolder() const {
    if (!folder_) return std::nullopt;
    return folder_->path();
}

data_access::Cursor HistoryFile::open() {
    if (!copyIsFresh_) makeCopy();
    copyIsFresh_ = false;
    return openCopy();
}

void HistoryFile::makeCopy() {
    requireRegularFile(chosen_);
    letGoOfCopy();
    try {
        folder_.emplace("kestrovane-");
        history_db::CopyWholeFile(chosen_, (folder_->path() / kHistoryFileCopy).string());
    } catch (const std::exception& error) {
        letGoOfCopy();
        throwCopyFailure(chosen_, error.what());
    }
    connection_->setConnectionString(data_access::textFolderConnectionString(folder_->path().string()));
    copyIsFresh_ = true;
}

data_access::Cursor HistoryFile::openCopy() {
    data_access::Cursor rows("ADODataSet_Hist");
    rows.setConnection(connection_.get());
    rows.setTableName(kHistoryFileCopy);
    try {
        rows.open();
    } catch (const std::exception& error) {
        const std::string copy = (folder_->path() / kHistoryFileCopy).string();
        std::string message = error.what();
        for (std::size_t at = message.find(copy); at != std::string::npos; at = message.find(copy, at + chosen_.size()))
            message.replace(at, copy.size(), chosen_);
        throw std::runtime_error(message);
    }
    return rows;
}

void HistoryFile::letGoOfCopy() {
    connection_->close();  // the text driver never has posts to commit
    folder_.reset();
    copyIsFresh_ = false;
}

bool HistoryFileContest::isStation(const data_access::Cursor& row) const {
    const std::string first = row.text("field1");
    if (first.starts_with('#') || first.starts_with("!!")) return false;
    if (!first.empty()) return true;
    for (const std::string& column : row.columnNames())
        if (!row.text(column).empty()) return true;
    return false;
}

}  // namespace kv::import
