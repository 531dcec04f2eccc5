#include "shell/history_table.h"

namespace kv::shell {

data_access::Cursor& openHistoryTable(DataObjects& data) {
    data_access::Cursor& history = data.ADODataSet_ThDB;
    history.close();
    history.setTableName("History");
    history.setDirectTable(false);
    history.setIndexName("");
    history.setFiltered(false);
    history.setSort("");
    history.open();
    return history;
}

}  // namespace kv::shell
