#pragma once
// Comma-delimited records. A field in double quotes may hold commas, line ends and doubled quotes
// (standing for one); blanks around an unquoted field are dropped and an empty unquoted field is
// NULL. Lines may end in CR LF, LF or CR, the last line end may be missing, and blank lines are
// no records.

#include <string>
#include <string_view>
#include <vector>

#include "data_access/provider.h"

namespace kv::data_access {

// Throws, naming `fileName` and the line, when a quoted field is not closed.
std::vector<Row> readCommaDelimited(std::string_view text, const std::string& fileName);

} // namespace kv::data_access
