#include "jet/table_writer.h"

#include <algorithm>
#include <random>
#include <stdexcept>

#include "jet/byte_writer.h"
#include "jet/database.h"
#include "jet/data_page_writer.h"
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
    return bytes.u8(0) == static_cast<std::uint8_t>(type) && bytes.u32(format::data_page::kOwnerOffset) == definitionPage;
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

// Autonumber columns that are NULL get the numbers after the last one handed out; the counter
// (which holds the last number used) follows every value present.
std::uint32_t fillAutonumbers(const TableDef& def, std::vector<TableRow>& rows) {
    std::uint32_t last = def.nextAutonumber;
    std::mt19937_64 random{std::random_device{}()};
    for (std::size_t c = 0; c < def.columns.size(); ++c) {
        const Column& column = def.columns[c];
        if (column.type == ColumnType::Long && column.isAutonumber()) {
            for (const TableRow& row : rows)
                if (auto* number = std::get_if<std::int32_t>(&row[c]); number && *number > 0)
                    last = std::max(last, static_cast<std::uint32_t>(*number));
            for (TableRow& row : rows)
                if (isNull(row[c])) row[c] = static_cast<std::int32_t>(++last);
        } else if (column.type == ColumnType::Guid && (column.flags & td::column::kFlagAutoGuid)) {
            for (TableRow& row : rows) {
                if (!isNull(row[c])) continue;
                Guid guid;
                for (auto& byte : guid.bytes) byte = static_cast<std::uint8_t>(random());
                row[c] = guid;
            }
        }
    }
    return last;
}

// A value as the message about a key shows it.
std::string describe(const Value& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) return "NULL";
            else if constexpr (std::is_same_v<T, bool>) return v ? "True" : "False";
            else if constexpr (std::is_same_v<T, std::string>) return "\"" + v + "\"";
            else if constexpr (std::is_same_v<T, Binary>) return hexText(v);
            else if constexpr (std::is_same_v<T, Guid>) return guidText(v);
            else if constexpr (std::is_same_v<T, DateTime>) return decimalText(v.days);
            else if constexpr (std::is_same_v<T, Currency> || std::is_same_v<T, Numeric> || std::is_floating_point_v<T>)
                return decimalText(v);
            else return std::to_string(v);
        },
        value);
}

std::string indexName(const TableDef& def, std::size_t realIndex) {
    for (const LogicalIndex& logical : def.logicalIndexes)
        if (logical.realIndex == realIndex) return logical.name;
    return "#" + std::to_string(realIndex);
}

std::string keyValuesText(const TableDef& def, const RealIndex& index, const TableRow& row) {
    std::string text;
    for (const RealIndexColumn& key : index.columns) {
        std::size_t c = def.columnPosition(key.columnNumber);
        if (!text.empty()) text += ", ";
        text += def.columns[c].name + " = " + describe(row[c]);
    }
    return text;
}

bool allKeyColumnsNull(const TableDef& def, const RealIndex& index, const TableRow& row) {
    return std::all_of(index.columns.begin(), index.columns.end(),
                       [&](const RealIndexColumn& key) { return isNull(row[def.columnPosition(key.columnNumber)]); });
}

struct IndexKeys {
    std::vector<std::vector<std::uint8_t>> keys;  // by row; empty for a row the index leaves out
    std::uint32_t distinct = 0;
};

// Every row's key, checked against the index's rules before anything is written.
std::vector<IndexKeys> encodeKeys(const TableDef& def, const std::vector<TableRow>& rows) {
    std::vector<IndexKeys> all;
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const RealIndex& index = def.realIndexes[i];
        IndexKeys result;
        result.keys.reserve(rows.size());
        std::vector<std::size_t> order;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            bool allNull = allKeyColumnsNull(def, index, rows[r]);
            if (index.flags & td::real_index::kFlagRequired)
                for (const RealIndexColumn& key : index.columns)
                    if (isNull(rows[r][def.columnPosition(key.columnNumber)]))
                        throw std::runtime_error("The index " + indexName(def, i) + " of table " + def.name +
                                                 " needs a value in column " +
                                                 def.columns[def.columnPosition(key.columnNumber)].name);
            if (allNull && index.ignoresNulls()) {
                result.keys.emplace_back();
                continue;
            }
            result.keys.push_back(encodeIndexKey(def, index, rows[r]));
            order.push_back(r);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return result.keys[a] < result.keys[b]; });
        for (std::size_t k = 0; k < order.size(); ++k) {
            bool repeats = k > 0 && result.keys[order[k]] == result.keys[order[k - 1]];
            if (!repeats) ++result.distinct;
            if (repeats && index.isUnique() && !allKeyColumnsNull(def, index, rows[order[k]]))
                throw std::runtime_error("The index " + indexName(def, i) + " of table " + def.name +
                                         " does not allow two rows with the same values (" +
                                         keyValuesText(def, index, rows[order[k]]) + ")");
        }
        all.push_back(std::move(result));
    }
    return all;
}

}  // namespace

TableRebuild rebuildTable(const PageFile& file, const TableDef& def, std::vector<TableRow> rows) {
    for (const TableRow& row : rows)
        if (row.size() != def.columns.size())
            throw std::logic_error("a row of " + std::to_string(row.size()) + " values for table " + def.name + " of " +
                                   std::to_string(def.columns.size()) + " columns");
    const std::uint32_t lastAutonumber = fillAutonumbers(def, rows);
    const std::vector<IndexKeys> keys = encodeKeys(def, rows);

    TableRebuild rebuild;
    PageImages& images = rebuild.pages;
    PageAllocator allocator(ownedPages(file, def), globallyFreePages(file), file.pageCount());

    // Data pages are numbered once all are filled, in ascending order, so that reading the table
    // page by page meets the rows in the order given.
    std::vector<std::vector<std::uint8_t>> dataPages;
    std::vector<std::pair<std::size_t, std::uint8_t>> placed;  // data page index, row number
    placed.reserve(rows.size());
    {
        LongValueWriter longValues(allocator, images);
        DataPageWriter page{DataPageWriter::TableRows{def.page}};
        for (const TableRow& row : rows) {
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

    std::vector<std::uint8_t> definition = def.raw;
    putU32(definition, td::kRowCountOffset, static_cast<std::uint32_t>(rows.size()));
    putU32(definition, td::kAutonumberOffset, lastAutonumber);
    std::vector<std::vector<std::uint32_t>> indexPages;
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        std::vector<IndexBuildEntry> entries;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (keys[i].keys[r].empty()) continue;
            entries.push_back({keys[i].keys[r], RowLocation{dataPageNumbers[placed[r].first], placed[r].second}});
        }
        std::stable_sort(entries.begin(), entries.end(),
                         [](const IndexBuildEntry& a, const IndexBuildEntry& b) { return a.key < b.key; });
        BuiltIndex built = buildIndex(entries, def.page, allocator, images);
        std::size_t block = td::kRealIndexBlocksOffset + i * td::kRealIndexBlockSize;
        putU32(definition, block, static_cast<std::uint32_t>(entries.size()));
        putU32(definition, block + td::kRealIndexBlockDistinctKeysOffset, keys[i].distinct);
        putU32(definition, realIndexDefinitionOffset(def, i) + td::real_index::kFirstPage, built.rootPage);
        indexPages.push_back(std::move(built.pages));
    }

    // The maps are written last: a reference map may need pages of its own.
    writeUsageMap(file, def.ownedPagesMap, dataPageNumbers, allocator, images);
    if (def.freeSpaceMap != 0) {
        std::vector<std::uint32_t> withRoom;
        if (!dataPageNumbers.empty() && ByteView(images[dataPageNumbers.back()], def.name).u16(format::data_page::kFreeSpaceOffset) > 0)
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
    rebuild.rows = std::move(rows);
    return rebuild;
}

std::vector<TableRow> commitTable(const std::string& databasePath, const std::string& tableName,
                                  std::vector<TableRow> rows) {
    WritableDatabase writable(databasePath);  // locked, and rolled back if a commit was interrupted
    Database database(databasePath);
    const CatalogTable& table = database.table(tableName);
    TableRebuild rebuild = rebuildTable(database.file(), database.tableDef(table), std::move(rows));
    writable.commitPages(rebuild.pages);
    return std::move(rebuild.rows);
}

}  // namespace kv::jet
