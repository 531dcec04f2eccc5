#include "history_db/table_listing.h"

#include "data_access/cursor.h"

namespace kv::history_db {

bool hasTable(data_access::Connection& connection, const std::string& name) {
    data_access::Cursor tables("ADODataSet_tables");
    connection.listTables(tables);
    return tables.locate("TABLE_NAME", {name});
}

}  // namespace kv::history_db
