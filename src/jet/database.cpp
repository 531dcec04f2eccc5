#include "jet/database.h"

#include <algorithm>

#include "jet/text_fold.h"

namespace kv::jet {

Database::Database(const std::string& path) : Database(PageFile(path)) {}

Database::Database(PageFile file)
    : file_(std::move(file)), header_(readHeader(file_)), tables_(readCatalogTables(file_)) {}

const CatalogTable& Database::table(const std::string& name) const {
    auto found = std::find_if(tables_.begin(), tables_.end(),
                              [&](const CatalogTable& t) { return equalIgnoringCase(t.name, name); });
    if (found == tables_.end()) throw FormatError(file_.path() + " has no table " + name);
    return *found;
}

TableDef Database::tableDef(const CatalogTable& table) const {
    return readTableDef(file_, table.definitionPage, table.name);
}

RowPlaces Database::rowPlaces(const TableDef& def) const { return readRowPlaces(file_, def); }

TableRows Database::rows(const TableDef& def) const { return readTableRows(file_, def); }

}  // namespace kv::jet
