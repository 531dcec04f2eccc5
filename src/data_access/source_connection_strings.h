#pragma once
// The connection strings the program opens its sources by, each built from a path. The path goes
// in quoted (quoteConnectionValue), so that whatever the file system allows in it (blanks, ";",
// "=", quotes, blanks at either end, any letters) it stays the one Data Source, and
// ConnectionString::parse gives it back exactly. Every place that names a file or folder in a
// connection string builds it here.

#include <string>

namespace kv::data_access {

// An Access database (the History database, the logger's database or its SQLite log):
//     Provider=Microsoft.Jet.OLEDB.4.0;Data Source ="<path>";Persist Security Info=False
// Further settings may follow after a ";" (+ ";Jet OLEDB:Engine Type=5").
std::string accessDatabaseConnectionString(const std::string& path);

// An Excel 8.0 workbook:
//     Provider=Microsoft.Jet.OLEDB.4.0;Data Source ="<path>";Extended Properties=Excel 8.0;
std::string excelWorkbookConnectionString(const std::string& path);

// A folder of comma-delimited text files with a header line, each file a table:
//     Provider=Microsoft.Jet.OLEDB.4.0;Data Source ="<folder>";
//     Extended Properties="Text; HDR=yes; Format=Delimited";Persist Security Info=False
std::string textFolderConnectionString(const std::string& folder);

}  // namespace kv::data_access
