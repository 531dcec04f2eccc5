#pragma once
// One sheet's substream of the Workbook stream: its cell records, from its BOF record to its EOF
// record. Substreams embedded in it (a chart's, each from a BOF to an EOF of its own) are passed
// over.

#include <cstddef>
#include <string>
#include <vector>

#include "data_access/workbook/cell_formats.h"
#include "data_access/workbook/workbook_reader.h"
#include "jet/bytes.h"

namespace kv::data_access::workbook {

// What the globals substream tells about every sheet's cells.
struct WorkbookGlobals {
    std::vector<std::string> sharedStrings;
    CellFormats formats;
    bool dates1904 = false;
};

// Adds the cells of the substream at `offset` of `stream` to `sheet`, sets its width and returns
// the offset after its EOF record. The texts of its cells may take up to `textBudget` bytes, which
// they use up: a cell's record may name a long shared string, and many such cells must not make
// more text than a workbook of this size can hold.
std::size_t readSheetCells(const jet::ByteView& stream, std::size_t offset, const WorkbookGlobals& globals,
                           std::size_t& textBudget, Sheet& sheet);

}  // namespace kv::data_access::workbook
