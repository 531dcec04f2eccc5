// A contest's call-history file, exported and imported again by its own order into a new History,
// gives back every value it carried: the logger reads what the export writes.
#include "export/history_file_export.h"
#include "import/import_run.h"
#include "import/ordered_history_file.h"
#include "mapping/mapping_workbook.h"
#include "operation_files.h"

#include <gtest/gtest.h>

#include <filesystem>

using kv::history_db::HistoryStore;
using kv::testing::columnValues;
namespace fs = std::filesystem;

namespace {

constexpr const char* kImportHeader =
    "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
    "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n";
constexpr const char* kExportHeader =
    "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8,field9,field10,field11,field12,"
    "field13,field14\n";

// Stations with a value in every column either contest exports, blanks and a comma-free text too.
constexpr const char* kStations =
    "Call,Name,Loc1,Sect,State,Ck,Exch1,Power,CqZone,ITUZone,UserText\n"
    "DL1ABC,HANS,JO62,DX,,,,100,14,28,from Berlin\n"
    "K1ABC,JOHN,FN42,EMA,MA,71,2A,5,5,8,an old friend\n"
    "VE3AAA,,EN82,ONE,ON,,,,4,,\n"
    "W1AW,HIRAM,,CT,CT,36,1D,1500,5,8,\n";

class RoundTripTest : public ::testing::Test {
protected:
    RoundTripTest() {
        kv::testing::writeHistoryDatabase(original, kStations);
        kv::testing::writeWorkbook(workbookPath, kImportHeader,
                                   std::string(kExportHeader) +
                                       // Only the first eight positions: a file without !!Order!!.
                                       "SS,1,Call,Name,Loc1,,Sect,State,Ck,,,,,,,\n"
                                       // Positions 9 to 14 too: a file that names its fields.
                                       "DX,1,Call,Name,,,,State,,,Exch1,,Power,CqZone,ITUZone,UserText\n");
    }

    // The contest's file written from the original History and imported by its order into a new one.
    std::string exportAndImportAgain(const std::string& contest) {
        const std::string file = files.file(contest + ".txt");
        {
            HistoryStore store(original);
            kv::mapping::MappingWorkbook workbook(workbookPath);
            kv::export_::exportHistoryFile(store, workbook.exportMapping(contest).columns, file,
                                           kv::export_::HistoryFileEncoding::Utf8, {});
        }
        const std::string again = files.file(contest + ".mdb");
        fs::copy_file(files.file(kv::history_db::kTemplateFileName), again);
        HistoryStore store(again);
        kv::import::OrderedHistoryFile source(file);
        const kv::import::ImportCounts counts = kv::import::runImport(store, source, {});
        EXPECT_EQ(counts.cut.count, 0) << contest;
        EXPECT_TRUE(counts.fieldsSkipped.empty()) << contest;
        EXPECT_EQ(counts.extraFields, 0) << contest;
        return again;
    }

    // The stations' values in these columns, row by row in call order.
    std::vector<std::vector<std::string>> valuesOf(const std::string& database,
                                                   const std::vector<std::string>& columns) {
        std::vector<std::vector<std::string>> values;
        for (const std::string& column : columns) values.push_back(columnValues(database, "History", column));
        return values;
    }

    kv::testing::ProgramFiles files;
    const std::string original = files.file("original.mdb");
    const std::string workbookPath = files.file("mapping.xls");
};

}  // namespace

TEST_F(RoundTripTest, AFileOfTheFirstEightPositionsComesBackByTheLoggersDefaultOrder) {
    const std::vector<std::string> exported{"Call", "Name", "Loc1", "Sect", "State", "Ck"};
    const std::string again = exportAndImportAgain("SS");
    EXPECT_EQ(valuesOf(again, exported), valuesOf(original, exported));
    EXPECT_EQ(columnValues(again, "History", "UserText"), std::vector<std::string>(4, "")) << "not exported";
}

TEST_F(RoundTripTest, AFileThatNamesItsFieldsComesBackByItsOrder) {
    const std::vector<std::string> exported{"Call", "Name", "State", "Exch1", "Power", "CqZone", "ITUZone", "UserText"};
    const std::string again = exportAndImportAgain("DX");
    EXPECT_EQ(valuesOf(again, exported), valuesOf(original, exported));
    EXPECT_EQ(columnValues(again, "History", "Sect"), std::vector<std::string>(4, "")) << "not exported";
}
