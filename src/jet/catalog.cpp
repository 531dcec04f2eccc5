#include "jet/catalog.h"

#include "jet/table_reader.h"

namespace kv::jet {
namespace {

std::size_t catalogColumn(const TableDef& def, const char* name) {
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        if (def.columns[i].name == name) return i;
    throw FormatError("The catalog (MSysObjects) has no column " + std::string(name) + "; the file is damaged");
}

template <typename T>
T get(const Value& value, T otherwise) {
    const T* held = std::get_if<T>(&value);
    return held ? *held : otherwise;
}

// Hands each table's row of the catalog to `visit`, with a reader of its columns by name; the other
// objects' rows are passed by, their values unread.
template <typename Visit>
void forEachTableRow(const PageFile& file, Visit visit) {
    const TableDef def = readTableDef(file, format::kCatalogPage, format::kCatalogName);
    const std::size_t typeColumn = catalogColumn(def, "Type");
    forEachStoredRow(file, def, [&](RowLocation, const StoredRow& row) {
        const auto value = [&](std::size_t column) { return row.value(file, def.columns[column]); };
        if (get<std::int16_t>(value(typeColumn), 0) != format::kCatalogTypeTable) return;
        visit([&](const char* name) { return value(catalogColumn(def, name)); });
    });
}

std::uint32_t definitionPage(const Value& id) {
    return static_cast<std::uint32_t>(get<std::int32_t>(id, 0)) & format::kObjectIdPageMask;
}

}  // namespace

std::vector<CatalogTable> readCatalogTables(const PageFile& file) {
    std::vector<CatalogTable> tables;
    forEachTableRow(file, [&](const auto& column) {
        auto flags = static_cast<std::uint32_t>(get<std::int32_t>(column("Flags"), 0));
        tables.push_back({get<std::string>(column("Name"), ""), definitionPage(column("Id")),
                          (flags & format::kSystemObjectFlags) != 0});
    });
    return tables;
}

std::map<std::uint32_t, Binary> readTableProperties(const PageFile& file) {
    std::map<std::uint32_t, Binary> properties;
    forEachTableRow(file, [&](const auto& column) {
        Value blob = column("LvProp");
        if (auto* bytes = std::get_if<Binary>(&blob)) properties[definitionPage(column("Id"))] = std::move(*bytes);
    });
    return properties;
}

}  // namespace kv::jet
