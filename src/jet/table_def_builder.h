#pragma once
// Writing a whole new table definition: the columns, one real index (B-tree) per logical index,
// and the usage-map references, serialised on one page or chained over several. Used when a
// database is created and when one is compacted; committing rows later only updates counters.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format.h"
#include "jet/value.h"

namespace kv::jet {

struct ColumnDesign {
    std::string name;
    ColumnType type = ColumnType::Long;
    std::uint16_t length = 0;  // bytes, as the definition stores it (Text: two per character)
    std::uint8_t flags = 0;
    std::uint8_t extraFlags = 0;
    std::uint16_t sortOrder = format::kGeneralSortOrder;
    std::uint8_t precision = 0;  // Numeric
    std::uint8_t scale = 0;      // Numeric
    bool required = false;       // NOT NULL: Access keeps it as a column property, not a flag
};

struct IndexColumnDesign {
    std::string column;
    bool descending = false;
};

struct IndexDesign {
    std::string name;
    std::vector<IndexColumnDesign> columns;
    bool unique = false;
    bool primaryKey = false;
    bool ignoreNulls = false;
    bool required = false;  // no key column may be NULL; Access sets it for the primary keys it creates
};

struct TableDesign {
    std::string name;
    std::vector<ColumnDesign> columns;  // in column-number order
    std::vector<IndexDesign> indexes;
    bool system = false;
    // The table's properties as another database kept them (MSysObjects LvProp), carried over as
    // they are; when empty they are made from the columns.
    std::vector<std::uint8_t> properties;
};

// Whether a new column of this type is kept in the variable part of a row (Text, Memo, OLE and
// Binary) rather than the fixed part.
bool isVariableLengthType(ColumnType type);

// A user table's column as Access creates it. `size` is the number of characters for Text and
// the byte count for Binary; other types have a size of their own and ignore it. Throws for a
// size out of range.
ColumnDesign userColumn(std::string name, ColumnType type, std::uint16_t size = 0, bool required = false,
                        bool autonumber = false);

// Checks a design before anything is written: names present and unique, index columns that exist,
// at most one primary key, at most 10 columns per index, an autonumber only on a Long column.
// Throws std::runtime_error naming the table and the problem.
void validateDesign(const TableDesign& design);

// A usage map's place: 1-byte row, 3-byte page, as a definition refers to it.
inline std::uint32_t mapPointer(std::uint32_t page, std::uint8_t row) { return page << 8 | row; }

// Where the pieces of one table live.
struct TableDefLayout {
    std::vector<std::uint32_t> pages;  // the definition's pages; the first is the table's id
    std::uint32_t ownedPagesMap = 0;
    std::uint32_t freeSpaceMap = 0;
    std::vector<std::uint32_t> indexMaps;   // one per index of the design
    std::vector<std::uint32_t> indexRoots;  // first page of each index's tree
};

// How many pages the definition takes.
std::uint32_t tableDefPageCount(const TableDesign& design);

// The definition's pages, in the order of layout.pages. The design must be valid.
std::vector<std::vector<std::uint8_t>> buildTableDef(const TableDesign& design, const TableDefLayout& layout);

// The MSysObjects LvProp value that carries the design's column properties (NOT NULL as the
// "Required" property, which is where Access and mdbtools look for it), or the design's own
// properties when it has them; empty when there are none.
std::vector<std::uint8_t> tableProperties(const TableDesign& design);

}  // namespace kv::jet
