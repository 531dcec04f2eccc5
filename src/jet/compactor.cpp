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

std::size_t columnIndex(const TableDef& def, const char* name) {
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        if (def.columns[i].name == name) return i;
    throw FormatError("The catalog of the database has no column " + std::string(name) + "; the file is damaged");
}

// Each table's properties (MSysObjects LvProp), by definition page.
std::map<std::uint32_t, Binary> tableProperties(const Database& database) {
    TableDef catalog = database.tableDef(database.table(format::kCatalogName));
    std::size_t id = columnIndex(catalog, "Id"), type = columnIndex(catalog, "Type"),
                lvProp = columnIndex(catalog, "LvProp");
    std::map<std::uint32_t, Binary> properties;
    // Only the tables' properties are fetched from their long-value pages.
    forEachStoredRow(database.file(), catalog, [&](RowLocation, const StoredRow& row) {
        const auto value = [&](std::size_t column) { return row.value(database.file(), catalog.columns[column]); };
        const Value objectType = value(type);
        const auto* kind = std::get_if<std::int16_t>(&objectType);
        if (!kind || *kind != format::kCatalogTypeTable) return;
        const Value objectId = value(id);
        Value blob = value(lvProp);
        const auto* number = std::get_if<std::int32_t>(&objectId);
        if (auto* bytes = std::get_if<Binary>(&blob); number && bytes)
            properties[static_cast<std::uint32_t>(*number) & format::kObjectIdPageMask] = std::move(*bytes);
    });
    return properties;
}

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
    std::map<std::uint32_t, Binary> properties = tableProperties(database);
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
