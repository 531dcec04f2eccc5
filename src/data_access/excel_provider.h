#pragma once
// Excel 8.0 workbooks, read by workbook/workbook_reader.h. Each sheet is a table named "Sheet$"
// (callers may write "[Sheet$]"); its first row names the columns (an empty header cell is named
// "F" and the column's number, as Jet names it), rows after the last that holds a value are left
// out, and every cell reads as the text a user sees in it. Read-only.

#include <memory>
#include <string>

#include "data_access/provider.h"

namespace kv::data_access {

// Throws, naming the file, when it cannot be read as a workbook: "Workbook X is damaged or not an
// Excel 8.0 workbook (where)", or "Workbook X is password protected and cannot be read".
std::unique_ptr<Provider> openExcelProvider(const std::string& path);

}  // namespace kv::data_access
