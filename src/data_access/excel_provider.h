#pragma once
// Excel 8.0 workbooks, read with freexl. Each sheet is a table named "Sheet$" (callers may write
// "[Sheet$]"); its first row names the columns and every cell reads as the text a user sees in
// it. Read-only.

#include <memory>
#include <string>

#include "data_access/provider.h"

namespace kv::data_access {

// Throws, naming the file, when it cannot be read as a workbook.
std::unique_ptr<Provider> openExcelProvider(const std::string& path);

}  // namespace kv::data_access
