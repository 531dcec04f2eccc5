#pragma once
// A call-history text file chosen as an import's source. It is read through a working copy,
// kestrovane_temp_history.txt in a private folder of this run, so that imports running at once
// never read each other's file and the program directory is never written. Every error about the
// copy names the user's file, never the copy.

#include "data_access/connection.h"
#include "data_access/private_folder.h"
#include "import/import_source.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kv::import {

// The copy's name in its folder: the table name the text driver reads it by.
inline constexpr const char* kHistoryFileCopy = "kestrovane_temp_history.txt";

class HistoryFile {
public:
    // Copies `chosen` and reads the copy once, so that a file the text driver cannot read fails
    // here. Throws, naming `chosen`, when it is no regular file (a device, a pipe, a folder), or
    // cannot be copied or read; no copy is left then.
    explicit HistoryFile(std::string chosen);
    ~HistoryFile();

    const std::string& path() const { return chosen_; }
    // The folder of the working copy; none once the copy is let go.
    std::optional<std::filesystem::path> copyFolder() const;

    // The file's rows at the first. The copy read when the file was chosen serves the first
    // opening; each later one copies the file again, so that it reads what the file holds now.
    data_access::Cursor open();
    // Removes the working copy with its folder; the next open() copies the file again.
    void letGoOfCopy();

private:
    void makeCopy();
    data_access::Cursor openCopy();

    std::string chosen_;
    std::optional<data_access::PrivateFolder> folder_;
    std::unique_ptr<data_access::Connection> connection_;
    bool copyIsFresh_ = false;
};

// A call-history file read as one contest type of the workbook.
class HistoryFileContest final : public ImportSource {
public:
    HistoryFileContest(HistoryFile& file, std::string contestType)
        : file_(file), contestType_(std::move(contestType)) {}

    mapping::ImportKind mappingKind() const override { return mapping::ImportKind::HistoryFile; }
    const std::string& mappingKey() const override { return contestType_; }
    data_access::Cursor open() override { return file_.open(); }
    // Comment lines ("# ..."), directive lines ("!!Order!!,...") and blank lines are no stations.
    bool isStation(const data_access::Cursor& row) const override;

private:
    HistoryFile& file_;
    std::string contestType_;
};

}  // namespace kv::import
