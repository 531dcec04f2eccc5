#pragma once
// Whether a source has a table of a given name, told by its table listing.

#include "data_access/connection.h"
#include "shell/data_objects.h"

#include <string>

namespace kv::history_db {

// Lists the connection's tables (system tables too) into `ADODataSet_tables`, which stays open
// on the listing, and looks for `name` there, ignoring letter case.
bool TableExists(shell::DataObjects& data, data_access::Connection& connection, const std::string& name);

}  // namespace kv::history_db
