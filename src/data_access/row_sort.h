#pragma once
// Sorting a cursor's rows by a sort text such as "ContestName ASC" or "Call, Updated DESC"
// (ascending unless DESC is given). A column whose every non-empty cell is a number sorts by
// value, one whose every non-empty cell is a date (data_access/date_text.h) by time, any other
// column by its text without regard to letter case; NULL and empty cells come first. Rows that
// compare equal keep their order.

#include <cstddef>
#include <string_view>
#include <vector>

#include "data_access/filter_expression.h"
#include "data_access/provider.h"

namespace kv::data_access {

struct SortKey {
    std::size_t column = 0;
    bool descending = false;
};

// Throws on a word other than ASC or DESC after a column; columns are resolved by `resolveColumn`.
std::vector<SortKey> parseSortText(std::string_view text, const FilterExpression::ColumnResolver& resolveColumn);

// Sorts `positions` (positions of `rows`), reading each sort column's cell of a row once.
void sortRows(std::vector<std::size_t>& positions, const RowSource& rows, const std::vector<SortKey>& keys);

}  // namespace kv::data_access
