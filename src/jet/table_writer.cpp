#include "jet/table_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <future>
#include <span>
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
#include "jet/row.h"
#include "jet/row_packer.h"
#include "jet/table_def_layout.h"
#include "jet/table_reader.h"
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

// One index's key of every row, in row order, in one buffer; empty for a row the index leaves out.
class IndexKeys {
public:
    void reserve(std::size_t rows) { ends_.reserve(rows); }
    // The next row's key, appended to the buffer by `write`; a row left out writes nothing.
    template <typename Write>
    void add(Write write) {
        write(bytes_);
        ends_.push_back(held(bytes_.size()));
    }
    // The keys of the rows after these, from another IndexKeys.
    void append(const IndexKeys& later) {
        held(bytes_.size() + later.bytes_.size());  // so the ends below fit
        const auto base = static_cast<std::uint32_t>(bytes_.size());
        bytes_.insert(bytes_.end(), later.bytes_.begin(), later.bytes_.end());
        for (std::uint32_t end : later.ends_) ends_.push_back(base + end);
    }
    std::size_t rows() const { return ends_.size(); }
    std::span<const std::uint8_t> of(std::size_t row) const {
        const std::size_t start = row == 0 ? 0 : ends_[row - 1];
        return std::span<const std::uint8_t>(bytes_).subspan(start, ends_[row] - start);
    }

private:
    // Keys are written to the index's pages, and a file is smaller than 2 GB: more is refused.
    static std::uint32_t held(std::size_t size) {
        if (size > UINT32_MAX) throw std::runtime_error("The index keys of a table come to more than 4 GB");
        return static_cast<std::uint32_t>(size);
    }

    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint32_t> ends_;
};

void addKeys(const TableDef& def, std::vector<IndexKeys>& all, const TableRow& row) {
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const RealIndex& index = def.realIndexes[i];
        requireIndexValues(def, i, row);
        all[i].add([&](std::vector<std::uint8_t>& bytes) {
            if (!leftOutOfIndex(def, index, row)) appendIndexKey(bytes, def, index, row);
        });
    }
}

// A row's key for sorting: its first eight bytes as a number, and the row.
struct Sortable {
    std::uint64_t prefix;
    std::size_t row;
};

// Orders the entries by prefix, those of equal prefix keeping their order: a radix sort, a byte of
// the prefix at a time from the lowest, which passes over a byte that all entries share.
void sortByPrefix(std::vector<Sortable>& order) {
    std::vector<Sortable> sorted(order.size());
    for (unsigned shift = 0; shift < 64; shift += 8) {
        std::array<std::size_t, 257> starts{};
        for (const Sortable& entry : order) ++starts[(entry.prefix >> shift & 0xff) + 1];
        if (std::ranges::find(starts, order.size()) != starts.end()) continue;
        for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
        for (const Sortable& entry : order) sorted[starts[entry.prefix >> shift & 0xff]++] = entry;
        order.swap(sorted);
    }
}

// The rows the index holds, in key order, rows with equal keys in row order; throws for a key a
// unique index holds twice, naming the row read again by `rowAt`.
std::vector<Sortable> sortedRows(const TableDef& def, std::size_t i, const IndexKeys& keys, const RowSupplier& rowAt,
                                 std::uint32_t& distinct) {
    const RealIndex& index = def.realIndexes[i];
    std::vector<Sortable> order;
    order.reserve(keys.rows());
    for (std::size_t r = 0; r < keys.rows(); ++r)
        if (!keys.of(r).empty()) order.push_back({indexKeyPrefix(keys.of(r)), r});
    auto byKey = [&](const Sortable& a, const Sortable& b) {
        if (a.prefix != b.prefix) return a.prefix <=> b.prefix;
        const auto left = keys.of(a.row), right = keys.of(b.row);
        return std::lexicographical_compare_three_way(left.begin(), left.end(), right.begin(), right.end());
    };
    sortByPrefix(order);
    // Keys that agree in their first eight bytes are ordered by the rest, then by row.
    for (auto run = order.begin(); run != order.end();) {
        const auto end = std::find_if(run, order.end(), [&](const Sortable& s) { return s.prefix != run->prefix; });
        if (end - run > 1)
            std::sort(run, end, [&](const Sortable& a, const Sortable& b) {
                const auto order = byKey(a, b);
                return order != 0 ? order < 0 : a.row < b.row;
            });
        run = end;
    }
    distinct = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        bool repeats = k > 0 && byKey(order[k], order[k - 1]) == 0;
        if (!repeats) ++distinct;
        if (!repeats || !index.isUnique()) continue;
        TableRow row = rowAt(order[k].row);
        if (!mayRepeatKey(def, index, row)) throwRepeatedKey(def, i, row);
    }
    return order;
}

// The columns a rebuild reads of a row it copies as stored: those of the indexes' keys and the
// autonumbers; the rest of such a row stays NULL.
class KeyColumns {
public:
    explicit KeyColumns(const TableDef& def) {
        std::vector<bool> needed(def.columns.size(), false);
        for (const RealIndex& index : def.realIndexes)
            for (const RealIndexColumn& key : index.columns) needed[def.columnPosition(key.columnNumber)] = true;
        for (std::size_t c : autonumberPositions(def)) needed[c] = true;
        for (std::size_t c = 0; c < def.columns.size(); ++c)
            if (needed[c]) positions_.push_back(c);
    }
    void read(const PageFile& file, const TableDef& def, const StoredRow& row, TableRow& into) const {
        into.assign(def.columns.size(), Value());
        for (std::size_t c : positions_) into[c] = row.value(file, def.columns[c]);
    }

private:
    std::vector<std::size_t> positions_;
};

bool hasLongValues(const TableDef& def) {
    return std::any_of(def.columns.begin(), def.columns.end(),
                       [](const Column& column) { return column.isLongValue(); });
}

// Makes rows ready to be placed on data pages: a row that `storedAt` finds is copied as stored
// (unless the table has Memo or OLE columns), any other packed from `rowAt`. Each row's keys are
// added to `keys`, and its autonumbers raise the highest one seen.
class RowMaker {
public:
    RowMaker(const PageFile& file, const TableDef& def, const RowSupplier& rowAt, const StoredRowFinder& storedAt,
             LongValueWriter* longValues)
        : file_(file),
          def_(def),
          rowAt_(rowAt),
          storedAt_(storedAt && !hasLongValues(def) ? &storedAt : nullptr),
          longValues_(longValues),
          packer_(def),
          keyColumns_(def),
          autonumbers_(autonumberPositions(def)) {}

    // The row's bytes, valid until the next row is made.
    std::span<const std::uint8_t> make(std::size_t r, std::vector<IndexKeys>& keys, std::uint32_t& lastAutonumber) {
        if (const std::optional<RowLocation> stored = storedAt_ ? (*storedAt_)(r) : std::nullopt) {
            readStoredRowAt(file_, def_, *stored, [&](const StoredRow& storedRow) {
                keyColumns_.read(file_, def_, storedRow, row_);
                const auto bytes = storedRow.storedBytes().bytes();
                packed_.assign(bytes.begin(), bytes.end());
            });
        } else {
            row_ = rowAt_(r);
            if (row_.size() != def_.columns.size())
                throw std::logic_error("a row of " + std::to_string(row_.size()) + " values for table " + def_.name +
                                       " of " + std::to_string(def_.columns.size()) + " columns");
            packer_.pack(row_, longValues_, packed_);
        }
        lastAutonumber = highestAutonumber(autonumbers_, lastAutonumber, row_);
        addKeys(def_, keys, row_);
        return packed_;
    }

private:
    const PageFile& file_;
    const TableDef& def_;
    const RowSupplier& rowAt_;
    const StoredRowFinder* storedAt_;  // null where rows are not copied as stored
    LongValueWriter* longValues_;
    RowPacker packer_;
    const KeyColumns keyColumns_;
    const std::vector<std::size_t> autonumbers_;
    TableRow row_;
    std::vector<std::uint8_t> packed_;
};

// Rows' bytes kept in blocks that are never moved, so that growing costs no copy, and given up a
// block at a time as they are taken, so that they are not held twice while placed on pages.
class RowBlocks {
public:
    void add(std::span<const std::uint8_t> row) {
        if (blocks_.empty() || blocks_.back().bytes.capacity() - blocks_.back().bytes.size() < row.size()) {
            blocks_.emplace_back();
            blocks_.back().bytes.reserve(std::max(kBlockSize, row.size()));
        }
        Block& block = blocks_.back();
        block.bytes.insert(block.bytes.end(), row.begin(), row.end());
        block.ends.push_back(static_cast<std::uint32_t>(block.bytes.size()));
    }
    // Hands each row to `take`, in the order added, and empties the blocks.
    template <typename Take>
    void drain(Take take) {
        for (Block& block : blocks_) {
            std::size_t start = 0;
            for (std::uint32_t end : block.ends) {
                take(std::span<const std::uint8_t>(block.bytes).subspan(start, end - start));
                start = end;
            }
            block = Block();
        }
        blocks_.clear();
    }

private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    struct Block {
        std::vector<std::uint8_t> bytes;
        std::vector<std::uint32_t> ends;
    };
    std::vector<Block> blocks_;
};

// Rows made ready on a second thread: their bytes, their keys and autonumbers.
struct MadeRows {
    RowBlocks rows;
    std::vector<IndexKeys> keys;
    std::uint32_t lastAutonumber = 0;
};

MadeRows makeRows(const PageFile& file, const TableDef& def, const RowSupplier& rowAt, const StoredRowFinder& storedAt,
                  std::size_t first, std::size_t end) {
    MadeRows made;
    made.keys.resize(def.realIndexes.size());
    for (IndexKeys& index : made.keys) index.reserve(end - first);
    RowMaker maker(file, def, rowAt, storedAt, nullptr);
    for (std::size_t r = first; r < end; ++r) made.rows.add(maker.make(r, made.keys, made.lastAutonumber));
    return made;
}

// A table of this many rows or more has its later rows made on a second thread, unless it has Memo
// or OLE columns, whose values go to pages of their own in the order the rows are made.
constexpr std::size_t kRowsWorthTwoThreads = 10'000;
// Packing a row from its values takes some three times as long as copying a row as stored.
constexpr std::size_t kPackingCost = 3, kCopyingCost = 1;

// The first row the second thread makes: the rows before it are about half of the work.
std::size_t secondThreadsFirstRow(const TableDef& def, std::size_t rowCount, const StoredRowFinder& storedAt) {
    if (rowCount < kRowsWorthTwoThreads || hasLongValues(def)) return rowCount;
    if (!storedAt) return rowCount / 2;
    auto cost = [&](std::size_t r) { return storedAt(r) ? kCopyingCost : kPackingCost; };
    std::size_t total = 0;
    for (std::size_t r = 0; r < rowCount; ++r) total += cost(r);
    std::size_t first = 0;
    for (std::size_t done = 0; done < total / 2; ++first) done += cost(first);
    return first;
}

}  // namespace

TableRebuild rebuildTable(const PageFile& file, const TableDef& def, std::size_t rowCount, const RowSupplier& rowAt,
                          const StoredRowFinder& storedAt) {
    TableRebuild rebuild;
    PageImages& images = rebuild.pages;
    PageAllocator allocator(ownedPages(file, def), globallyFreePages(file), file.pageCount());
    std::vector<IndexKeys> keys(def.realIndexes.size());
    for (auto& index : keys) index.reserve(rowCount);
    std::uint32_t lastAutonumber = def.nextAutonumber;

    // Data pages are numbered once all are filled, in ascending order, so that reading the table
    // page by page meets the rows in the order given. Each row is packed and its keys encoded (and
    // checked against the index's rules) before anything is written; a failure is that of the
    // first row in order that fails, whichever thread made it.
    std::vector<std::vector<std::uint8_t>> dataPages;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> placed;  // data page index, row number
    placed.reserve(rowCount);
    {
        LongValueWriter longValues(allocator, images);
        DataPageWriter page{DataPageWriter::TableRows{def.page}};
        auto place = [&](std::span<const std::uint8_t> packed) {
            if (!page.fits(packed.size())) dataPages.push_back(page.take());
            placed.emplace_back(static_cast<std::uint32_t>(dataPages.size()), page.add(packed));
        };
        const std::size_t split = secondThreadsFirstRow(def, rowCount, storedAt);
        std::future<MadeRows> later;
        if (split < rowCount)
            later = std::async(std::launch::async, makeRows, std::cref(file), std::cref(def), std::cref(rowAt),
                               std::cref(storedAt), split, rowCount);
        RowMaker maker(file, def, rowAt, storedAt, &longValues);
        for (std::size_t r = 0; r < split; ++r) place(maker.make(r, keys, lastAutonumber));
        if (later.valid()) {
            MadeRows made = later.get();
            made.rows.drain(place);
            for (std::size_t i = 0; i < keys.size(); ++i) keys[i].append(made.keys[i]);
            lastAutonumber = std::max(lastAutonumber, made.lastAutonumber);
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
        const std::vector<Sortable> order = sortedRows(def, i, keys[i], rowAt, distinct);
        BuiltIndex built = buildIndex(
            order.size(),
            [&](std::size_t k) {
                return IndexEntryRef{keys[i].of(order[k].row), rebuild.locations[order[k].row]};
            },
            def.page, allocator, images);
        std::size_t block = td::kRealIndexBlocksOffset + i * td::kRealIndexBlockSize;
        putU32(definition, block, static_cast<std::uint32_t>(order.size()));
        putU32(definition, block + td::kRealIndexBlockDistinctKeysOffset, distinct);
        putU32(definition, realIndexDefinitionOffset(def, i) + td::real_index::kFirstPage, built.rootPage);
        indexPages.push_back(std::move(built.pages));
        keys[i] = IndexKeys();  // written: its entries are not read again
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
    writable.commitPages(rebuild.pages, database.file());
    return rows;
}

}  // namespace kv::jet
