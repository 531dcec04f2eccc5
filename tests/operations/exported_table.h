#pragma once
// A table as mdb-export, a reader independent of ours, prints it: the tests check with it that
// what the program wrote is what Access would read.

#include <string>
#include <vector>

namespace kv::testing {

// The header line's column names, then one line per row, each split into its cells (NULL and the
// empty text both as empty).
std::vector<std::vector<std::string>> exportedTable(const std::string& databasePath, const std::string& table);

// The cells of one column of `table` in every row, as mdb-export prints them.
std::vector<std::string> exportedColumn(const std::string& databasePath, const std::string& table,
                                        const std::string& column);

}  // namespace kv::testing
