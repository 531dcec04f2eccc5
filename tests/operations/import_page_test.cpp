// The import page through the scripted window: the logger database's contests listed with their
// start, the choices the page refuses in a box, "Start IMPORT" with its statuses and progress bar,
// and the working copy of a call-history file, which lives only while it is in use.
#include "shell/import_page.h"
#include "fake_ui.h"
#include "import/ordered_history_file.h"
#include "import_fixtures.h"
#include "operation_files.h"
#include "shell/form_create.h"
#include "shell/history_database.h"
#include "ui/import_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace kv::shell;
using kv::import::ImportCounts;
using kv::testing::columnValues;
using kv::testing::ProgramFiles;
using kv::testing::TemporaryFolderSetting;
using kv::testing::writeWorkbook;
using kv::ui::BoxAnswer;
using kv::ui::BoxButtons;
using kv::ui::BoxKind;
using kv::ui::ContestRecord;
using kv::ui::testing::FakeUi;
using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

class ImportPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv::testing::writeAccessDatabase(
            logger, kv::testing::kLoggerSchema,
            {{"ContestInstance", kv::testing::kContestInstances}, {"DXLOG", kv::testing::kQsos}});
        FormCreate(ui);
        fs::copy_file(files.file(kv::history_db::kTemplateFileName), history);
        ui.state().HistoryPath = history;
        OpenTHDatabase(ui, data, history);
    }

    void pickImportType(const char* type, const std::string& dialog, const std::string& chosen) {
        ui.setItemIndex("ComboBox_ImportType", std::string_view(type) == kv::ui::kLoggerHamDatabase ? 0 : 1);
        ui.expectDialog(dialog, chosen);
        ComboBox_ImportTypeSelect(
            ui, {[&](kv::ui::Ui& u) { OpenHamDB(u, data); }, [&](kv::ui::Ui& u) { OpenHistFile(u, data); }, {}});
    }
    void pickContest(const std::string& entry) {
        const auto items = ui.items("Combobox_Contest");
        const auto found = std::find(items.begin(), items.end(), entry);
        ASSERT_NE(found, items.end()) << entry;
        ui.setItemIndex("Combobox_Contest", static_cast<int>(found - items.begin()));
        Combobox_ContestSelect(ui, data);
    }
    std::string writeCallHistory(const std::string& name, const std::string& bytes) {
        const std::string file = files.file(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    ProgramFiles files;
    const std::string logger = files.file("ham.mdb"), history = files.file("calls.mdb");
    const std::string temporary = [this] {
        fs::create_directory(files.file("temporary"));
        return files.file("temporary");
    }();
    TemporaryFolderSetting temporarySetting{temporary};
    FakeUi ui{files.withSeparator()};
    DataObjects data;
};

}  // namespace

TEST_F(ImportPageTest, ALoggerDatabaseListsItsContestsThatTakeCallHistoryWithTheirStart) {
    pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", logger);

    EXPECT_EQ(ui.items("Combobox_Contest"),
              (std::vector<std::string>{"FD,6-22-2024", "FD,6-28-2025 18:00:00", "SSCW,11-7-2026 21:00:00",
                                        "STEWPERRY,12-20-2025"}));
    EXPECT_EQ(ui.itemRecord("Combobox_Contest", 0), (ContestRecord{"3", "FD"}));
    EXPECT_EQ(ui.itemRecord("Combobox_Contest", 1), (ContestRecord{"5", "FD"}));
    EXPECT_EQ(ui.itemIndex("Combobox_Contest"), 0);
    EXPECT_TRUE(ui.isEnabled("Combobox_Contest"));
    EXPECT_EQ(ui.text("Edit_SourceFilename"), "ham.mdb");
    EXPECT_EQ(ui.hint("Edit_SourceFilename"), logger);
    EXPECT_EQ(ui.state().LoggerDbPath, logger);
    EXPECT_EQ(ui.text("StatusBar1"), "HAM database loaded, select which specific contest to import");
    EXPECT_FALSE(ui.isEnabled("Button_Import")) << "showing the first entry is no pick";

    pickContest("FD,6-28-2025 18:00:00");
    EXPECT_EQ(ui.state().ImportContestNr, "5");
    EXPECT_EQ(ui.state().ImportContestName, "FD");
    EXPECT_TRUE(ui.isEnabled("Button_Import"));
    EXPECT_EQ(ui.text("StatusBar1"), "Contest selected, IMPORT to load contest in Kestrovane database");
}

TEST_F(ImportPageTest, AFileWithoutDxlogIsNoLoggerDatabase) {
    ui.setItemIndex("ComboBox_ImportType", 0);
    ui.expectDialog("OpenDialog_HamDB", history);
    ui.expectMessageBox("Selected database file not a valid N1MM Logger database", BoxKind::Information, BoxButtons::Ok,
                        BoxAnswer::Ok);
    ComboBox_ImportTypeSelect(ui, {[&](kv::ui::Ui& u) { OpenHamDB(u, data); }, {}, {}});
    EXPECT_TRUE(ui.items("Combobox_Contest").empty());
    EXPECT_FALSE(ui.isEnabled("Combobox_Contest"));
    EXPECT_FALSE(data.loggerLog);
}

TEST_F(ImportPageTest, AContestTheWorkbookDoesNotTakeIsRefusedInABox) {
    pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", logger);
    const std::pair<ContestRecord, const char*> refusals[] = {
        {{"4", "CQWPXCW"}, "Selected contest is not supported in N1MM Logger to use history"},
        {{"9", "NOSUCHTEST"},
         "No import mapping exists for this content, create contest in mapping file and restart program"}};
    for (const auto& [record, box] : refusals) {
        ui.clearItems("Combobox_Contest");
        ui.addItem("Combobox_Contest", record.contestName + ",1-1-2026", record);
        ui.setItemIndex("Combobox_Contest", 0);
        ui.expectMessageBox(box, BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
        Combobox_ContestSelect(ui, data);
        EXPECT_FALSE(ui.isEnabled("Button_Import")) << record.contestName;
    }
}

TEST_F(ImportPageTest, StartImportMergesTheChosenSourceAndSaysSo) {
    pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", logger);
    pickContest("FD,6-22-2024");
    const ImportCounts logged = Button_ImportClick(ui, data);
    EXPECT_EQ(logged.inserted, 3);
    const auto& statuses = ui.statusHistory();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], "Database backup created, IMPORT started");
    EXPECT_EQ(statuses.back(), "IMPORT finished");
    EXPECT_EQ(ui.progress().maximum(), 3);
    EXPECT_FALSE(ui.isVisible("ProgressBar1"));

    const std::string file = writeCallHistory("NAQP calls.txt", "!!Order!!,Call,Name,State\nK1ABC,JOHN,MA\n");
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    EXPECT_EQ(ui.state().HistoryFileSourcePath, file);
    EXPECT_EQ(ui.text("StatusBar1"), "History(text)file loaded, select which contest type to use");
    pickContest("NAQP");
    EXPECT_EQ(ui.state().ImportContestGeneral, "NAQP");
    EXPECT_EQ(Button_ImportClick(ui, data).updated, 1);
    EXPECT_EQ(columnValues(history, "History", "Call"), (std::vector<std::string>{"W1AW", "K1ABC", "N0XYZ"}));
    EXPECT_EQ(columnValues(history, "History", "Name")[1], "JOHN");
}

TEST_F(ImportPageTest, TheWorkingCopyLivesOnlyWhileARunReadsTheFileByAContestType) {
    const std::string file = writeCallHistory("NAQP calls.txt", "!!Order!!,Call,Name,State\nK1ABC,JOHN,MA\n");
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    EXPECT_TRUE(fs::is_empty(temporary)) << "choosing the file reads it, it makes no copy";

    pickContest("NAQP");
    EXPECT_EQ(Button_ImportClick(ui, data).inserted, 1);
    EXPECT_TRUE(fs::is_empty(temporary)) << "the run's end removes its copy";

    std::ofstream(file, std::ios::app) << "VE3AAA,ANN,ON\n";
    EXPECT_EQ(Button_ImportClick(ui, data).inserted, 1) << "another run on the same choice reads the file again";
    EXPECT_TRUE(fs::is_empty(temporary));

    // A mapping whose NAQP row names a column History lacks: the run fails on its first station.
    writeWorkbook(files.file("mapping.xls"),
                  "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
                  "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n"
                  "NAQPCW,1,NAQP,Call,Nickname,,,,,,Call,,,,Name,,\n",
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8\n");
    data.mapping.reset();
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    pickContest("NAQP");
    ui.expectMessageBox(file +
                            ", line 1: its !!Order!! is Call,Name,State, but the contest type NAQP reads "
                            "Call,Nickname.\nImport it as NAQP all the same?",
                        BoxKind::Information, BoxButtons::YesNo, BoxAnswer::Yes);
    EXPECT_THAT([&] { Button_ImportClick(ui, data); },
                ThrowsMessage<std::runtime_error>(HasSubstr("Field 'Nickname' not found")));
    EXPECT_TRUE(fs::is_empty(temporary)) << "a failed run removes it too";

    const std::string missing = files.file("missing.txt");
    ui.expectDialog("OpenDialog_SourceHistory", missing);
    EXPECT_THAT([&] { OpenHistFile(ui, data); },
                ThrowsMessage<std::runtime_error>(StrEq("Cannot open file " + missing)));
    EXPECT_EQ(ui.state().HistoryFileSourcePath, file) << "a refused file is no source";
}

TEST_F(ImportPageTest, AFileReadByItsOrderTellsWhatItCutAndSkippedInABoxAfterTheRun) {
    const std::string file = writeCallHistory("cqww.txt",
                                              "# CQ WW\n"
                                              "!!Order!!;Call;CqZone;Sponsor;UserText\n"
                                              "DL1ABC;14;;" +
                                                  std::string(260, 'x') +
                                                  "\n"
                                                  "K1ABC;5;;fine\n");
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    EXPECT_EQ(ui.items("Combobox_Contest").front(), kv::import::kByOrderContestType);
    pickContest(kv::import::kByOrderContestType);
    ui.expectMessageBox(
        "1 value was longer than its History column holds and was cut to fit (UserText); the first "
        "at line 3, call DL1ABC.\nFields with no History column were skipped: Sponsor.\n",
        BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    const ImportCounts counts = Button_ImportClick(ui, data);
    EXPECT_EQ(counts.inserted, 2);
    EXPECT_EQ(ui.statusHistory().back(), "IMPORT finished");
    EXPECT_EQ(columnValues(history, "History", "UserText"), (std::vector<std::string>{std::string(255, 'x'), "fine"}));
    EXPECT_EQ(columnValues(history, "History", "CqZone"), (std::vector<std::string>{"14", "5"}));
}

TEST_F(ImportPageTest, AContestTypeThatDisagreesWithTheFilesOrderIsImportedOnlyWhenTheUserSaysYes) {
    const std::string file =
        writeCallHistory("fd.txt", "!!Order!!,Call,Exch1,Sect,UserText\nW1AW,2A,CT,\nK1ABC,1D,EMA,\n");
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    pickContest("FD");
    const std::string question = file +
                                 ", line 1: its !!Order!! is Call,Exch1,Sect,UserText, but the contest type FD reads "
                                 "Call,data2,Sect,UserText.\nImport it as FD all the same?";
    ui.expectMessageBox(question, BoxKind::Information, BoxButtons::YesNo, BoxAnswer::No);
    EXPECT_EQ(Button_ImportClick(ui, data), ImportCounts{});
    EXPECT_TRUE(columnValues(history, "History", "Call").empty());
    EXPECT_FALSE(fs::exists(history + ".bup")) << "No starts nothing";

    ui.expectMessageBox(question, BoxKind::Information, BoxButtons::YesNo, BoxAnswer::Yes);
    EXPECT_EQ(Button_ImportClick(ui, data).inserted, 2);
    EXPECT_EQ(columnValues(history, "History", "data2"), (std::vector<std::string>{"2A", "1D"}));

    const std::string agreeing = writeCallHistory("fd2.txt", "!!Order!!,call,DATA2,,UserText\nN0XYZ,3A,CO,\n");
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", agreeing);
    pickContest("FD");
    EXPECT_EQ(Button_ImportClick(ui, data).inserted, 1) << "no question: the names agree, letter case aside";
}
