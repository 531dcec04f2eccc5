#include "data_access/source_connection_strings.h"

#include "data_access/connection_string.h"

namespace kv::data_access {
namespace {

std::string jetDataSource(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source =" + quoteConnectionValue(path);
}

}  // namespace

std::string accessDatabaseConnectionString(const std::string& path) {
    return jetDataSource(path) + ";Persist Security Info=False";
}

std::string excelWorkbookConnectionString(const std::string& path) {
    return jetDataSource(path) + ";Extended Properties=Excel 8.0;";
}

std::string textFolderConnectionString(const std::string& folder) {
    return jetDataSource(folder) +
           ";Extended Properties=\"Text; HDR=yes; Format=Delimited\";Persist Security Info=False";
}

}  // namespace kv::data_access
