#pragma once
// MSysObjects, the catalog: one row per object of the file. Tables are the rows of type 1; the low
// three bytes of their Id are the page of their table definition.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "jet/page_file.h"
#include "jet/value.h"

namespace kv::jet {

struct CatalogTable {
    std::string name;
    std::uint32_t definitionPage = 0;
    bool system = false;
};

// The tables in catalog order, system tables included.
std::vector<CatalogTable> readCatalogTables(const PageFile& file);
// Each table's properties (its LvProp), by definition page; tables without any are left out.
std::map<std::uint32_t, Binary> readTableProperties(const PageFile& file);

}  // namespace kv::jet
