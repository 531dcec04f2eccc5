#include "shell/form_create.h"
#include "fake_ui.h"
#include "program_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace kv::ui;
using kv::shell::FormCreate;
using kv::ui::testing::FakeUi;
using kv::ui::testing::ProgramDirectory;
namespace fs = std::filesystem;

namespace {

const char* const kInitialStatus = "Kestrovane initialized, Open Kestrovane database to start (File menu)";

}  // namespace

TEST(FormCreate, LeavesTheWindowInNoDatabaseState) {
    ProgramDirectory directory(true);
    FakeUi ui(directory.withSeparator());
    ui.setVisible("ProgressBar1", true);
    ui.setText("Edit_SourceFilename", "old.mdb");
    ui.setText("Edit_TargetHistory", "old.txt");
    ui.addItem("Combobox_Contest", "stale", std::nullopt);

    FormCreate(ui);

    EXPECT_EQ(ui.text("TForm1"), "Kestrovane History Manager");
    EXPECT_EQ(ui.state().MappingPath, directory.withSeparator() + "mapping.xls");
    EXPECT_FALSE(ui.terminateRequested());

    EXPECT_EQ(ui.items("ComboBox_ImportType"),
              (std::vector<std::string>{"Logger HAM Database", "History file", "Contest log (Cabrillo or ADIF)"}));
    EXPECT_EQ(ui.text("Edit_MinLogs"), "1");
    EXPECT_FALSE(ui.isVisible("Edit_MinLogs")) << "shown only for contest logs";
    EXPECT_EQ(ui.itemIndex("ComboBox_ImportType"), -1);
    EXPECT_TRUE(ui.items("Combobox_Contest").empty());
    EXPECT_EQ(ui.text("Edit_SourceFilename"), "");
    EXPECT_EQ(ui.text("Edit_TargetHistory"), "");

    for (const char* name : {"ComboBox_ImportType", "ComboBox_ExportContest", "Combobox_Contest", "Button_Import",
                             "Button_TargetHistory", "Button_Export", "CloseThDB", "Exit1", "EmptyThDB", "ViewThDB"})
        EXPECT_FALSE(ui.isEnabled(name)) << name;
    for (const char* name : {"NewThDB", "Open_ThDb", "About1", "Edit_SourceFilename", "Label_ImportType",
                             "Label_ExportContest", "TabSheet1", "TabSheet2"})
        EXPECT_TRUE(ui.isEnabled(name)) << name;

    EXPECT_EQ(ui.statusHistory(), std::vector<std::string>{kInitialStatus});
    EXPECT_FALSE(ui.isVisible("ProgressBar1"));
}

TEST(FormCreate, WithoutTheMappingWorkbookShowsTheErrorOnceAndEndsTheProgram) {
    ProgramDirectory directory(false);
    FakeUi ui(directory.withSeparator());
    const std::string mapping = directory.withSeparator() + "mapping.xls";
    ui.expectMessageBox(mapping + " not found in program directory, Kestrovane terminated", BoxKind::Error,
                        BoxButtons::Ok, BoxAnswer::Ok);

    FormCreate(ui);

    EXPECT_TRUE(ui.terminateRequested());
    // The rest of the start-up still ran; the end takes effect in the event loop.
    EXPECT_EQ(ui.statusHistory(), std::vector<std::string>{kInitialStatus});
    EXPECT_FALSE(ui.isEnabled("ComboBox_ImportType"));
}

TEST(FormCreate, AFolderNamedMappingXlsCountsAsPresentAsOnlyExistenceIsTested) {
    ProgramDirectory directory(false);
    fs::create_directory(directory.withSeparator() + "mapping.xls");
    FakeUi ui(directory.withSeparator());
    FormCreate(ui);
    EXPECT_FALSE(ui.terminateRequested());
}
