#include "import/history_file_copy.h"

#include "history_db/copy_whole_file.h"

#include <stdexcept>
#include <system_error>

namespace kv::import {
namespace {

namespace fs = std::filesystem;

// Copying a device such as /dev/zero would never end, and a pipe or a folder is no file to read.
void requireRegularFile(const std::string& chosen) {
    std::error_code error;
    const fs::file_status status = fs::status(chosen, error);
    if (fs::is_regular_file(status)) return;
    if (!fs::exists(status)) throw std::runtime_error("Cannot open file " + chosen);
    const char* kind = fs::is_directory(status)                                     ? "a folder"
                       : fs::is_fifo(status)                                        ? "a pipe"
                       : fs::is_character_file(status) || fs::is_block_file(status) ? "a device"
                                                                                    : "not a regular file";
    throw std::runtime_error(chosen + " is " + kind + "; choose a call-history text file");
}

fs::path copyPath(const shell::DataObjects& data) { return data.historyFileFolder->path() / kHistoryFileCopy; }

// A failure on the copy's side (no temporary folder, or a full one) told about the user's file.
[[noreturn]] void throwCopyFailure(const std::string& chosen, const std::string& message) {
    if (message.find(chosen) != std::string::npos) throw std::runtime_error(message);
    throw std::runtime_error("Cannot copy " + chosen + ": " + message);
}

}  // namespace

fs::path MakeHistoryFileCopy(shell::DataObjects& data, const std::string& chosen) {
    requireRegularFile(chosen);
    RemoveHistoryFileCopy(data);
    try {
        data.historyFileFolder.emplace("kestrovane-");
        history_db::CopyWholeFile(chosen, copyPath(data).string());
    } catch (const std::exception& error) {
        RemoveHistoryFileCopy(data);
        throwCopyFailure(chosen, error.what());
    }
    return data.historyFileFolder->path();
}

void RemoveHistoryFileCopy(shell::DataObjects& data) {
    data.ADODataSet_Hist.close();
    data.ADOConnection_hist.close();  // the text driver never has posts to commit
    data.historyFileFolder.reset();
}

void ReadHistoryFileCopy(const shell::DataObjects& data, const std::string& chosen, const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& error) {
        if (!data.historyFileFolder) throw;
        const std::string copy = copyPath(data).string();
        std::string message = error.what();
        for (std::size_t at = message.find(copy); at != std::string::npos; at = message.find(copy, at + chosen.size()))
            message.replace(at, copy.size(), chosen);
        throw std::runtime_error(message);
    }
}

}  // namespace kv::import
