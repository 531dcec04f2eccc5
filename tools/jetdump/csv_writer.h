#pragma once
// RFC 4180 CSV: fields quoted when they hold a comma, a quote or a line break; CRLF between records.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kv::tools {

void writeCsvRecord(std::ostream& out, const std::vector<std::optional<std::string>>& fields);

}  // namespace kv::tools
