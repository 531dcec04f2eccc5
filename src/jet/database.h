#pragma once
// An opened Jet 4 database: its header, its catalog and access to each table.

#include <memory>
#include <string>
#include <vector>

#include "jet/catalog.h"
#include "jet/header.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/table_reader.h"

namespace kv::jet {

class Database {
public:
    // Throws FormatError naming what the file is when it is not a readable Jet 4 database.
    explicit Database(const std::string& path);
    // A database whose pages are already in memory.
    explicit Database(PageFile file);

    const PageFile& file() const { return file_; }
    const Header& header() const { return header_; }
    const std::vector<CatalogTable>& tables() const { return tables_; }

    // The table of that name, regardless of letter case; throws when there is none.
    const CatalogTable& table(const std::string& name) const;
    TableDef tableDef(const CatalogTable& table) const;
    RowPlaces rowPlaces(const TableDef& def) const;
    TableRows rows(const TableDef& def) const;

private:
    PageFile file_;
    Header header_;
    std::vector<CatalogTable> tables_;
};

}  // namespace kv::jet
