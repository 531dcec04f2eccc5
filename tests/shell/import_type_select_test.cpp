#include "fake_ui.h"
#include "shell/form_create.h"
#include "shell/import_page.h"
#include "ui/import_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

using namespace kv::ui;
using kv::shell::ComboBox_ImportTypeSelect;
using kv::shell::SourceChoices;
using kv::ui::testing::FakeUi;

namespace {

// The window as the History database's opening leaves it, with an export target chosen too.
void enterExportReady(FakeUi& ui) {
    for (const char* name : {"ComboBox_ImportType", "ComboBox_ExportContest", "CloseThDB", "Exit1", "EmptyThDB",
                             "ViewThDB", "Button_TargetHistory", "Edit_TargetHistory", "Button_Export"})
        ui.setEnabled(name, true);
    ui.setEnabled("Open_ThDb", false);
    ui.addItem("ComboBox_ExportContest", "CQWW", std::nullopt);
    ui.setItemIndex("ComboBox_ExportContest", 0);
    ui.setText("Edit_TargetHistory", "history.txt");
}

void pick(FakeUi& ui, const std::string& importType) {
    const auto entries = ui.items("ComboBox_ImportType");
    const auto found = std::find(entries.begin(), entries.end(), importType);
    ASSERT_NE(found, entries.end()) << importType;
    ui.setItemIndex("ComboBox_ImportType", static_cast<int>(found - entries.begin()));
}

struct RecordedChoices {
    int hamDB = 0;
    int histFile = 0;
    int contestLogs = 0;
    SourceChoices choices() {
        return {[this](Ui&) { ++hamDB; }, [this](Ui&) { ++histFile; }, [this](Ui&) { ++contestLogs; }};
    }
};

}  // namespace

TEST(ImportTypeSelect, LoggerDatabaseResetsBothSidesAndAsksForTheLoggerDatabase) {
    FakeUi ui("/nowhere/");
    ui.expectMessageBox("/nowhere/mapping.xls not found in program directory, Kestrovane terminated", BoxKind::Error,
                        BoxButtons::Ok, BoxAnswer::Ok);
    kv::shell::FormCreate(ui);
    enterExportReady(ui);
    RecordedChoices recorded;

    pick(ui, "Logger HAM Database");
    ComboBox_ImportTypeSelect(ui, recorded.choices());

    EXPECT_EQ(recorded.hamDB, 1);
    EXPECT_EQ(recorded.histFile, 0);
    EXPECT_EQ(ui.statusHistory().back(), "Import type selected is HAM (Logger) database, specify filename");
    EXPECT_FALSE(ui.isEnabled("Label_Contest"));
    EXPECT_FALSE(ui.isEnabled("Combobox_Contest"));
    EXPECT_FALSE(ui.isEnabled("Button_Import"));
    EXPECT_TRUE(ui.isEnabled("Edit_SourceFilename"));
    // The export side drops back to "Database open"; its contest stays shown.
    EXPECT_FALSE(ui.isEnabled("Button_TargetHistory"));
    EXPECT_FALSE(ui.isEnabled("Button_Export"));
    EXPECT_EQ(ui.text("Edit_TargetHistory"), "");
    EXPECT_EQ(ui.text("ComboBox_ExportContest"), "CQWW");
    EXPECT_TRUE(ui.isEnabled("ComboBox_ExportContest"));
}

TEST(ImportTypeSelect, HistoryFileAfterLoggerEmptiesTheContestListBeforeItsDialog) {
    FakeUi ui;
    enterExportReady(ui);
    ui.addItem("ComboBox_ImportType", kLoggerHamDatabase, std::nullopt);
    ui.addItem("ComboBox_ImportType", kHistoryFile, std::nullopt);
    // The logger choice fills the list and readies the import, as a valid source and contest do.
    SourceChoices choices{[](Ui& ui) {
                              ui.setText("Edit_SourceFilename", "log.mdb");
                              ui.addItem("Combobox_Contest", "CQWW,5-4-2005", ContestRecord{"3", "CQWW"});
                              ui.setItemIndex("Combobox_Contest", 0);
                              ui.setEnabled("Label_Contest", true);
                              ui.setEnabled("Combobox_Contest", true);
                              ui.setEnabled("Button_Import", true);
                          },
                          // The user cancels the history file's dialog: the choice changes nothing.
                          [](Ui& ui) {
                              EXPECT_TRUE(ui.items("Combobox_Contest").empty());
                              EXPECT_EQ(ui.text("Edit_SourceFilename"), "");
                              EXPECT_FALSE(ui.isEnabled("Button_Import"));
                              EXPECT_FALSE(ui.isEnabled("Combobox_Contest"));
                              EXPECT_EQ(ui.text("StatusBar1"),
                                        "Import type selected is History(text)file, specify filename");
                          },
                          nullptr};

    pick(ui, "Logger HAM Database");
    ComboBox_ImportTypeSelect(ui, choices);
    ASSERT_TRUE(ui.isEnabled("Button_Import"));

    pick(ui, "History file");
    ComboBox_ImportTypeSelect(ui, choices);
    EXPECT_TRUE(ui.items("Combobox_Contest").empty());
    EXPECT_FALSE(ui.isEnabled("Combobox_Contest"));
    EXPECT_FALSE(ui.isEnabled("Button_Import"));
}

TEST(ImportTypeSelect, OnlyTheExactLoggerTextChoosesTheLoggerDatabase) {
    FakeUi ui;
    for (const char* text : {"logger HAM database", "Logger HAM Database ", ""}) {
        ui.clearItems("ComboBox_ImportType");
        ui.addItem("ComboBox_ImportType", text, std::nullopt);
        ui.setItemIndex("ComboBox_ImportType", 0);
        RecordedChoices recorded;
        ComboBox_ImportTypeSelect(ui, recorded.choices());
        EXPECT_EQ(recorded.hamDB, 0) << '"' << text << '"';
        EXPECT_EQ(recorded.histFile, 1) << '"' << text << '"';
    }
}

TEST(ImportTypeSelect, ContestLogsAskForLogsAndShowTheMinimumOfLogsOnlyForThem) {
    FakeUi ui;
    kv::shell::FillImportTypes(ui);
    RecordedChoices recorded;
    pick(ui, kContestLogs);
    ComboBox_ImportTypeSelect(ui, recorded.choices());
    EXPECT_EQ(recorded.contestLogs, 1);
    EXPECT_EQ(recorded.hamDB + recorded.histFile, 0);
    EXPECT_TRUE(ui.isVisible("Edit_MinLogs"));
    EXPECT_TRUE(ui.isVisible("Label_MinLogs"));
    EXPECT_EQ(ui.text("StatusBar1"), "Import type selected is contest log, specify one file or more");

    pick(ui, kHistoryFile);
    ComboBox_ImportTypeSelect(ui, recorded.choices());
    EXPECT_EQ(recorded.histFile, 1);
    EXPECT_FALSE(ui.isVisible("Edit_MinLogs"));
    EXPECT_FALSE(ui.isVisible("Label_MinLogs"));
}

TEST(ImportTypeSelect, AFailingSourceChoiceAbandonsTheRestOfTheSelection) {
    FakeUi ui;
    ui.addItem("ComboBox_ImportType", kHistoryFile, std::nullopt);
    ui.setItemIndex("ComboBox_ImportType", 0);
    ui.setEnabled("Button_Export", true);
    SourceChoices failing{nullptr, [](Ui&) { throw std::runtime_error("Cannot open file x.txt"); }, nullptr};

    EXPECT_THROW(ComboBox_ImportTypeSelect(ui, failing), std::runtime_error);
    EXPECT_TRUE(ui.isEnabled("Button_Export")) << "ResetExportControls comes after the choice";
}
