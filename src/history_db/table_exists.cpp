#include "history_db/table_exists.h"

namespace kv::history_db {

bool TableExists(shell::DataObjects& data, data_access::Connection& connection, const std::string& name) {
    connection.listTables(data.ADODataSet_tables);
    return data.ADODataSet_tables.locate("TABLE_NAME", {name});
}

}  // namespace kv::history_db
