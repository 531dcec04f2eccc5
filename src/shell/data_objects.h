#pragma once
// What the window's operations keep open between the user's steps: the History database, the
// mapping workbook, and the source chosen for an import. The program owns one of these for its
// whole life and hands it to every operation beside the Ui. Each operation of the domain makes
// its own cursors, so that nothing one operation sets on a table is seen by another.

#include "history_db/history_store.h"
#include "import/logger_log.h"
#include "mapping/mapping_workbook.h"

#include <optional>

namespace kv::shell {

struct DataObjects {
    // The History database while the window is in Database open, and the workbook read with it.
    std::optional<history_db::HistoryStore> history;
    std::optional<mapping::MappingWorkbook> mapping;

    // The logger's database chosen as the import's source. A call-history file is known by its
    // path in the application state and read by each run.
    std::optional<import::LoggerLog> loggerLog;
};

}  // namespace kv::shell
