#include "history_db/view_history.h"

#include "history_db/history_rows.h"
#include "shell/history_table.h"

namespace kv::history_db {

std::string HistoryViewCaption(long long count) {
    return "History database, number of calls in database: " + std::to_string(count);
}

void ViewThDBClick(ui::Ui& ui, shell::DataObjects& data) {
    data_access::Cursor& history = shell::openHistoryTable(data);

    HistoryRows rows(ui, history);
    ui.showHistoryView(HistoryViewCaption(history.recordCount()), rows);
    history.close();
}

}  // namespace kv::history_db
