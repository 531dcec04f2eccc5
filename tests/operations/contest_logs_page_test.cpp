// The import page's third type through the scripted window: several logs chosen in one dialog,
// their contests listed, the minimum of logs read from its control, "Start IMPORT" with its
// summary box, and a file that is no log refused before anything is listed.
#include "fake_ui.h"
#include "operation_files.h"
#include "shell/form_create.h"
#include "shell/history_database.h"
#include "shell/import_page.h"
#include "ui/import_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace kv::shell;
using kv::testing::columnValues;
using kv::testing::ProgramFiles;
using kv::ui::BoxAnswer;
using kv::ui::BoxButtons;
using kv::ui::BoxKind;
using kv::ui::testing::FakeUi;
using ::testing::ElementsAre;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

class ContestLogsPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormCreate(ui);
        fs::copy_file(files.file(kv::history_db::kTemplateFileName), history);
        ui.state().HistoryPath = history;
        OpenTHDatabase(ui, data, history);
    }

    std::string writeLog(const std::string& name, const std::string& text) {
        const std::string path = files.file(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    void chooseLogs(const std::vector<std::string>& paths) {
        ui.setItemIndex("ComboBox_ImportType", 2);
        ui.expectFilesDialog("OpenDialog_ContestLogs", paths);
        ComboBox_ImportTypeSelect(ui, {{}, {}, [&](kv::ui::Ui& u) { OpenContestLogs(u, data); }});
    }
    void pickContest(int index) {
        ui.setItemIndex("Combobox_Contest", index);
        Combobox_ContestSelect(ui, data);
    }

    ProgramFiles files;
    const std::string history = files.file("calls.mdb");
    FakeUi ui{files.withSeparator()};
    DataObjects data;
};

const char* const kNaqp =
    "START-OF-LOG: 3.0\nCALLSIGN: K1ABC\nCONTEST: NAQP-CW\n"
    "QSO: 14030 CW 2026-01-10 1800 K1ABC ED MA W9XYZ BOB IL\n"
    "QSO: 14030 CW 2026-01-10 1801 K1ABC ED MA W9XZY BOB IL\n";
const char* const kSecondNaqp =
    "START-OF-LOG: 3.0\nCALLSIGN: K2DEF\nCONTEST: NAQP-CW\n"
    "QSO: 14030 CW 2026-01-10 1802 K2DEF SUE NY W9XYZ BOB IL\n";
const char* const kFieldDay = "<CALL:4>W1AW<CLASS:2>2A<ARRL_SECT:2>CT<CONTEST_ID:7>ARRL-FD<EOR>\n";

}  // namespace

TEST_F(ContestLogsPageTest, ManyLogsListTheirContestsAndImportWithTheMinimumOfLogs) {
    EXPECT_THAT(ui.items("ComboBox_ImportType"),
                ElementsAre(kv::ui::kLoggerHamDatabase, kv::ui::kHistoryFile, "Contest log (Cabrillo or ADIF)"));
    EXPECT_FALSE(ui.isVisible("Edit_MinLogs")) << "only contest logs have a minimum of logs";
    const std::vector<std::string> logs{writeLog("a.log", kNaqp), writeLog("b.log", kSecondNaqp),
                                        writeLog("fd.adi", kFieldDay)};
    chooseLogs(logs);
    EXPECT_THAT(ui.items("Combobox_Contest"), ElementsAre("NAQP-CW", "ARRL-FD"));
    EXPECT_EQ(ui.text("Edit_SourceFilename"), "3 contest logs");
    EXPECT_EQ(ui.hint("Edit_SourceFilename"), logs[0] + "\n" + logs[1] + "\n" + logs[2]);
    EXPECT_TRUE(ui.isVisible("Edit_MinLogs"));
    EXPECT_EQ(ui.text("Edit_MinLogs"), "1");
    EXPECT_FALSE(ui.isEnabled("Button_Import"));
    EXPECT_EQ(ui.text("StatusBar1"), "Contest logs loaded, select which contest to import");

    pickContest(0);
    EXPECT_EQ(ui.state().ImportContestLog, "NAQP-CW");
    ASSERT_TRUE(ui.isEnabled("Button_Import"));
    ui.setText("Edit_MinLogs", "2");
    ui.expectMessageBox(
        "3 logs read, with 4 QSOs.\n1 QSO of another contest was skipped.\n1 new station was not "
        "inserted: worked by fewer logs than the minimum.\n",
        BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    const kv::import::ImportCounts counts = Button_ImportClick(ui, data);
    EXPECT_EQ(counts.inserted, 3) << "W9XYZ and the two owners; W9XZY was worked once";
    EXPECT_EQ(counts.logs.otherContest, 1) << "the Field Day record";
    EXPECT_THAT(columnValues(history, "History", "Call"), ElementsAre("W9XYZ", "K1ABC", "K2DEF"));
    EXPECT_FALSE(ui.isVisible("ProgressBar1"));
}

TEST_F(ContestLogsPageTest, AMinimumThatIsNoNumberAndAFileThatIsNoLogAreRefused) {
    const std::string log = writeLog("a.log", kNaqp);
    chooseLogs({log});
    EXPECT_EQ(ui.text("Edit_SourceFilename"), "a.log");
    pickContest(0);
    ui.setText("Edit_MinLogs", "two");
    ui.expectMessageBox("\"two\" is no number of logs: type 1 or more", BoxKind::Information, BoxButtons::Ok,
                        BoxAnswer::Ok);
    Button_ImportClick(ui, data);
    EXPECT_TRUE(columnValues(history, "History", "Call").empty());
    EXPECT_FALSE(fs::exists(history + ".bup"));

    const std::string text = writeLog("calls.txt", "!!Order!!,Call,Name\nW1AW,HIRAM\n");
    ui.setItemIndex("ComboBox_ImportType", 2);
    ui.expectFilesDialog("OpenDialog_ContestLogs", {log, text});
    EXPECT_THAT([&] { OpenContestLogs(ui, data); },
                ThrowsMessage<std::runtime_error>(StrEq(text + " is neither a Cabrillo log nor an ADIF file")));
    EXPECT_THAT(ui.state().ContestLogPaths, ElementsAre(log)) << "the choice before stays";

    ui.expectFilesDialog("OpenDialog_ContestLogs", {});
    OpenContestLogs(ui, data);
    EXPECT_THAT(ui.items("Combobox_Contest"), ElementsAre("NAQP-CW")) << "a cancelled dialog changes nothing";
}
