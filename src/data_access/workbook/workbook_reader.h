#pragma once
// Excel 8.0 (BIFF8) workbooks read from their bytes, for the cells this program reads: the sheets
// in the workbook's order, each with the cells that hold a value as the text a user sees in them.
// Text reads as it is; a number as numberCellText writes it, as a date or time where the cell's
// format is one (cell_formats.h); a Boolean or error cell as "1" or "0" (an error reads "1"
// unless its code is 0). Formula cells and empty texts hold no value. Nothing the file says is
// used before it is checked against the bytes there are, and nothing is allocated beyond what
// they hold.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kv::data_access::workbook {

struct Cell {
    std::uint16_t row = 0;
    std::uint16_t column = 0;  // below 256
    std::string text;          // not empty
};

struct Sheet {
    std::string name;
    // The sheet's width: the columns its DIMENSION record declares, and at least every cell's.
    std::size_t columns = 0;
    // In the order of the records; of two cells at one place, the later holds.
    std::vector<Cell> cells;
};

// Throws WorkbookDamage saying where, for anything but an Excel 8.0 workbook that can be read, and
// WorkbookProtected for one encrypted with a password.
std::vector<Sheet> readWorkbook(std::span<const std::uint8_t> file);

}  // namespace kv::data_access::workbook
