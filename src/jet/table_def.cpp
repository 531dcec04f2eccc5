#include "jet/table_def.h"

#include <algorithm>
#include <unordered_set>

#include "jet/text_codec.h"

namespace kv::jet {
namespace {

namespace td = format::tdef;

// The definition's pages joined: the first page whole, the header of each continuation page dropped.
std::vector<std::uint8_t> readDefinitionBytes(const PageFile& file, std::uint32_t first) {
    std::vector<std::uint8_t> bytes;
    std::unordered_set<std::uint32_t> seen;
    for (std::uint32_t page = first; page != 0;) {
        if (!seen.insert(page).second)
            throw FormatError(file.path() + ": the table definition at page " + std::to_string(first) +
                              " continues in a loop; the file is damaged");
        ByteView view = file.page(page, format::PageType::TableDefinition, "a table definition");
        auto content = page == first ? view.bytes() : view.bytes().subspan(td::kContinuationHeaderSize);
        bytes.insert(bytes.end(), content.begin(), content.end());
        page = view.u32(td::kNextPageOffset);
    }
    return bytes;
}

// Reads the names that follow a block of entries: 2-byte byte length, then UCS-2.
class NameReader {
public:
    NameReader(const ByteView& view, std::size_t offset) : view_(view), offset_(offset) {}
    std::string next() {
        std::uint16_t length = view_.u16(offset_);
        std::string name = utf16ToUtf8(view_.slice(offset_ + 2, length));
        offset_ += 2 + length;
        return name;
    }
    std::size_t offset() const { return offset_; }

private:
    const ByteView& view_;
    std::size_t offset_;
};

Column readColumn(const ByteView& entry) {
    namespace c = td::column;
    std::uint8_t typeCode = entry.u8(c::kType);
    if (!isKnownColumnType(typeCode))
        throw FormatError(entry.where() + ": a column has the unknown type " + std::to_string(typeCode) +
                          " (not a Jet 4 type); the file is damaged or of a later version");
    Column column;
    column.type = static_cast<ColumnType>(typeCode);
    column.number = entry.u16(c::kNumber);
    column.variableIndex = entry.u16(c::kVariableIndex);
    column.rowColumnNumber = entry.u16(c::kRowColumnNumber);
    column.sortOrder = entry.u16(c::kSortOrder);
    column.precision = entry.u8(c::kPrecision);
    column.scale = entry.u8(c::kScale);
    column.codePage = entry.u8(c::kCodePage);
    column.sortVersion = entry.u8(c::kSortVersion);
    column.flags = entry.u8(c::kFlags);
    column.extraFlags = entry.u8(c::kExtraFlags);
    column.fixedOffset = entry.u16(c::kFixedOffset);
    column.length = entry.u16(c::kLength);
    return column;
}

RealIndex readRealIndex(const ByteView& entry) {
    namespace r = td::real_index;
    RealIndex index;
    for (std::size_t slot = 0; slot < r::kMaxColumns; ++slot) {
        std::size_t at = r::kColumns + slot * r::kColumnSlotSize;
        std::uint16_t number = entry.u16(at);
        if (number == r::kUnusedColumn) continue;
        index.columns.push_back({number, entry.u8(at + 2) == r::kOrderAscending});
    }
    index.ownedPagesMap = entry.u32(r::kOwnedPagesMap);
    index.firstPage = entry.u32(r::kFirstPage);
    index.flags = entry.u8(r::kFlags);
    return index;
}

}  // namespace

bool RealIndex::isUnique() const { return flags & td::real_index::kFlagUnique; }
bool RealIndex::ignoresNulls() const { return flags & td::real_index::kFlagIgnoreNulls; }
bool LogicalIndex::isPrimaryKey() const { return type == td::logical_index::kTypePrimaryKey; }

std::size_t TableDef::columnPosition(std::uint16_t number) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].number == number) return i;
    throw FormatError("Table " + name + ": an index refers to column number " + std::to_string(number) +
                      ", which the table does not have; the file is damaged");
}

TableDef readTableDef(const PageFile& file, std::uint32_t page, std::string name) {
    TableDef def;
    def.name = std::move(name);
    def.page = page;
    def.raw = readDefinitionBytes(file, page);
    ByteView view(def.raw, file.path(), page);
    def.rowCount = view.u32(td::kRowCountOffset);
    def.nextAutonumber = view.u32(td::kAutonumberOffset);
    def.tableType = view.u8(td::kTableTypeOffset);
    def.maxColumns = view.u16(td::kMaxColumnsOffset);
    def.variableColumnCount = view.u16(td::kVariableColumnCountOffset);
    std::uint16_t columnCount = view.u16(td::kColumnCountOffset);
    std::uint32_t logicalCount = view.u32(td::kLogicalIndexCountOffset);
    std::uint32_t realCount = view.u32(td::kRealIndexCountOffset);
    def.ownedPagesMap = view.u32(td::kOwnedPagesMapOffset);
    def.freeSpaceMap = view.u32(td::kFreeSpaceMapOffset);
    // Every count must fit the bytes before anything is reserved for it.
    if (realCount > view.size() / td::kRealIndexSize || logicalCount > view.size() / td::kLogicalIndexSize ||
        columnCount > view.size() / td::kColumnEntrySize)
        throw FormatError(view.where() + ": the counts of columns or indexes of table " + def.name +
                          " are too large; the file is damaged");

    std::size_t offset = td::kRealIndexBlocksOffset + realCount * td::kRealIndexBlockSize;
    for (std::uint16_t i = 0; i < columnCount; ++i, offset += td::kColumnEntrySize)
        def.columns.push_back(readColumn(view.sub(offset, td::kColumnEntrySize)));
    NameReader names(view, offset);
    for (auto& column : def.columns) column.name = names.next();
    offset = names.offset();
    for (std::uint32_t i = 0; i < realCount; ++i, offset += td::kRealIndexSize)
        def.realIndexes.push_back(readRealIndex(view.sub(offset, td::kRealIndexSize)));
    for (std::uint32_t i = 0; i < logicalCount; ++i, offset += td::kLogicalIndexSize) {
        ByteView entry = view.sub(offset, td::kLogicalIndexSize);
        LogicalIndex index;
        index.number = entry.u32(td::logical_index::kNumber);
        index.realIndex = entry.u32(td::logical_index::kRealIndex);
        index.type = entry.u8(td::logical_index::kType);
        if (index.realIndex >= realCount)
            throw FormatError(view.where() + ": an index refers to a missing index tree; the file is damaged");
        def.logicalIndexes.push_back(std::move(index));
    }
    NameReader indexNames(view, offset);
    for (auto& index : def.logicalIndexes) index.name = indexNames.next();

    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const Column& a, const Column& b) { return a.number < b.number; });
    for (const auto& real : def.realIndexes)
        for (const auto& column : real.columns) def.columnPosition(column.columnNumber);
    return def;
}

}  // namespace kv::jet
