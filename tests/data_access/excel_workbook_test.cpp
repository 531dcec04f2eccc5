// The workbook reader behind the Excel provider: the program's mapping.xls and workbooks written by
// xlwt read cell for cell as xlrd (an independent reader) reads them; dates in both date systems;
// the shared strings' CONTINUE records; and damaged workbooks, which end in a message naming the
// file and the place, never in a crash.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "all_rows.h"
#include "data_access/excel_provider.h"
#include "data_access/workbook/shared_strings.h"
#include "data_access/workbook/workbook_damage.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using testing::errorOf;
using testing::runPython;
using testing::TempDir;

// Every cell that holds a value, one "sheet row column text" line each, after a "sheet columns"
// line per sheet; header cells with no text are named as the provider names them.
const char* xlrdDump =
    "import sys, xlrd\n"
    "for s in xlrd.open_workbook(sys.argv[1]).sheets():\n"
    "    print(s.name, s.ncols)\n"
    "    for r in range(s.nrows):\n"
    "        for c, cell in enumerate(s.row(r)):\n"
    "            if cell.ctype == xlrd.XL_CELL_NUMBER or cell.ctype == xlrd.XL_CELL_BOOLEAN:\n"
    "                v = cell.value\n"
    "                text = str(int(v)) if v == int(v) else repr(v)\n"
    "            else:\n"
    "                text = cell.value\n"
    "            if r == 0 and text == \"\": text = \"F%d\" % (c + 1)\n"
    "            if text != \"\": print(s.name, r, c, text)\n";

std::string providerDump(const std::string& path) {
    auto provider = openExcelProvider(path);
    std::string dump;
    for (const std::string& table : provider->tableNames()) {
        const std::string sheet = table.substr(0, table.size() - 1);
        auto cells = provider->openTable(table);
        dump += sheet + " " + std::to_string(cells->columnNames().size()) + "\n";
        for (std::size_t c = 0; c < cells->columnNames().size(); ++c)
            dump += sheet + " 0 " + std::to_string(c) + " " + cells->columnNames()[c] + "\n";
        const auto rows = testing::allRows(*cells);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                if (rows[r][c])
                    dump += sheet + " " + std::to_string(r + 1) + " " + std::to_string(c) + " " + *rows[r][c] + "\n";
    }
    return dump;
}

TEST(ExcelWorkbook, ProgramMappingWorkbookReadsAsXlrdReadsIt) {
    const std::string mapping = std::string(KV_PROGRAM_DIR) + "/mapping.xls";
    const std::string dump = providerDump(mapping);
    EXPECT_EQ(dump, runPython(xlrdDump, {mapping}));
    EXPECT_NE(dump.find("ImportMapping 1 0 "), std::string::npos);
    EXPECT_NE(dump.find("ExportMapping 1 0 "), std::string::npos);
}

// Numbers as RK and NUMBER records, Booleans, text that needs UTF-16, rich text, and so many
// strings that the shared string table goes on in CONTINUE records, one string across several.
TEST(ExcelWorkbook, XlwtCellsOfEveryKindReadAsXlrdReadsThem) {
    TempDir dir;
    const std::string path = dir.file("kinds.xls");
    runPython(
        "import sys, xlwt\n"
        "b = xlwt.Workbook(encoding=\"utf-8\")\n"
        "s = b.add_sheet(\"Values\")\n"
        "for c, t in enumerate([\"Whole\", \"Fraction\", \"\", \"Flag\", \"Text\"]): s.write(0, c, t)\n"
        "rows = [(1, 2.5, True, \"Grüße\"), (-3, 0.01, False, \"日本語 €\"), (100000, -0.5, True, \"x\"),\n"
        "        (2 ** 40, 123456789.125, False, \"ÿ\"), (-2 ** 29, 1e-7, True, \"\")]\n"
        "for r, (n, f, flag, text) in enumerate(rows, 1):\n"
        "    s.write(r, 0, n); s.write(r, 1, f); s.write(r, 2, f * 3); s.write(r, 3, flag); s.write(r, 4, text)\n"
        "font = xlwt.Font(); font.bold = True\n"
        "s.write_rich_text(7, 4, [\"plain \", (\"bold\", font), \" again\"])\n"
        "m = b.add_sheet(\"Many strings\")\n"
        "for r in range(2500): m.write(r, 0, \"string %d \" % r + \"ä\" * (r % 40))\n"
        "m.write(2500, 0, \"long \" * 4000)\n"
        "m.write(2501, 1, \"last\")\n"
        "b.save(sys.argv[1])\n",
        {path});
    const std::string dump = providerDump(path);
    EXPECT_EQ(dump, runPython(xlrdDump, {path}));
    for (const char* cell : {"Values 2 2 0.03", "Values 2 4 日本語 €", "Values 7 4 plain bold again",
                             "Values 4 0 1099511627776", "Many strings 2501 1 last"})
        EXPECT_NE(dump.find(std::string(cell) + "\n"), std::string::npos) << cell;
}

// Streams under 4096 bytes live in the mini stream; xlwt never puts the Workbook stream there, so
// mini_stream_workbook.py moves it.
TEST(ExcelWorkbook, WorkbookInTheMiniStreamReadsAsXlrdReadsIt) {
    TempDir dir;
    const std::string written = dir.file("written.xls"), small = dir.file("small.xls");
    testing::makeWorkbook(written, {{"ImportMapping", "Contest,History,Score\nNAQPCW,1,2.5\nCQWWCW,0,-3\n"}});
    runPython("import runpy, sys\nsys.argv = sys.argv[1:]\nrunpy.run_path(sys.argv[0], run_name=\"__main__\")\n",
              {std::string(KV_SOURCE_DIR) + "/tests/data_access/mini_stream_workbook.py", written, small});
    ASSERT_LT(testing::readFile(small).size(), 4096u);
    const std::string dump = providerDump(small);
    EXPECT_EQ(dump, runPython(xlrdDump, {small}));
    EXPECT_NE(dump.find("ImportMapping 2 2 -3\n"), std::string::npos);
}

TEST(ExcelWorkbook, DatesCountFromTheWorkbooksDateSystem) {
    TempDir dir;
    auto datesOf = [&](bool dates1904) {
        const std::string path = dir.file(dates1904 ? "1904.xls" : "1900.xls");
        runPython(
            "import sys, datetime, xlwt\n"
            "b = xlwt.Workbook(); b.dates_1904 = sys.argv[2] == \"1904\"; s = b.add_sheet(\"D\")\n"
            "s.write(0, 0, \"When\")\n"
            "stamp = xlwt.easyxf(num_format_str=\"D-MMM-YY h:mm:ss\")\n"
            "s.write(1, 0, datetime.datetime(2005, 12, 1, 9, 5, 7), stamp)\n"
            "s.write(2, 0, datetime.date(1999, 12, 31), xlwt.easyxf(num_format_str=\"DD.MM.YYYY\"))\n"
            "s.write(3, 0, 60.75, stamp)\n"
            "s.write(4, 0, 0.5, xlwt.easyxf(num_format_str=\"h:mm\"))\n"
            "b.save(sys.argv[1])\n",
            {path, dates1904 ? "1904" : "1900"});
        std::vector<std::string> dates;
        auto rows = testing::allRows(*openExcelProvider(path)->openTable("D$"));
        for (const auto& row : rows) dates.push_back(row.at(0).value_or("NULL"));
        return dates;
    };
    // Day 60 of the 1900 system is Excel's 29 February 1900.
    EXPECT_EQ(datesOf(false),
              (std::vector<std::string>{"12-1-2005 9:05:07", "12-31-1999", "2-29-1900 18:00:00", "12:00:00"}));
    EXPECT_EQ(datesOf(true),
              (std::vector<std::string>{"12-1-2005 9:05:07", "12-31-1999", "3-1-1904 18:00:00", "12:00:00"}));
}

// A string split between an SST record and a CONTINUE record changes from one byte a character to
// two there; its rich-text runs and phonetic data are passed over, in either record.
TEST(ExcelWorkbook, SharedStringsGoOnInContinueRecords) {
    const std::vector<std::uint8_t> sst = {
        2, 0, 0,    0, 2, 0, 0, 0,              // two uses, two strings
        4, 0, 0x0C, 1, 0, 3, 0, 0, 0, 'a', 'b'  // 4 characters, 1 run, 3 bytes of phonetic data
    };
    const std::vector<std::uint8_t> continued = {
        0x01, 0xE4, 0x00, 0x42, 0x30,        // the option byte, then "ä" and "あ" as UTF-16
        1,    0,    2,    0,    9,    9, 9,  // the run and the phonetic data
        2,    0,    0,    'o',  'k'          // the second string
    };
    EXPECT_EQ(workbook::readSharedStrings({jet::ByteView(sst, "SST"), jet::ByteView(continued, "CONTINUE")}),
              (std::vector<std::string>{"abäあ", "ok"}));
    const std::vector<std::uint8_t> cut(continued.begin(), continued.begin() + 9);
    EXPECT_THROW(workbook::readSharedStrings({jet::ByteView(sst, "SST"), jet::ByteView(cut, "CONTINUE")}),
                 workbook::WorkbookDamage);
}

// Bytes of a workbook as xlwt writes it: 512-byte sectors, the Workbook stream in consecutive sectors.
class XlwtLayout {
public:
    explicit XlwtLayout(std::string bytes) : bytes(std::move(bytes)) {}

    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
               static_cast<std::uint8_t>(bytes[at + 2]) << 16 |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
    }
    void put16(std::size_t at, std::uint16_t value) {
        bytes[at] = static_cast<char>(value & 0xFF);
        bytes[at + 1] = static_cast<char>(value >> 8);
    }
    void put32(std::size_t at, std::uint32_t value) {
        put16(at, value & 0xFFFF);
        put16(at + 2, value >> 16);
    }
    static std::size_t sectorAt(std::uint32_t sector) { return (sector + 1) * 512; }
    std::size_t fatEntryAt(std::uint32_t sector) const { return sectorAt(u32(76)) + 4 * sector; }
    std::size_t workbookEntryAt() const { return sectorAt(u32(48)) + 128; }  // the root entry's first child
    std::uint32_t workbookSector() const { return u32(workbookEntryAt() + 116); }
    // The file offset of the first record of `type` in the Workbook stream.
    std::size_t recordAt(std::uint16_t type) const {
        std::size_t at = sectorAt(workbookSector());
        while (static_cast<std::uint16_t>(u32(at)) != type) at += 4 + (u32(at) >> 16);
        return at;
    }

    std::string bytes;
};

TEST(ExcelWorkbook, DamagedWorkbooksEndInAMessageNamingTheFileAndThePlace) {
    TempDir dir;
    const std::string path = dir.file("mapping.xls");
    testing::makeWorkbook(path, {{"ImportMapping", "Contest,History\nNAQPCW,1\nCQWWCW,0\n"}});
    const XlwtLayout original(testing::readFile(path));
    auto refusalOf = [&](const std::function<void(XlwtLayout&)>& damage) {
        XlwtLayout damaged = original;
        damage(damaged);
        const std::string file = dir.file("damaged.xls");
        testing::writeFile(file, damaged.bytes);
        return errorOf([&] { openExcelProvider(file)->openTable("ImportMapping$"); });
    };
    const std::string damaged = "Workbook " + dir.file("damaged.xls") + " is damaged or not an Excel 8.0 workbook (";
    const std::uint32_t first = original.workbookSector();
    const std::vector<std::pair<std::function<void(XlwtLayout&)>, std::string>> cases = {
        {[](XlwtLayout& f) { f.bytes.resize(612); },
         "sector " + std::to_string(original.u32(76)) + " lies past the end of the file)"},
        {[](XlwtLayout& f) { f.bytes.resize(f.bytes.size() / 2); }, "lies past the end of the file)"},
        {[&](XlwtLayout& f) { f.put32(f.fatEntryAt(first), 0xABCDEF); },
         "the Workbook stream names sector 11259375, but there are "},
        {[&](XlwtLayout& f) { f.put32(f.fatEntryAt(first + 1), first); },
         "the Workbook stream loops back to sector " + std::to_string(first) + ")"},
        {[](XlwtLayout& f) { f.bytes[f.workbookEntryAt()] = 'X'; }, "the file has no Workbook stream)"},
        {[](XlwtLayout& f) { f.put16(f.recordAt(0x00FC) + 4 + 8, 0xFFFF); },
         "of the Workbook stream: a string's characters run past the end of its record)"},
        {[](XlwtLayout& f) { f.put32(f.recordAt(0x0085) + 4, 0); },
         "the records of sheet ImportMapping at offset 0 overlap those before offset "},
        {[](XlwtLayout& f) { f.put32(f.recordAt(0x00FD) + 4 + 6, 77); },
         "of the Workbook stream: it names shared string 77, but the table has "},
    };
    for (const auto& [damage, where] : cases) {
        const std::string message = refusalOf(damage);
        EXPECT_EQ(message.rfind(damaged, 0), 0u) << message;
        EXPECT_NE(message.find(where), std::string::npos) << message;
    }
    // A FILEPASS record: the records after it are encrypted.
    EXPECT_EQ(refusalOf([](XlwtLayout& f) { f.put16(f.recordAt(0x0042), 0x002F); }),
              "Workbook " + dir.file("damaged.xls") + " is password protected and cannot be read");
    EXPECT_EQ(refusalOf([](XlwtLayout&) {}), "no error");
}

}  // namespace
}  // namespace kv::data_access
