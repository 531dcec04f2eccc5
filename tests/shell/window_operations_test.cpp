#include "shell/window_operations.h"
#include "fake_ui.h"

#include <gtest/gtest.h>

using namespace kv::ui;
using namespace kv::shell;
using kv::ui::testing::FakeUi;

TEST(WindowOperations, ResetImportControlsTouchesOnlyTheImportSide) {
    FakeUi ui;
    ui.setText("Edit_SourceFilename", "log.mdb");
    ui.addItem("Combobox_Contest", "CQWW,5-4-2005", ContestRecord{"1", "CQWW"});
    ui.setItemIndex("Combobox_Contest", 0);
    ui.setText("Edit_TargetHistory", "out.txt");

    ResetImportControls(ui);

    EXPECT_EQ(ui.text("Edit_SourceFilename"), "");
    EXPECT_TRUE(ui.items("Combobox_Contest").empty());
    EXPECT_FALSE(ui.isEnabled("Combobox_Contest"));
    EXPECT_FALSE(ui.isEnabled("Button_Import"));
    EXPECT_TRUE(ui.isEnabled("Edit_SourceFilename")) << "the source name is never disabled";
    EXPECT_TRUE(ui.isEnabled("Label_Contest"));
    EXPECT_EQ(ui.text("Edit_TargetHistory"), "out.txt");
    EXPECT_TRUE(ui.isEnabled("Button_Export"));
}

TEST(WindowOperations, ResetExportControlsKeepsTheChosenExportContest) {
    FakeUi ui;
    ui.addItem("ComboBox_ExportContest", "CQWW", std::nullopt);
    ui.setItemIndex("ComboBox_ExportContest", 0);
    ui.setText("Edit_TargetHistory", "out.txt");

    ResetExportControls(ui);

    EXPECT_FALSE(ui.isEnabled("Button_TargetHistory"));
    EXPECT_EQ(ui.text("Edit_TargetHistory"), "");
    EXPECT_FALSE(ui.isEnabled("Button_Export"));
    EXPECT_TRUE(ui.isEnabled("ComboBox_ExportContest"));
    EXPECT_EQ(ui.text("ComboBox_ExportContest"), "CQWW");
    EXPECT_TRUE(ui.isEnabled("Button_Import"));
}

TEST(WindowOperations, WaitCursorRestoresWhateverCursorWasShownBefore) {
    FakeUi ui;
    BeginWaitCursor(ui);
    EXPECT_EQ(ui.screenCursor(), ScreenCursor::Hourglass);
    EXPECT_EQ(ui.state().SavedCursor, ScreenCursor::Normal);
    EndWaitCursor(ui);
    EXPECT_EQ(ui.screenCursor(), ScreenCursor::Normal);

    // An operation abandoned while waiting leaves the hourglass; the next wait saves that one.
    ui.setScreenCursor(ScreenCursor::Hourglass);
    BeginWaitCursor(ui);
    EndWaitCursor(ui);
    EXPECT_EQ(ui.screenCursor(), ScreenCursor::Hourglass);
}
