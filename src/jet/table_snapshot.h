#pragma once
// Whether a table's pages in a file are still those of an earlier read of it: its definition, its
// usage map rows and the pages they mark (data, index and map pages). Another program that
// committed to the table since has changed at least one of them.

#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

// `def` is the table as read from `before`.
bool sameTablePages(const PageFile& before, const PageFile& now, const TableDef& def);

}  // namespace kv::jet
