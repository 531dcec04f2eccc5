#include "shell/view_history.h"

#include "history_db/history_stats.h"
#include "shell/history_database.h"
#include "shell/history_rows.h"

namespace kv::shell {

std::string HistoryViewCaption(long long count) {
    return "History database, number of calls in database: " + std::to_string(count);
}

void ViewThDBClick(ui::Ui& ui, DataObjects& data) {
    data_access::Cursor history = historyStore(ui, data).openHistory();
    HistoryRows rows(ui, history);
    ui.showHistoryView(HistoryViewCaption(history.recordCount()) +
                           history_db::updatedRangeText(history_db::updatedSpan(historyStore(ui, data))),
                       rows);
}

}  // namespace kv::shell
