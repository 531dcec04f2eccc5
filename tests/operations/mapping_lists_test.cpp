// The window's lists that the mapping workbook fills, through the scripted fake of the window.
#include "shell/mapping_lists.h"
#include "fake_ui.h"
#include "import/ordered_history_file.h"
#include "operation_files.h"

#include <gtest/gtest.h>

using kv::mapping::MappingWorkbook;
using kv::shell::FillExportContests;
using kv::shell::FillHistoryFileContests;
using kv::testing::ProgramFiles;
using kv::testing::writeWorkbook;
using kv::ui::testing::FakeUi;

TEST(MappingLists, TheListsTakeTheWorkbooksContestsReplacingWhatWasThere) {
    ProgramFiles files;
    const std::string path = files.file("mapping_test.xls");
    writeWorkbook(path,
                  "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
                  "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n"
                  "NAQPCW,1,NAQP,Call,Name,,,,,,Call,,,,Name,,\n"
                  "CQWWCW,0,DX,Call,,,,,,,Call,,,,,,\n"
                  "NAQPSSB,1,NAQP,Call,Name,,,,,,Call,,,,Name,,\n"
                  "FD,1,FD,Call,data2,Sect,,,,,Call,,Sect,data2,,,\n",
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8\n"
                  "NAQPCW,1,Call,Name,,,,State,,\n"
                  "CQWWCW,0,Call,,,,,,,\n"
                  "FD,1,Call,,,,Sect,,,\n");
    MappingWorkbook workbook(path);
    FakeUi ui;
    ui.addItem("ComboBox_ExportContest", "stale", std::nullopt);
    ui.setItemIndex("ComboBox_ExportContest", 0);
    ui.addItem("Combobox_Contest", "stale", std::nullopt);
    ui.setEnabled("Combobox_Contest", false);
    ui.setEnabled("Label_Contest", false);

    FillExportContests(ui, workbook);
    EXPECT_EQ(ui.items("ComboBox_ExportContest"), (std::vector<std::string>{"NAQPCW", "FD"}));
    EXPECT_EQ(ui.itemIndex("ComboBox_ExportContest"), -1) << "no contest is picked for the user";

    FillHistoryFileContests(ui, workbook);
    EXPECT_EQ(ui.items("Combobox_Contest"),
              (std::vector<std::string>{kv::import::kByOrderContestType, "NAQP", "NAQP", "FD"}))
        << "reading the file by its !!Order!! comes first";
    EXPECT_EQ(ui.itemIndex("Combobox_Contest"), 0);
    EXPECT_TRUE(ui.isEnabled("Combobox_Contest"));
    EXPECT_TRUE(ui.isEnabled("Label_Contest"));
}
