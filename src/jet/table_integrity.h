#pragma once
// The checks that a table's pages add up, made as the table is read in full, so that a damaged
// table is reported instead of read as what is left of it: every page its usage map names is one
// of its data pages, every row fits its page, and the rows found agree with the count in its
// definition and with every index that holds an entry for each row. Each failure throws a
// DamagedTableError that names the file, the table and where.

#include <cstdint>
#include <string>

#include "jet/page_file.h"
#include "jet/table_def.h"

namespace kv::jet {

// Page `number`, checked to be a data page of the table; `namedBy` says what led to it ("lists
// page 57 among its data pages"), the error says what the page is instead.
ByteView requireDataPageOfTable(const PageFile& file, const TableDef& def, std::uint32_t number,
                                const std::string& namedBy);

// The page's row count and every row's offsets, checked to fit the page. Deleted rows are passed by.
void requireRowsFitPage(const PageFile& file, const TableDef& def, std::uint32_t number, const ByteView& dataPage);

// The rows found on the table's pages against its definition's count and the entry count of each
// index that leaves no row out (its leaves counted, no key read).
void requireRowsAddUp(const PageFile& file, const TableDef& def, std::size_t rowsFound);

// A FormatError met while reading the table, thrown again as a DamagedTableError naming it.
[[noreturn]] void throwAsDamaged(const PageFile& file, const TableDef& def, const FormatError& error);

}  // namespace kv::jet
