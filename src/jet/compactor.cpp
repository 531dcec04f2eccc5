#include "jet/compactor.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "jet/committed_read.h"
#include "jet/database.h"
#include "jet/database_builder.h"
#include "jet/format.h"
#include "jet/writable_database.h"

namespace kv::jet {
namespace {

TableDesign designOf(const TableDef& def, Binary properties) {
    TableDesign design;
    design.name = def.name;
    design.properties = std::move(properties);
    for (const auto& column : def.columns) {
        ColumnDesign c;
        c.name = column.name;
        c.type = column.type;
        c.length = column.length;
        // The builder sets the system flag again for system tables.
        c.flags = static_cast<std::uint8_t>(column.flags & ~format::tdef::column::kFlagSystem);
        c.extraFlags = column.extraFlags;
        c.sortOrder = column.sortOrder;
        c.precision = column.precision;
        c.scale = column.scale;
        design.columns.push_back(std::move(c));
    }
    for (const auto& logical : def.logicalIndexes) {
        // A foreign key's index belongs to a relationship, and relationships are not carried over.
        if (logical.type == format::tdef::logical_index::kTypeForeignKey) continue;
        const RealIndex& real = def.realIndexes.at(logical.realIndex);
        IndexDesign index;
        index.name = logical.name;
        for (const auto& key : real.columns)
            index.columns.push_back({def.columns[def.columnPosition(key.columnNumber)].name, !key.ascending});
        index.unique = real.isUnique();
        index.ignoreNulls = real.ignoresNulls();
        index.required = real.flags & format::tdef::real_index::kFlagRequired;
        index.primaryKey = logical.isPrimaryKey();
        design.indexes.push_back(std::move(index));
    }
    return design;
}

std::vector<TableContent> readTables(const Database& database) {
    std::map<std::uint32_t, Binary> properties = readTableProperties(database.file());
    std::vector<TableContent> tables;
    for (const auto& entry : database.tables()) {
        if (entry.system) continue;
        TableDef def = database.tableDef(entry);
        TableContent table{designOf(def, properties[entry.definitionPage]), {}};
        table.rows = database.rows(def).rows;
        tables.push_back(std::move(table));
    }
    return tables;
}

}  // namespace

void compact(const std::string& sourcePath, const std::string& targetPath) {
    if (!std::filesystem::exists(sourcePath)) throw std::runtime_error(sourcePath + " not found");
    try {
        createDatabase(targetPath, readTables(Database(readCommittedFile(sourcePath))), true);
    } catch (const std::exception& error) {
        throw std::runtime_error("Cannot compact " + sourcePath + " into " + targetPath + ": " + error.what());
    }
}

void compactInPlace(const std::string& path) {
    try {
        WritableDatabase writable(path);
        writable.replaceWhole(buildDatabase(readTables(Database(writable.read()))));
    } catch (const std::exception& error) {
        throw std::runtime_error("Cannot compact " + path + ": " + error.what());
    }
}

}  // namespace kv::jet
