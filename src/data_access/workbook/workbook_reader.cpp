#include "data_access/workbook/workbook_reader.h"

#include <algorithm>
#include <cstdio>

#include "data_access/workbook/biff_records.h"
#include "data_access/workbook/biff_string.h"
#include "data_access/workbook/compound_file.h"
#include "data_access/workbook/shared_strings.h"
#include "data_access/workbook/sheet_reader.h"
#include "data_access/workbook/workbook_damage.h"

namespace kv::data_access::workbook {
namespace {

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::size_t kBoundSheetOffsetAt = 0;
constexpr std::size_t kBoundSheetNameAt = 6;
constexpr std::size_t kXfFormatAt = 2;
constexpr std::size_t kFormatCodeAt = 2;
// Cells may repeat a shared string many times over, but not make text beyond this many bytes for
// each byte of the file, and a MiB.
constexpr std::size_t kTextPerFileByte = 64;
constexpr std::size_t kTextBeyondFileSize = std::size_t{1} << 20;

struct SheetStart {
    Sheet sheet;
    std::uint32_t offset = 0;
};

void requireBiff8(const BiffRecord& bof) {
    readWithin(bof, [&] {
        const std::uint16_t version = bof.body.u16(0);
        if (version != kBiff8) {
            char text[8];
            std::snprintf(text, sizeof text, "0x%04X", version);
            throw WorkbookDamage("its BIFF version is " + std::string(text) + ", not 0x0600 (Excel 8.0)");
        }
    });
}

// The globals substream: the sheets and where their substreams start, and what their cells need.
// `end` becomes the offset after its EOF record.
std::vector<SheetStart> readGlobals(const jet::ByteView& stream, WorkbookGlobals& globals, std::size_t& end) {
    BiffRecordReader records(stream, 0);
    const std::optional<BiffRecord> bof = records.next();
    if (!bof || bof->type != biff::kBof) throw WorkbookDamage("the Workbook stream does not start with a BOF record");
    requireBiff8(*bof);
    std::vector<SheetStart> sheets;
    for (;;) {
        const std::optional<BiffRecord> record = records.next();
        if (!record) throw WorkbookDamage("the workbook's global records end without an EOF record");
        const jet::ByteView& body = record->body;
        switch (record->type) {
        case biff::kEof: end = records.offset(); return sheets;
        case biff::kFilePass: throw WorkbookProtected();  // every record after it is encrypted
        case biff::kBoundSheet:
            readWithin(*record, [&] {
                SheetStart start{{readUnicodeString(body, kBoundSheetNameAt, CountSize::Byte), 0, {}},
                                 body.u32(kBoundSheetOffsetAt)};
                sheets.push_back(std::move(start));
            });
            break;
        case biff::kSst: {
            std::vector<jet::ByteView> parts{body};
            while (records.nextIs(biff::kContinue)) parts.push_back(records.next()->body);
            readWithin(*record, [&] { globals.sharedStrings = readSharedStrings(std::move(parts)); });
            break;
        }
        case biff::kXf: readWithin(*record, [&] { globals.formats.addXf(body.u16(kXfFormatAt)); }); break;
        case biff::kFormat:
            readWithin(*record, [&] {
                globals.formats.addFormat(body.u16(0), readUnicodeString(body, kFormatCodeAt, CountSize::Word));
            });
            break;
        case biff::kDateMode: readWithin(*record, [&] { globals.dates1904 = body.u16(0) != 0; }); break;
        default: break;
        }
    }
}

// Each sheet's records are read once: substreams follow the globals (which end at `end`) and one
// another, so sheets that claim the same records are damage.
void readSheetsInOrder(const jet::ByteView& stream, const WorkbookGlobals& globals, std::size_t end,
                       std::size_t textBudget, std::vector<SheetStart>& starts) {
    std::vector<SheetStart*> byOffset;
    for (SheetStart& start : starts) byOffset.push_back(&start);
    std::stable_sort(byOffset.begin(), byOffset.end(),
                     [](const SheetStart* a, const SheetStart* b) { return a->offset < b->offset; });
    for (SheetStart* start : byOffset) {
        if (start->offset < end)
            throw WorkbookDamage("the records of sheet " + start->sheet.name + " at offset " +
                                 std::to_string(start->offset) + " overlap those before offset " + std::to_string(end));
        end = readSheetCells(stream, start->offset, globals, textBudget, start->sheet);
    }
}

}  // namespace

std::vector<Sheet> readWorkbook(std::span<const std::uint8_t> file) {
    try {
        const std::vector<std::uint8_t> bytes = CompoundFile(file).rootStream("Workbook");
        const jet::ByteView stream(bytes, "the Workbook stream");
        WorkbookGlobals globals;
        std::size_t end = 0;
        std::vector<SheetStart> starts = readGlobals(stream, globals, end);
        readSheetsInOrder(stream, globals, end, kTextPerFileByte * file.size() + kTextBeyondFileSize, starts);
        std::vector<Sheet> sheets;
        for (SheetStart& start : starts) sheets.push_back(std::move(start.sheet));
        return sheets;
    } catch (const jet::FormatError& error) {
        throw WorkbookDamage(error.what());
    }
}

}  // namespace kv::data_access::workbook
