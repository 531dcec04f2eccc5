#pragma once
// Every row of a table, copied out, for tests that compare whole tables.

#include <vector>

#include "data_access/provider.h"

namespace kv::data_access::testing {

inline std::vector<Row> allRows(const RowSource& source) {
    std::vector<Row> rows(source.rowCount());
    for (std::size_t i = 0; i < rows.size(); ++i) source.readRow(i, rows[i]);
    return rows;
}

}  // namespace kv::data_access::testing
