#pragma once
// A table definition (type-2 pages, possibly several chained): the columns, the real indexes (the
// B-trees) and the logical indexes (the names users see, each using one real index). The raw bytes
// are kept beside the parsed fields so that a writer can rebuild the definition from them.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/page_file.h"
#include "jet/value.h"

namespace kv::jet {

struct Column {
    std::string name;
    ColumnType type = ColumnType::Long;
    std::uint16_t number = 0;           // order of the columns, and the bit in the null mask
    std::uint16_t variableIndex = 0;    // slot in the row's variable-offset table
    std::uint16_t rowColumnNumber = 0;  // position among the columns not deleted
    std::uint16_t fixedOffset = 0;      // after the row's column count
    std::uint16_t length = 0;
    std::uint8_t flags = 0;
    std::uint8_t extraFlags = 0;
    std::uint16_t sortOrder = 0;  // Text and Memo
    std::uint8_t sortVersion = 0;
    std::uint8_t codePage = 0;
    std::uint8_t precision = 0;  // Numeric
    std::uint8_t scale = 0;      // Numeric

    // Asked for every cell read, so kept inline.
    bool isFixedLength() const { return flags & format::tdef::column::kFlagFixedLength; }
    bool isAutonumber() const { return flags & format::tdef::column::kFlagAutonumber; }
    bool isCompressedText() const { return extraFlags & format::tdef::column::kExtraFlagCompressedText; }
    // Memo and OLE, whose values may live on long-value pages.
    bool isLongValue() const { return type == ColumnType::Memo || type == ColumnType::Ole; }
};

struct RealIndexColumn {
    std::uint16_t columnNumber = 0;
    bool ascending = true;
};

struct RealIndex {
    std::vector<RealIndexColumn> columns;
    std::uint32_t ownedPagesMap = 0;
    std::uint32_t firstPage = 0;
    std::uint8_t flags = 0;

    bool isUnique() const;
    bool ignoresNulls() const;
};

struct LogicalIndex {
    std::string name;
    std::uint32_t number = 0;
    std::uint32_t realIndex = 0;
    std::uint8_t type = 0;

    bool isPrimaryKey() const;
};

struct TableDef {
    std::string name;
    std::uint32_t page = 0;
    std::vector<std::uint8_t> raw;  // the definition's bytes, continuation page headers removed
    std::uint32_t rowCount = 0;     // as stored; may be stale
    std::uint32_t nextAutonumber = 0;
    std::uint8_t tableType = 0;
    std::uint16_t maxColumns = 0;
    std::uint16_t variableColumnCount = 0;
    std::uint32_t ownedPagesMap = 0;
    std::uint32_t freeSpaceMap = 0;
    std::vector<Column> columns;  // by column number
    std::vector<RealIndex> realIndexes;
    std::vector<LogicalIndex> logicalIndexes;

    // The position in `columns` of the column with this number; throws when there is none.
    std::size_t columnPosition(std::uint16_t number) const;
};

// Throws FormatError for a damaged definition.
TableDef readTableDef(const PageFile& file, std::uint32_t page, std::string name);

}  // namespace kv::jet
