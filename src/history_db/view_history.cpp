#include "history_db/view_history.h"

#include "history_db/history_rows.h"

namespace kv::history_db {

std::string HistoryViewCaption(long long count) {
    return "History database, number of calls in database: " + std::to_string(count);
}

void ViewThDBClick(ui::Ui& ui, shell::DataObjects& data) {
    data_access::Cursor& history = data.ADODataSet_ThDB;
    // Other operations leave their settings on this cursor (an import its index); the grid's rows
    // are the plain table's.
    history.close();
    history.setTableName("History");
    history.setDirectTable(false);
    history.setIndexName("");
    history.setFiltered(false);
    history.setSort("");
    history.open();

    HistoryRows rows(ui, history);
    ui.showHistoryView(HistoryViewCaption(history.recordCount()), rows);
    history.close();
}

} // namespace kv::history_db
