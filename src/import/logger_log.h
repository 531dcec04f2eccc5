#pragma once
// The logger's log, its Access database or its SQLite log: the contests it holds (ContestInstance)
// and their QSOs (DXLOG).

#include "data_access/connection.h"
#include "import/import_source.h"
#include "mapping/mapping_workbook.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv::import {

// A file that opened as a database but has no table DXLOG.
class NotALoggerDatabase : public std::runtime_error {
public:
    NotALoggerDatabase() : std::runtime_error("Selected database file not a valid N1MM Logger database") {}
};

// One contest as the log holds it; a contest worked twice has two instances.
struct ContestInstance {
    std::string number;  // Contestnr, which its QSOs carry as ContestNR
    std::string name;    // ContestName, as the workbook's Contest names it
    std::string start;   // StartDate, as the table access layer reads it

    bool operator==(const ContestInstance&) const = default;
};

class LoggerLog {
public:
    // Opens the log and accepts it only when it has a table DXLOG. Throws NotALoggerDatabase, or
    // the table access layer's error for a file that is missing, damaged or no database.
    explicit LoggerLog(std::string path);
    ~LoggerLog();
    LoggerLog(LoggerLog&&) noexcept;
    LoggerLog& operator=(LoggerLog&&) noexcept;

    const std::string& path() const { return path_; }

    // Every contest instance, ordered by name.
    std::vector<ContestInstance> contests();
    // The instances whose contest the workbook lists for call history, ordered by name.
    std::vector<ContestInstance> historyContests(mapping::MappingWorkbook& workbook);
    // The QSOs of the contest numbered `contestNr`, in the order the log keeps them, at the first.
    data_access::Cursor openQsos(const std::string& contestNr);
    // Lets go of the database until it is next used: its cursors count as closed.
    void close();

private:
    std::string path_;
    std::unique_ptr<data_access::Connection> connection_;
};

// One contest of a log, as an import's source.
class LoggerContest final : public ImportSource {
public:
    LoggerContest(LoggerLog& log, ContestInstance instance) : log_(log), instance_(std::move(instance)) {}

    mapping::ImportKind mappingKind() const override { return mapping::ImportKind::Logger; }
    const std::string& mappingKey() const override { return instance_.name; }
    data_access::Cursor open() override { return log_.openQsos(instance_.number); }
    void finishReading() override { log_.close(); }
    bool isStation(const data_access::Cursor&) const override { return true; }

private:
    LoggerLog& log_;
    ContestInstance instance_;
};

}  // namespace kv::import
