#include "jet/table_writer.h"

#include <algorithm>
#include <stdexcept>

#include "jet/byte_writer.h"
#include "jet/commit_rules.h"
#include "jet/data_page_writer.h"
#include "jet/database.h"
#include "jet/index_builder.h"
#include "jet/index_key.h"
#include "jet/long_value_pages.h"
#include "jet/long_value_writer.h"
#include "jet/page_allocator.h"
#include "jet/row_packer.h"
#include "jet/table_def_layout.h"
#include "jet/usage_map.h"
#include "jet/usage_map_writer.h"

namespace kv::jet {
namespace {

namespace td = format::tdef;

bool isPageOf(const PageFile& file, std::uint32_t page, format::PageType type, std::uint32_t definitionPage) {
    if (page >= file.pageCount()) return false;
    ByteView bytes = file.page(page);
    return bytes.u8(0) == static_cast<std::uint8_t>(type) &&
           bytes.u32(format::data_page::kOwnerOffset) == definitionPage;
}

// Every page the table holds now and may reuse: its data pages, the pages of its indexes, the
// long-value pages only it uses, and the type-5 pages of its reference maps.
std::vector<std::uint32_t> ownedPages(const PageFile& file, const TableDef& def) {
    std::vector<std::uint32_t> owned;
    auto addMap = [&](std::uint32_t pointer, std::initializer_list<format::PageType> types) {
        if (pointer == 0) return;
        for (std::uint32_t page : readUsageMap(file, pointer))
            for (format::PageType type : types)
                if (isPageOf(file, page, type, def.page)) owned.push_back(page);
        for (std::uint32_t page : referencedMapPages(file, pointer)) owned.push_back(page);
    };
    addMap(def.ownedPagesMap, {format::PageType::Data});
    if (def.freeSpaceMap != 0)
        for (std::uint32_t page : referencedMapPages(file, def.freeSpaceMap)) owned.push_back(page);
    for (const RealIndex& index : def.realIndexes)
        addMap(index.ownedPagesMap, {format::PageType::LeafIndex, format::PageType::IntermediateIndex});
    for (std::uint32_t page : exclusiveLongValuePages(file, def)) owned.push_back(page);
    return owned;
}

// One index's key of every row, in row order; empty for a row the index leaves out.
struct IndexKeys {
    std::vector<std::vector<std::uint8_t>> keys;
};

void addKeys(const TableDef& def, std::vector<IndexKeys>& all, const TableRow& row) {
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const RealIndex& index = def.realIndexes[i];
        requireIndexValues(def, i, row);
        all[i].keys.push_back(leftOutOfIndex(def, index, row) ? std::vector<std::uint8_t>()
                                                              : encodeIndexKey(def, index, row));
    }
}

// The index's entries in key order, the keys moved out of `keys`; throws for a key a unique index
// holds twice, naming the row read again by `rowAt`.
std::vector<IndexEntry> sortedEntries(const TableDef& def, std::size_t i, IndexKeys& keys,
                                      const std::vector<RowLocation>& locations, const RowSupplier& rowAt,
                                      std::uint32_t& distinct) {
    const RealIndex& index = def.realIndexes[i];
    std::vector<IndexEntry> entries;
    std::vector<std::size_t> rowOf;
    for (std::size_t r = 0; r < keys.keys.size(); ++r) {
        if (keys.keys[r].empty()) continue;
        entries.push_back({std::move(keys.keys[r]), locations[r]});
        rowOf.push_back(r);
    }
    keys.keys.clear();
    keys.keys.shrink_to_fit();
    std::vector<std::size_t> order(entries.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return entries[a].key < entries[b].key; });
    distinct = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        bool repeats = k > 0 && entries[order[k]].key == entries[order[k - 1]].key;
        if (!repeats) ++distinct;
        if (!repeats || !index.isUnique()) continue;
        TableRow row = rowAt(rowOf[order[k]]);
        if (!mayRepeatKey(def, index, row)) throwRepeatedKey(def, i, row);
    }
    std::vector<IndexEntry> sorted;
    sorted.reserve(entries.size());
    for (std::size_t k : order) sorted.push_back(std::move(entries[k]));
    return sorted;
}

}  // namespace

TableRebuild rebuildTable(const PageFile& file, const TableDef& def, std::size_t rowCount, const RowSupplier& rowAt) {
    TableRebuild rebuild;
    PageImages& images = rebuild.pages;
    PageAllocator allocator(ownedPages(file, def), globallyFreePages(file), file.pageCount());
    std::vector<IndexKeys> keys(def.realIndexes.size());
    for (auto& index : keys) index.keys.reserve(rowCount);
    std::uint32_t lastAutonumber = def.nextAutonumber;

    // Data pages are numbered once all are filled, in ascending order, so that reading the table
    // page by page meets the rows in the order given. Each row is packed and its keys encoded (and
    // checked against the index's rules) as it comes, before anything is written.
    std::vector<std::vector<std::uint8_t>> dataPages;
    std::vector<std::pair<std::size_t, std::uint8_t>> placed;  // data page index, row number
    placed.reserve(rowCount);
    {
        LongValueWriter longValues(allocator, images);
        DataPageWriter page{DataPageWriter::TableRows{def.page}};
        for (std::size_t r = 0; r < rowCount; ++r) {
            const TableRow row = rowAt(r);
            if (row.size() != def.columns.size())
                throw std::logic_error("a row of " + std::to_string(row.size()) + " values for table " + def.name +
                                       " of " + std::to_string(def.columns.size()) + " columns");
            lastAutonumber = highestAutonumber(def, lastAutonumber, row);
            addKeys(def, keys, row);
            std::vector<std::uint8_t> packed = packRow(def, row, longValues);
            if (!page.fits(packed.size())) dataPages.push_back(page.take());
            placed.emplace_back(dataPages.size(), page.add(packed));
        }
        if (!page.empty()) dataPages.push_back(page.take());
        longValues.finish();
    }
    std::vector<std::uint32_t> dataPageNumbers;
    for (std::size_t i = 0; i < dataPages.size(); ++i) dataPageNumbers.push_back(allocator.next());
    std::sort(dataPageNumbers.begin(), dataPageNumbers.end());
    for (std::size_t i = 0; i < dataPages.size(); ++i) images[dataPageNumbers[i]] = std::move(dataPages[i]);
    rebuild.locations.reserve(placed.size());
    for (auto [dataPage, row] : placed) rebuild.locations.push_back({dataPageNumbers[dataPage], row});

    std::vector<std::uint8_t> definition = def.raw;
    putU32(definition, td::kRowCountOffset, static_cast<std::uint32_t>(rowCount));
    putU32(definition, td::kAutonumberOffset, lastAutonumber);
    std::vector<std::vector<std::uint32_t>> indexPages;
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        std::uint32_t distinct = 0;
        const std::vector<IndexEntry> entries = sortedEntries(def, i, keys[i], rebuild.locations, rowAt, distinct);
        BuiltIndex built = buildIndex(entries, def.page, allocator, images);
        std::size_t block = td::kRealIndexBlocksOffset + i * td::kRealIndexBlockSize;
        putU32(definition, block, static_cast<std::uint32_t>(entries.size()));
        putU32(definition, block + td::kRealIndexBlockDistinctKeysOffset, distinct);
        putU32(definition, realIndexDefinitionOffset(def, i) + td::real_index::kFirstPage, built.rootPage);
        indexPages.push_back(std::move(built.pages));
    }

    // The maps are written last: a reference map may need pages of its own.
    writeUsageMap(file, def.ownedPagesMap, dataPageNumbers, allocator, images);
    if (def.freeSpaceMap != 0) {
        std::vector<std::uint32_t> withRoom;
        if (!dataPageNumbers.empty() &&
            ByteView(images[dataPageNumbers.back()], def.name).u16(format::data_page::kFreeSpaceOffset) > 0)
            withRoom.push_back(dataPageNumbers.back());
        writeUsageMap(file, def.freeSpaceMap, withRoom, allocator, images);
    }
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i)
        if (def.realIndexes[i].ownedPagesMap != 0)
            writeUsageMap(file, def.realIndexes[i].ownedPagesMap, indexPages[i], allocator, images);
    writeTableDefinition(file, def, definition, images);

    // Pages the table gave up are blanked, so that nothing still reads as one of its pages.
    std::vector<std::uint32_t> freed = allocator.unusedOwned();
    for (std::uint32_t page : freed) images[page] = std::vector<std::uint8_t>(format::kPageSize, 0);
    updateGlobalUsageMap(file, freed, allocator.newlyTaken(), images);
    return rebuild;
}

std::vector<TableRow> commitTable(const std::string& databasePath, const std::string& tableName,
                                  std::vector<TableRow> rows) {
    WritableDatabase writable(databasePath);  // locked, and rolled back if a commit was interrupted
    Database database(writable.read());
    const CatalogTable& table = database.table(tableName);
    const TableDef def = database.tableDef(table);
    fillAutonumbers(def, def.nextAutonumber, rows);
    TableRebuild rebuild = rebuildTable(database.file(), def, rows.size(), [&](std::size_t r) { return rows[r]; });
    writable.commitPages(rebuild.pages);
    return rows;
}

}  // namespace kv::jet
