#include "import/logger_log.h"

#include "data_access/filter_expression.h"
#include "data_access/source_connection_strings.h"
#include "history_db/table_listing.h"

namespace kv::import {

LoggerLog::LoggerLog(std::string path)
    : path_(std::move(path)), connection_(std::make_unique<data_access::Connection>()) {
    connection_->setConnectionString(data_access::accessDatabaseConnectionString(path_));
    if (!history_db::hasTable(*connection_, "DXLOG")) throw NotALoggerDatabase();
}

LoggerLog::~LoggerLog() = default;
LoggerLog::LoggerLog(LoggerLog&&) noexcept = default;
LoggerLog& LoggerLog::operator=(LoggerLog&&) noexcept = default;

std::vector<ContestInstance> LoggerLog::contests() {
    data_access::Cursor instances("ADODataSet_HamDb");
    instances.setConnection(connection_.get());
    instances.setTableName("ContestInstance");
    instances.open();
    instances.setSort("ContestName ASC");

    std::vector<ContestInstance> contests;
    for (instances.first(); !instances.atEnd(); instances.next())
        contests.push_back({instances.text("Contestnr"), instances.text("ContestName"), instances.text("StartDate")});
    return contests;
}

std::vector<ContestInstance> LoggerLog::historyContests(mapping::MappingWorkbook& workbook) {
    std::vector<ContestInstance> listed;
    for (ContestInstance& instance : contests())
        if (workbook.isLoggerContestListed(instance.name)) listed.push_back(std::move(instance));
    return listed;
}

data_access::Cursor LoggerLog::openQsos(const std::string& contestNr) {
    data_access::Cursor qsos("ADODataSet_HamDb");
    qsos.setConnection(connection_.get());
    qsos.setTableName("DXLOG");
    qsos.open();
    qsos.setFilter("ContestNR = " + data_access::quoteFilterText(contestNr));
    qsos.setFiltered(true);
    qsos.first();
    return qsos;
}

void LoggerLog::close() { connection_->close(); }

}  // namespace kv::import
