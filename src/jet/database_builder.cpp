#include "jet/database_builder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "jet/database_builder_pages.h"
#include "jet/database_builder_system_tables.h"
#include "jet/durable_io.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/text_fold.h"

namespace kv::jet {
namespace {

constexpr std::uint32_t kFirstDefinitionPage = format::kCatalogPage;
constexpr std::uint8_t kOwnedPagesRow = 0;
constexpr std::uint8_t kFreeSpaceRow = 1;
constexpr std::uint8_t kFirstIndexMapRow = 2;

// Where each table's pages go: first every definition (so that MSysObjects's is page 2, as
// readers require), then per table its usage-map page and one empty leaf per index.
struct PlannedTable {
    const TableDesign* design;
    TableDefLayout layout;
    std::uint32_t mapPage = 0;
};

std::vector<PlannedTable> plan(const std::vector<const TableDesign*>& designs, std::uint32_t& pageCount) {
    std::vector<PlannedTable> planned;
    pageCount = kFirstDefinitionPage;
    for (const TableDesign* design : designs) {
        PlannedTable table{design, {}, 0};
        for (std::uint32_t i = tableDefPageCount(*design); i > 0; --i) table.layout.pages.push_back(pageCount++);
        planned.push_back(std::move(table));
    }
    for (auto& table : planned) {
        table.mapPage = pageCount++;
        table.layout.ownedPagesMap = mapPointer(table.mapPage, kOwnedPagesRow);
        table.layout.freeSpaceMap = mapPointer(table.mapPage, kFreeSpaceRow);
        for (std::size_t i = 0; i < table.design->indexes.size(); ++i) {
            table.layout.indexMaps.push_back(
                mapPointer(table.mapPage, static_cast<std::uint8_t>(kFirstIndexMapRow + i)));
            table.layout.indexRoots.push_back(pageCount++);
        }
    }
    if (pageCount > new_pages::inlineMapRange())
        throw std::runtime_error("The tables' definitions and indexes take more than " +
                                 std::to_string(new_pages::inlineMapRange()) + " pages; use fewer tables or indexes");
    return planned;
}

void place(std::vector<std::uint8_t>& bytes, std::uint32_t page, const std::vector<std::uint8_t>& image) {
    std::size_t at = static_cast<std::size_t>(page) * format::kPageSize;
    if (bytes.size() < at + format::kPageSize) bytes.resize(at + format::kPageSize, 0);
    std::copy(image.begin(), image.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void checkNames(const std::vector<TableDesign>& system, const std::vector<TableContent>& tables) {
    std::set<std::string> names;
    for (const auto& design : system) names.insert(foldCase(design.name));
    for (const auto& table : tables) {
        validateDesign(table.design);
        if (!names.insert(foldCase(table.design.name)).second)
            throw std::runtime_error("Table " + table.design.name + ": the name is used twice or by a system table");
    }
}

// Days since 1899-12-30, Access's Date/Time, for the moment the database is made.
DateTime now() {
    using namespace std::chrono;
    auto seconds = duration_cast<std::chrono::seconds>(system_clock::now().time_since_epoch()).count();
    constexpr double kDaysFrom1899To1970 = 25569;
    return DateTime{kDaysFrom1899To1970 + static_cast<double>(seconds) / 86400.0};
}

void fill(std::vector<std::uint8_t>& bytes, const PlannedTable& table, std::vector<TableRow> rows) {
    if (rows.empty()) return;  // the new definition already describes an empty table
    PageFile file("the new database", bytes);
    TableDef def = readTableDef(file, table.layout.pages.front(), table.design->name);
    fillAutonumbers(def, def.nextAutonumber, rows);
    TableRebuild rebuilt = rebuildTable(file, def, rows.size(), [&](std::size_t r) { return rows[r]; });
    for (const auto& [page, image] : rebuilt.pages) place(bytes, page, image);
}

}  // namespace

std::vector<std::uint8_t> buildDatabase(const std::vector<TableContent>& tables) {
    std::vector<TableDesign> system = system_tables::designs();
    checkNames(system, tables);
    std::vector<const TableDesign*> designs;
    for (const auto& design : system) designs.push_back(&design);
    for (const auto& table : tables) designs.push_back(&table.design);

    std::uint32_t pageCount = 0;
    std::vector<PlannedTable> planned = plan(designs, pageCount);
    DateTime created = now();
    std::vector<std::uint8_t> bytes;
    place(bytes, 0, new_pages::header(created));
    place(bytes, 1, new_pages::globalUsageMap(pageCount));
    std::vector<system_tables::CatalogEntry> catalog;
    for (const auto& table : planned) {
        auto definition = buildTableDef(*table.design, table.layout);
        for (std::size_t i = 0; i < definition.size(); ++i) place(bytes, table.layout.pages[i], definition[i]);
        std::vector<std::vector<std::uint32_t>> maps = {{}, {}};
        for (std::uint32_t root : table.layout.indexRoots) {
            maps.push_back({root});
            place(bytes, root, new_pages::emptyIndexLeaf(table.layout.pages.front()));
        }
        place(bytes, table.mapPage, new_pages::usageMaps(maps));
        catalog.push_back(
            {table.design->name, table.layout.pages.front(), tableProperties(*table.design), table.design->system});
    }

    fill(bytes, planned[0], system_tables::catalogRows(catalog, created));
    fill(bytes, planned[1], system_tables::permissionRows());
    for (std::size_t i = 0; i < tables.size(); ++i) fill(bytes, planned[system.size() + i], tables[i].rows);
    return bytes;
}

void createDatabase(const std::string& path, const std::vector<TableContent>& tables, bool replace) {
    if (!replace && std::filesystem::exists(path))
        throw std::runtime_error(path + " already exists; it is not overwritten");
    std::vector<std::uint8_t> bytes = buildDatabase(tables);
    // A database replaced keeps its permissions; a symlink to it stays a link.
    const std::string target = durable_io::realPath(path);
    durable_io::replaceWhole(target, bytes, durable_io::modeAt(target));
}

}  // namespace kv::jet
