#pragma once
// The four system tables of an empty Jet 4 database, and the rows Jet gives them: the catalog's
// containers, MSysDb and one row per table, and the default permissions in MSysACEs.

#include <cstdint>
#include <vector>

#include "jet/table_def_builder.h"
#include "jet/table_writer.h"

namespace kv::jet::system_tables {

// MSysObjects, MSysACEs, MSysQueries, MSysRelationships, in this order (MSysObjects must be at page 2).
std::vector<TableDesign> designs();

struct CatalogEntry {
    std::string name;
    std::uint32_t definitionPage = 0;
    std::vector<std::uint8_t> properties;  // LvProp; empty for none
    bool system = false;
};

// The MSysObjects rows that describe these tables (system tables first, as `designs()` orders them).
std::vector<TableRow> catalogRows(const std::vector<CatalogEntry>& tables, DateTime created);

// The MSysACEs rows of an empty database, for the system tables at pages 2 to 5.
std::vector<TableRow> permissionRows();

}  // namespace kv::jet::system_tables
