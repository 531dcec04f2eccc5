#pragma once
// The LVAL pages that hold only a table's own memo and OLE values, found through the values' headers
// in its rows. A rebuild may reuse exactly these; a page that also holds another table's values is
// left alone.

#include <cstdint>
#include <vector>

#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

std::vector<std::uint32_t> exclusiveLongValuePages(const PageFile& file, const TableDef& def);

}  // namespace kv::jet
