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

}  // namespace

std::vector<CatalogTable> readCatalogTables(const PageFile& file) {
    TableDef def = readTableDef(file, format::kCatalogPage, format::kCatalogName);
    std::size_t idColumn = catalogColumn(def, "Id");
    std::size_t nameColumn = catalogColumn(def, "Name");
    std::size_t typeColumn = catalogColumn(def, "Type");
    std::size_t flagsColumn = catalogColumn(def, "Flags");
    std::vector<CatalogTable> tables;
    forEachStoredRow(file, def, [&](RowLocation, const StoredRow& row) {
        const auto value = [&](std::size_t column) { return row.value(file, def.columns[column]); };
        if (get<std::int16_t>(value(typeColumn), 0) != format::kCatalogTypeTable) return;
        auto id = static_cast<std::uint32_t>(get<std::int32_t>(value(idColumn), 0));
        auto flags = static_cast<std::uint32_t>(get<std::int32_t>(value(flagsColumn), 0));
        tables.push_back({get<std::string>(value(nameColumn), ""), id & format::kObjectIdPageMask,
                          (flags & format::kSystemObjectFlags) != 0});
    });
    return tables;
}

}  // namespace kv::jet
