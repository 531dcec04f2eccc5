// The lookups in the mapping workbook, on workbooks written for each case by the build's own
// workbook writer and read back through the Excel provider.
#include "mapping/mapping_workbook.h"
#include "fake_ui.h"
#include "operation_files.h"

#include <gtest/gtest.h>

using namespace kv::mapping;
using kv::shell::DataObjects;
using kv::testing::ProgramFiles;
using kv::testing::writeWorkbook;
using kv::ui::BoxAnswer;
using kv::ui::BoxButtons;
using kv::ui::BoxKind;
using kv::ui::testing::FakeUi;

namespace {

const char* const kImportHeader =
    "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
    "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n";
const char* const kExportHeader = "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8\n";

const char* const kNoMapping =
    "No import mapping exists for this content, create contest in mapping file and restart program";
const char* const kNotSupported = "Selected contest is not supported in N1MM Logger to use history";

class MappingWorkbookTest : public ::testing::Test {
protected:
    // Connects the data objects to a workbook with these sheets.
    void useWorkbook(const std::string& importRows, const std::string& exportRows = "") {
        const std::string path = files.file("mapping_test.xls");
        writeWorkbook(path, importRows.empty() ? "" : kImportHeader + importRows,
                      exportRows.empty() ? "" : kExportHeader + exportRows);
        ui.state().MappingPath = path;
        ConnectMappingWorkbook(ui, data);
    }

    ProgramFiles files;
    FakeUi ui{files.withSeparator()};
    DataObjects data;
};

}  // namespace

TEST_F(MappingWorkbookTest, ExportListHasTheHistoryRowsInSheetOrderAndLeavesTheSheetClosed) {
    useWorkbook("X,1,X,Call,,,,,,,Call,,,,,,\n",
                "NAQPCW,1,Call,Name,,,,State,,\n"
                "CQWWCW,0,Call,,,,,,,\n"
                "ARRLSSCW,1,Call,,,,Sect,,Ck,\n"
                "FD,1,Call,,,,Sect,,,\n");
    ui.addItem("ComboBox_ExportContest", "stale", std::nullopt);

    FillExportContests(ui, data);

    EXPECT_EQ(ui.items("ComboBox_ExportContest"), (std::vector<std::string>{"NAQPCW", "ARRLSSCW", "FD"}));
    EXPECT_EQ(ui.itemIndex("ComboBox_ExportContest"), -1);
    EXPECT_FALSE(data.ADODataSet_Mapping.isOpen());
    EXPECT_FALSE(data.ADODataSet_Mapping.isFiltered());
}

TEST_F(MappingWorkbookTest, HistoryFileListKeepsDuplicateTypesShowsTheFirstAndEnablesTheList) {
    useWorkbook(
        "NAQPCW,1,NAQP,Call,Name,State,,,,,Call,,,State,Name,,\n"
        "CQWWCW,0,DX,Call,,,,,,,Call,,,,,,\n"
        "NAQPSSB,1,NAQP,Call,Name,State,,,,,Call,,,State,Name,,\n"
        "FD,1,FD,Call,data2,Sect,,,,,Call,,Sect,data2,,,\n");
    ui.setEnabled("Combobox_Contest", false);
    ui.setEnabled("Label_Contest", false);

    FillHistoryFileContests(ui, data);

    EXPECT_EQ(ui.items("Combobox_Contest"), (std::vector<std::string>{"NAQP", "NAQP", "FD"}));
    EXPECT_EQ(ui.itemIndex("Combobox_Contest"), 0);
    EXPECT_TRUE(ui.isEnabled("Combobox_Contest"));
    EXPECT_TRUE(ui.isEnabled("Label_Contest"));
    EXPECT_FALSE(data.ADODataSet_Mapping.isOpen());
}

TEST_F(MappingWorkbookTest, LoggerContestIsAcceptedOnlyWithARowWhoseHistoryIsOne) {
    useWorkbook(
        "NAQPCW,1,NAQP,Call,,,,,,,Call,,,,Name,,\n"
        "CQWWCW,0,DX,Call,,,,,,,Call,,,,,,\n"
        "IARU,2,DX,Call,,,,,,,Call,,,,,,\n");

    EXPECT_TRUE(CheckLoggerContest(ui, data, "NAQPCW"));
    EXPECT_TRUE(CheckLoggerContest(ui, data, "naqpcw")) << "the workbook's lookups ignore letter case";

    ui.expectMessageBox(kNotSupported, BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    EXPECT_FALSE(CheckLoggerContest(ui, data, "CQWWCW"));
    ui.expectMessageBox(kNotSupported, BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    EXPECT_FALSE(CheckLoggerContest(ui, data, "IARU"));
    ui.expectMessageBox(kNoMapping, BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    EXPECT_FALSE(CheckLoggerContest(ui, data, "WFD"));
    EXPECT_FALSE(data.ADODataSet_Mapping.isOpen());

    OpenImportSheet(data);
    EXPECT_TRUE(IsLoggerContestListed(data, "NAQPCW"));
    EXPECT_FALSE(IsLoggerContestListed(data, "CQWWCW")) << "its only row has History 0";
    EXPECT_FALSE(IsLoggerContestListed(data, "WFD"));
    CloseSheet(data);
    EXPECT_FALSE(data.ADODataSet_Mapping.isOpen());
}

TEST_F(MappingWorkbookTest, FieldMapTakesTheFilledCellsInColumnOrderWithTheFirstAsKey) {
    useWorkbook(
        "ARRLSSCW,1,SS,Call,Sect,State,Ck,UserText,,,Call,Ck,Sect,,,,\n"
        "CWOPS,1,CWOPS,Call,Name,Exch1,,,,,,,,Exch1,Name,,\n"
        "BLANK,1,BLANK,,,,,,,,,,,,,,\n"
        "NAQPOLD,0,NAQP,Call,State,,,,,,Call,,,,,,\n"
        "NAQPCW,1,NAQP,Call,Name,State,UserText,,,,Call,,,State,Name,,\n");

    EXPECT_EQ(BuildFieldMap(data, ImportKind::Logger, "ARRLSSCW"),
              (FieldMap{{"Call", "Call"}, {"Ck", "Ck"}, {"Sect", "Sect"}}));
    EXPECT_EQ(BuildFieldMap(data, ImportKind::Logger, "CWOPS"), (FieldMap{{"Exchange1", "Exch1"}, {"Name", "Name"}}))
        << "without a Call cell the first filled logger column is the key";
    EXPECT_TRUE(BuildFieldMap(data, ImportKind::Logger, "BLANK").empty());
    EXPECT_EQ(
        BuildFieldMap(data, ImportKind::HistoryFile, "SS"),
        (FieldMap{
            {"field1", "Call"}, {"field2", "Sect"}, {"field3", "State"}, {"field4", "Ck"}, {"field5", "UserText"}}));
    EXPECT_EQ(BuildFieldMap(data, ImportKind::HistoryFile, "NAQP"), (FieldMap{{"field1", "Call"}, {"field2", "State"}}))
        << "the first row of a contest type is used, whatever its History";
    EXPECT_THROW(BuildFieldMap(data, ImportKind::Logger, "WFD"), std::runtime_error)
        << "a contest the workbook lacks must not borrow another contest's columns";
    EXPECT_FALSE(data.ADODataSet_Mapping.isOpen());
}

TEST_F(MappingWorkbookTest, ExportColumnsAreTheEightCellsOfTheContestsRow) {
    useWorkbook("X,1,X,Call,,,,,,,Call,,,,,,\n",
                "NAQPCW,1,Call,Name,,,,State,,\n"
                "ARRLSSCW,1,Call,,,,Sect,,Ck,\n");

    EXPECT_EQ(ReadExportColumns(data, "ARRLSSCW"),
              (std::array<std::string, 8>{"Call", "", "", "", "Sect", "", "Ck", ""}));
    EXPECT_EQ(ReadExportColumns(data, "NAQPCW"),
              (std::array<std::string, 8>{"Call", "Name", "", "", "", "State", "", ""}));
    EXPECT_THROW(ReadExportColumns(data, "FD"), std::runtime_error);
}

TEST_F(MappingWorkbookTest, AMissingSheetOrColumnIsTheProvidersOrTheCursorsError) {
    useWorkbook("NAQPCW,1,NAQP,Call,,,,,,,Call,,,,,,\n");
    try {
        FillExportContests(ui, data);
        FAIL() << "a workbook without ExportMapping was read";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("has no sheet ExportMapping"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(data.ADODataSet_Mapping.isOpen());

    const std::string path = files.file("short.xls");
    writeWorkbook(path, kImportHeader + std::string("NAQPCW,1,NAQP,Call,,,,,,,Call,,,,,,\n"),
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7\nNAQPCW,1,Call,,,,,,\n");
    ui.state().MappingPath = path;
    ConnectMappingWorkbook(ui, data);
    try {
        ReadExportColumns(data, "NAQPCW");
        FAIL() << "a sheet without field8 was read";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "ADODataSet_Mapping: Field 'field8' not found");
    }
}
