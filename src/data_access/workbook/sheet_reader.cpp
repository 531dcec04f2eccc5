#include "data_access/workbook/sheet_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "data_access/workbook/biff_records.h"
#include "data_access/workbook/biff_string.h"
#include "data_access/workbook/number_cell_text.h"
#include "data_access/workbook/workbook_damage.h"

namespace kv::data_access::workbook {
namespace {

constexpr std::size_t kMaxColumns = 256;  // A to IV
constexpr std::size_t kRowAt = 0;
constexpr std::size_t kColumnAt = 2;
constexpr std::size_t kXfAt = 4;
constexpr std::size_t kValueAt = 6;
constexpr std::size_t kDimensionColumnsAt = 10;  // one past the last column
constexpr std::size_t kMulRkFirstAt = 4;
constexpr std::size_t kMulRkEntrySize = 6;  // an XF and an RK value
constexpr std::size_t kMulRkLastColumnSize = 2;

// An RK value: the high 30 bits of a double, or a 30-bit integer; either may be scaled by 100.
double rkValue(std::uint32_t rk) {
    const double value = rk & 0x02 ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                                   : std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
    return rk & 0x01 ? value / 100 : value;
}

class SheetCells {
public:
    SheetCells(const WorkbookGlobals& globals, std::size_t& textBudget, Sheet& sheet)
        : globals_(globals), textBudget_(textBudget), sheet_(sheet) {}

    void read(const BiffRecord& record) {
        const jet::ByteView& body = record.body;
        switch (record.type) {
        case biff::kNumber:
            add(body.u16(kRowAt), body.u16(kColumnAt),
                number(body.u16(kXfAt), std::bit_cast<double>(body.u64(kValueAt))));
            break;
        case biff::kRk:
            add(body.u16(kRowAt), body.u16(kColumnAt), number(body.u16(kXfAt), rkValue(body.u32(kValueAt))));
            break;
        case biff::kMulRk: readMulRk(body); break;
        case biff::kLabel:
            add(body.u16(kRowAt), body.u16(kColumnAt), readUnicodeString(body, kValueAt, CountSize::Word));
            break;
        case biff::kLabelSst: add(body.u16(kRowAt), body.u16(kColumnAt), sharedString(body.u32(kValueAt))); break;
        case biff::kBoolErr: add(body.u16(kRowAt), body.u16(kColumnAt), body.u8(kValueAt) ? "1" : "0"); break;
        case biff::kDimension: declareColumns(body.u16(kDimensionColumnsAt)); break;
        default: break;  // formulas, blanks and everything but values
        }
    }

private:
    void readMulRk(const jet::ByteView& body) {
        const std::uint16_t row = body.u16(kRowAt);
        const std::size_t first = body.u16(kColumnAt);
        if (body.size() < kMulRkFirstAt + kMulRkLastColumnSize) throw WorkbookDamage("it is too short for its fields");
        const std::size_t count = (body.size() - kMulRkFirstAt - kMulRkLastColumnSize) / kMulRkEntrySize;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = kMulRkFirstAt + i * kMulRkEntrySize;
            add(row, first + i, number(body.u16(at), rkValue(body.u32(at + 2))));
        }
    }

    std::string number(std::uint16_t xf, double value) const {
        return numberCellText(value, globals_.formats.kindOf(xf), globals_.dates1904);
    }

    const std::string& sharedString(std::uint32_t index) const {
        if (index >= globals_.sharedStrings.size())
            throw WorkbookDamage("it names shared string " + std::to_string(index) + ", but the table has " +
                                 std::to_string(globals_.sharedStrings.size()));
        return globals_.sharedStrings[index];
    }

    void declareColumns(std::size_t columns) {
        if (columns > kMaxColumns)
            throw WorkbookDamage("it declares " + std::to_string(columns) + " columns, more than a sheet has");
        sheet_.columns = std::max(sheet_.columns, columns);
    }

    void add(std::uint16_t row, std::size_t column, std::string text) {
        if (column >= kMaxColumns)
            throw WorkbookDamage("a cell of row " + std::to_string(row + 1) + " is in column " +
                                 std::to_string(column + 1) + ", past the last column of a sheet");
        if (text.empty()) return;
        if (text.size() > textBudget_)
            throw WorkbookDamage("its cells hold more text than a workbook of this size can");
        textBudget_ -= text.size();
        sheet_.columns = std::max(sheet_.columns, column + 1);
        sheet_.cells.push_back({row, static_cast<std::uint16_t>(column), std::move(text)});
    }

    const WorkbookGlobals& globals_;
    std::size_t& textBudget_;
    Sheet& sheet_;
};

}  // namespace

std::size_t readSheetCells(const jet::ByteView& stream, std::size_t offset, const WorkbookGlobals& globals,
                           std::size_t& textBudget, Sheet& sheet) {
    BiffRecordReader records(stream, offset);
    const std::optional<BiffRecord> bof = records.next();
    if (!bof || bof->type != biff::kBof)
        throw WorkbookDamage("sheet " + sheet.name + " has no BOF record at offset " + std::to_string(offset) +
                             " of the Workbook stream");
    SheetCells cells(globals, textBudget, sheet);
    for (int depth = 1; depth > 0;) {
        const std::optional<BiffRecord> record = records.next();
        if (!record) throw WorkbookDamage("the records of sheet " + sheet.name + " end without an EOF record");
        if (record->type == biff::kBof)
            ++depth;
        else if (record->type == biff::kEof)
            --depth;
        else if (depth == 1)
            readWithin(*record, [&] { cells.read(*record); });
    }
    return records.offset();
}

}  // namespace kv::data_access::workbook
