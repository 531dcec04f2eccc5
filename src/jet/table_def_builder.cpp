#include "jet/table_def_builder.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "jet/byte_writer.h"
#include "jet/format.h"
#include "jet/text_encoder.h"

namespace kv::jet {
namespace {

namespace td = format::tdef;
namespace col = format::tdef::column;

// Access may keep a short Text or Binary column in the fixed part of the row; its flags say so.
bool isVariableLength(const ColumnDesign& column) { return !(column.flags & col::kFlagFixedLength); }

// The length field of a column: its size, 1 for a boolean, the declared size for variable ones.
std::uint16_t definitionLength(const ColumnDesign& column) {
    if (isVariableLength(column)) return column.length;
    return column.type == ColumnType::Boolean ? 1
                                              : static_cast<std::uint16_t>(fixedColumnSize(column.type, column.length));
}

void appendName(std::vector<std::uint8_t>& bytes, const std::string& name) {
    std::u16string utf16 = utf8ToUtf16(name);
    appendU16(bytes, static_cast<std::uint16_t>(2 * utf16.size()));
    for (char16_t unit : utf16) appendU16(bytes, unit);
}

std::uint16_t columnNumber(const TableDesign& design, const std::string& name) {
    for (std::size_t i = 0; i < design.columns.size(); ++i)
        if (design.columns[i].name == name) return static_cast<std::uint16_t>(i);
    throw std::runtime_error("Table " + design.name + ": an index names the column " + name +
                             ", which the table does not have");
}

void appendColumn(std::vector<std::uint8_t>& bytes, const TableDesign& design, std::size_t number,
                  std::uint16_t variableIndex, std::uint16_t fixedOffset) {
    const ColumnDesign& column = design.columns[number];
    std::vector<std::uint8_t> entry(td::kColumnEntrySize, 0);
    entry[col::kType] = static_cast<std::uint8_t>(column.type);
    putU32(entry, col::kMagic, td::kDefinitionMagic);
    putU16(entry, col::kNumber, static_cast<std::uint16_t>(number));
    putU16(entry, col::kVariableIndex, variableIndex);
    putU16(entry, col::kRowColumnNumber, static_cast<std::uint16_t>(number));
    if (column.type == ColumnType::Numeric) {
        entry[col::kPrecision] = column.precision;
        entry[col::kScale] = column.scale;
    } else {
        putU16(entry, col::kSortOrder, column.sortOrder);
    }
    entry[col::kFlags] = static_cast<std::uint8_t>(column.flags | (design.system ? col::kFlagSystem : 0));
    entry[col::kExtraFlags] = column.extraFlags;
    putU16(entry, col::kFixedOffset, fixedOffset);
    putU16(entry, col::kLength, definitionLength(column));
    bytes.insert(bytes.end(), entry.begin(), entry.end());
}

std::uint8_t realIndexFlags(const IndexDesign& index) {
    namespace r = td::real_index;
    std::uint8_t flags = r::kFlagAlwaysSet;
    if (index.unique || index.primaryKey) flags |= r::kFlagUnique;
    if (index.ignoreNulls) flags |= r::kFlagIgnoreNulls;
    if (index.required) flags |= r::kFlagRequired;
    return flags;
}

void appendRealIndex(std::vector<std::uint8_t>& bytes, const TableDesign& design, const IndexDesign& index,
                     std::uint32_t map, std::uint32_t root) {
    namespace r = td::real_index;
    std::vector<std::uint8_t> entry(td::kRealIndexSize, 0);
    putU32(entry, r::kMagic, td::kRealIndexMagic);
    for (std::size_t slot = 0; slot < r::kMaxColumns; ++slot) {
        std::size_t at = r::kColumns + slot * r::kColumnSlotSize;
        if (slot < index.columns.size()) {
            putU16(entry, at, columnNumber(design, index.columns[slot].column));
            entry[at + r::kColumnSlotOrder] = index.columns[slot].descending ? r::kOrderDescending : r::kOrderAscending;
        } else {
            putU16(entry, at, r::kUnusedColumn);
        }
    }
    putU32(entry, r::kOwnedPagesMap, map);
    putU32(entry, r::kFirstPage, root);
    entry[r::kFlags] = realIndexFlags(index);
    bytes.insert(bytes.end(), entry.begin(), entry.end());
}

void appendLogicalIndex(std::vector<std::uint8_t>& bytes, const IndexDesign& index, std::uint32_t number) {
    namespace l = td::logical_index;
    std::vector<std::uint8_t> entry(td::kLogicalIndexSize, 0);
    putU32(entry, l::kMagic, td::kDefinitionMagic);
    putU32(entry, l::kNumber, number);
    putU32(entry, l::kRealIndex, number);  // one tree per logical index
    putU32(entry, l::kRelatedIndex, l::kNoRelatedIndex);
    entry[l::kCascadeUpdates] = l::kCascadeDefault;
    entry[l::kCascadeDeletes] = l::kCascadeDefault;
    entry[l::kType] = index.primaryKey ? l::kTypePrimaryKey : 0;
    bytes.insert(bytes.end(), entry.begin(), entry.end());
}

// The definition as one run of bytes, as readers see it once the continuation headers are dropped.
std::vector<std::uint8_t> serialise(const TableDesign& design, const TableDefLayout& layout) {
    std::vector<std::uint8_t> bytes(td::kRealIndexBlocksOffset, 0);
    bytes[0] = static_cast<std::uint8_t>(format::PageType::TableDefinition);
    bytes[format::kPageMarkOffset] = format::kPageMark;
    putU32(bytes, td::kDefinitionMagicOffset, td::kDefinitionMagic);
    bytes[td::kAutonumberEnabledOffset] = td::kAutonumberEnabled;
    bytes[td::kTableTypeOffset] = design.system ? td::kTableTypeSystem : td::kTableTypeUser;
    auto columnCount = static_cast<std::uint16_t>(design.columns.size());
    auto variableCount = static_cast<std::uint16_t>(std::count_if(
        design.columns.begin(), design.columns.end(), [](const ColumnDesign& c) { return isVariableLength(c); }));
    auto indexCount = static_cast<std::uint32_t>(design.indexes.size());
    putU16(bytes, td::kMaxColumnsOffset, columnCount);
    putU16(bytes, td::kVariableColumnCountOffset, variableCount);
    putU16(bytes, td::kColumnCountOffset, columnCount);
    putU32(bytes, td::kLogicalIndexCountOffset, indexCount);
    putU32(bytes, td::kRealIndexCountOffset, indexCount);
    putU32(bytes, td::kOwnedPagesMapOffset, layout.ownedPagesMap);
    putU32(bytes, td::kFreeSpaceMapOffset, layout.freeSpaceMap);

    bytes.resize(bytes.size() + indexCount * td::kRealIndexBlockSize, 0);  // entry counts: none yet

    std::uint16_t variableIndex = 0;
    std::uint16_t fixedOffset = 0;
    for (std::size_t number = 0; number < design.columns.size(); ++number) {
        const ColumnDesign& column = design.columns[number];
        if (isVariableLength(column)) {
            appendColumn(bytes, design, number, variableIndex++, 0);
        } else {
            // A boolean's value is its null-mask bit; Jet gives it offset 0.
            appendColumn(bytes, design, number, 0, column.type == ColumnType::Boolean ? 0 : fixedOffset);
            fixedOffset = static_cast<std::uint16_t>(fixedOffset + fixedColumnSize(column.type, column.length));
        }
    }
    for (const auto& column : design.columns) appendName(bytes, column.name);
    for (std::size_t i = 0; i < design.indexes.size(); ++i)
        appendRealIndex(bytes, design, design.indexes[i], layout.indexMaps.at(i), layout.indexRoots.at(i));
    for (std::size_t i = 0; i < design.indexes.size(); ++i)
        appendLogicalIndex(bytes, design.indexes[i], static_cast<std::uint32_t>(i));
    for (const auto& index : design.indexes) appendName(bytes, index.name);
    appendU16(bytes, td::kEndOfLongValueMaps);
    putU32(bytes, td::kLengthOffset, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

constexpr std::size_t kContinuationCapacity = format::kPageSize - td::kContinuationHeaderSize;

std::uint32_t pagesFor(std::size_t length) {
    if (length <= format::kPageSize) return 1;
    return static_cast<std::uint32_t>(1 +
                                      (length - format::kPageSize + kContinuationCapacity - 1) / kContinuationCapacity);
}

}  // namespace

bool isVariableLengthType(ColumnType type) {
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
    case ColumnType::Ole:
    case ColumnType::Binary: return true;
    default: return false;
    }
}

ColumnDesign userColumn(std::string name, ColumnType type, std::uint16_t size, bool required, bool autonumber) {
    ColumnDesign column;
    column.type = type;
    column.required = required;
    column.flags = col::kFlagNullable;
    if (!isVariableLengthType(type)) column.flags |= col::kFlagFixedLength;
    if (autonumber) column.flags |= col::kFlagAutonumber;
    switch (type) {
    case ColumnType::Text:
        if (size == 0 || size > col::kMaxTextCharacters)
            throw std::runtime_error("Column " + name + ": a Text column holds 1 to 255 characters, not " +
                                     std::to_string(size));
        column.length = static_cast<std::uint16_t>(2 * size);
        column.extraFlags = col::kExtraFlagCompressedText;
        break;
    case ColumnType::Memo: column.extraFlags = col::kExtraFlagCompressedText; break;
    case ColumnType::Binary:
        if (size == 0 || size > 2 * col::kMaxTextCharacters)
            throw std::runtime_error("Column " + name + ": a Binary column holds 1 to 510 bytes, not " +
                                     std::to_string(size));
        column.length = size;
        break;
    case ColumnType::Numeric: column.precision = 18; break;
    default: break;
    }
    column.name = std::move(name);
    return column;
}

void validateDesign(const TableDesign& design) {
    auto fail = [&](const std::string& problem) { throw std::runtime_error("Table " + design.name + ": " + problem); };
    if (design.name.empty()) throw std::runtime_error("A table has no name");
    if (design.columns.empty()) fail("it has no columns");
    std::set<std::string> names;
    for (const auto& column : design.columns) {
        if (column.name.empty()) fail("a column has no name");
        if (!names.insert(column.name).second) fail("the column " + column.name + " appears twice");
        if ((column.flags & col::kFlagAutonumber) && column.type != ColumnType::Long)
            fail("the autonumber column " + column.name + " must be a Long Integer");
    }
    std::set<std::string> indexNames;
    int primaryKeys = 0;
    for (const auto& index : design.indexes) {
        if (!indexNames.insert(index.name).second) fail("the index " + index.name + " appears twice");
        if (index.columns.empty() || index.columns.size() > td::real_index::kMaxColumns)
            fail("the index " + index.name + " must have 1 to 10 columns");
        for (const auto& column : index.columns) columnNumber(design, column.column);
        primaryKeys += index.primaryKey;
    }
    if (primaryKeys > 1) fail("it has more than one primary key");
}

std::uint32_t tableDefPageCount(const TableDesign& design) {
    TableDefLayout placeholder;
    placeholder.indexMaps.assign(design.indexes.size(), 0);
    placeholder.indexRoots.assign(design.indexes.size(), 0);
    return pagesFor(serialise(design, placeholder).size());
}

std::vector<std::vector<std::uint8_t>> buildTableDef(const TableDesign& design, const TableDefLayout& layout) {
    std::vector<std::uint8_t> bytes = serialise(design, layout);
    if (pagesFor(bytes.size()) != layout.pages.size())
        throw std::logic_error("Table " + design.name + ": the layout has the wrong number of definition pages");
    std::vector<std::vector<std::uint8_t>> pages;
    std::size_t taken = 0;
    for (std::size_t i = 0; i < layout.pages.size(); ++i) {
        std::vector<std::uint8_t> page(format::kPageSize, 0);
        std::size_t start = i == 0 ? 0 : td::kContinuationHeaderSize;
        std::size_t length = std::min(bytes.size() - taken, format::kPageSize - start);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(taken), length,
                    page.begin() + static_cast<std::ptrdiff_t>(start));
        taken += length;
        page[0] = static_cast<std::uint8_t>(format::PageType::TableDefinition);
        page[format::kPageMarkOffset] = format::kPageMark;
        std::size_t used = start + length + td::kContinuationHeaderSize;
        putU16(page, format::data_page::kFreeSpaceOffset,
               static_cast<std::uint16_t>(used < format::kPageSize ? format::kPageSize - used : 0));
        putU32(page, td::kNextPageOffset, i + 1 < layout.pages.size() ? layout.pages[i + 1] : 0);
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace kv::jet
