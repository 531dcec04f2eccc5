#pragma once
// Whether a source has a table of a given name, told by its table listing.

#include "data_access/connection.h"

#include <string>

namespace kv::history_db {

// Looks for `name` among the connection's tables (system tables too), ignoring letter case.
// Opening the connection may throw: a missing file, or one that is not of the connection's kind.
bool hasTable(data_access::Connection& connection, const std::string& name);

}  // namespace kv::history_db
