// Creating, opening, emptying and closing History databases through the scripted fake of the
// window, on files of the build (template, mapping.xls) and fixtures written by other programs.
#include "shell/history_database.h"
#include "fake_ui.h"
#include "history_db/compact_history_database.h"
#include "operation_files.h"
#include "shell/form_create.h"
#include "ui/controls.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>

using kv::history_db::kStaleCompactedFileName;
using kv::history_db::kTemplateFileName;
using namespace kv::shell;
using kv::shell::DataObjects;
using kv::testing::columnValues;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using kv::ui::BoxAnswer;
using kv::ui::BoxButtons;
using kv::ui::BoxKind;
using kv::ui::testing::FakeUi;
namespace fs = std::filesystem;

namespace {

const char* const kOpened = "Kestrovane databases opened, importing or exporting history enabled";
const char* const kClosed = "Kestrovane database closed and compacted";
const char* const kNotHistory = "Selected database file not a valid History/Kestrovane database";
const char* const kEmptyQuestion = "Deleting all records of the history/Kestrovane database. Are you sure ?";
const char* const kDatabaseControls[] = {"ComboBox_ImportType", "ComboBox_ExportContest",
                                         "CloseThDB",           "Exit1",
                                         "EmptyThDB",           "PruneThDB",
                                         "RestoreThDB",         "ViewThDB"};

std::map<std::string, bool> enabledControls(const FakeUi& ui) {
    std::map<std::string, bool> enabled;
    for (const auto& control : kv::ui::mainWindowControls())
        enabled[std::string(control.name)] = ui.isEnabled(control.name);
    return enabled;
}

// The contests of the shipped ExportMapping sheet whose History is 1, read from its text source.
std::vector<std::string> shippedExportContests() {
    std::ifstream in(KV_SOURCE_DIR "/resources/mapping/ExportMapping.csv");
    std::vector<std::string> contests;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream cells(line);
        std::string contest, history;
        std::getline(cells, contest, ',');
        std::getline(cells, history, ',');
        if (history == "1") contests.push_back(contest);
    }
    return contests;
}

std::string historyRows(int count) {
    std::string csv = "Call,Name,data2\n";
    for (int i = 0; i < count; ++i)
        csv += "K" + std::to_string(i) + "ABC,Operator number " + std::to_string(i) + ",5A\n";
    return csv;
}

class HistoryDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { kv::shell::FormCreate(ui); }

    // `answer`: the reply to the question whether to replace an existing file.
    void createNew(const std::string& path, std::optional<BoxAnswer> answer = std::nullopt) {
        ui.expectDialog("SaveDialog_newThDB", path);
        if (answer)
            ui.expectMessageBox(path + " already exists.\nDo you want to replace it?", BoxKind::Information,
                                BoxButtons::YesNo, *answer);
        NewThDBClick(ui, data);
    }
    void open(const std::string& path) {
        ui.expectDialog("OpenDialog_ThDB", path);
        Open_ThDbClick(ui, data);
    }

    void expectDatabaseOpen() {
        for (const char* control : kDatabaseControls) EXPECT_TRUE(ui.isEnabled(control)) << control;
        EXPECT_FALSE(ui.isEnabled("Open_ThDb"));
        EXPECT_EQ(ui.text("StatusBar1"), kOpened);
    }
    void expectNoDatabase() {
        for (const char* control : kDatabaseControls) EXPECT_FALSE(ui.isEnabled(control)) << control;
        EXPECT_TRUE(ui.isEnabled("Open_ThDb"));
        EXPECT_FALSE(ui.isEnabled("Button_Import"));
        EXPECT_FALSE(ui.isEnabled("Button_Export"));
        EXPECT_EQ(ui.text("StatusBar1"), kClosed);
    }

    ProgramFiles files;
    FakeUi ui{files.withSeparator()};
    DataObjects data;
};

}  // namespace

TEST_F(HistoryDatabaseTest, NewCopiesTheTemplateOpensItAndListsTheExportContests) {
    const std::string path = files.file("calls.mdb");
    createNew(path);

    EXPECT_EQ(ui.dialogFilter("SaveDialog_newThDB"), "Kestrovane database(*.mdb)|*.mdb");
    EXPECT_EQ(ui.dialogDefaultExt("SaveDialog_newThDB"), ".mdb");
    EXPECT_EQ(ui.state().HistoryPath, path);
    EXPECT_EQ(fileBytes(path), fileBytes(files.file(kTemplateFileName)));
    expectDatabaseOpen();
    EXPECT_TRUE(ui.isEnabled("Label_ImportType"));
    EXPECT_TRUE(ui.isEnabled("Label_ExportContest"));
    EXPECT_EQ(ui.items("ComboBox_ExportContest"), shippedExportContests());
    EXPECT_FALSE(ui.items("ComboBox_ExportContest").empty());
    EXPECT_TRUE(columnValues(path, "History", "Call").empty());
}

TEST_F(HistoryDatabaseTest, NewAsksBeforeReplacingAFileAndKeepsItOnNo) {
    const std::string path = files.file("precious.mdb");
    writeHistoryDatabase(path, historyRows(3));
    const std::string before = fileBytes(path);

    createNew(path, BoxAnswer::No);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(ui.state().HistoryPath, "");
    EXPECT_TRUE(ui.isEnabled("Open_ThDb"));

    createNew(path, BoxAnswer::None);
    EXPECT_EQ(fileBytes(path), before) << "closing the box by its frame is no Yes";

    createNew(path, BoxAnswer::Yes);
    EXPECT_TRUE(columnValues(path, "History", "Call").empty());
    expectDatabaseOpen();
}

TEST_F(HistoryDatabaseTest, NewWithoutTheTemplateSaysSoBeforeAnyDialog) {
    fs::remove(files.file(kTemplateFileName));
    ui.expectMessageBox(
        "Cannot create new database, template file \"kestrovane_mdb.template\" not found in "
        "Kestrovane directory",
        BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    NewThDBClick(ui, data);
    EXPECT_EQ(ui.state().HistoryPath, "");
}

TEST_F(HistoryDatabaseTest, ANewDatabaseThatFailsToOpenIsRemovedAndTheWindowHasNoDatabase) {
    const auto enabledBefore = enabledControls(ui);
    const std::string path = files.file("dir a;b/new.mdb");
    fs::create_directories(fs::path(path).parent_path());

    // Refused: a template that is an Access database but no History database.
    fs::copy_file(KV_FIXTURES_DIR "/jet4/testV2000.mdb", files.file(kTemplateFileName),
                  fs::copy_options::overwrite_existing);
    ui.expectDialog("SaveDialog_newThDB", path);
    ui.expectMessageBox(kNotHistory, BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    NewThDBClick(ui, data);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(enabledControls(ui), enabledBefore);

    // Failed after the window had entered Database open: the mapping workbook is missing.
    fs::copy_file(KV_PROGRAM_DIR "/kestrovane_mdb.template", files.file(kTemplateFileName),
                  fs::copy_options::overwrite_existing);
    fs::remove(files.file("mapping.xls"));
    EXPECT_THROW(createNew(path), std::runtime_error);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(enabledControls(ui), enabledBefore);
    EXPECT_FALSE(data.history);
    EXPECT_FALSE(data.mapping);
}

TEST_F(HistoryDatabaseTest, NewWhileADatabaseIsOpenClosesAndCompactsItFirst) {
    const std::string first = files.file("first.mdb"), second = files.file("second.mdb");
    writeHistoryDatabase(first, historyRows(2000));
    open(first);
    ui.expectMessageBox(kEmptyQuestion, BoxKind::Information, BoxButtons::YesNo, BoxAnswer::Yes);
    EmptyThDBClick(ui, data);
    const std::string emptied = fileBytes(first);
    std::ofstream(files.file(kStaleCompactedFileName)) << "left behind by a compaction that stopped";

    createNew(second);

    const auto& statuses = ui.statusHistory();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], kClosed);
    EXPECT_EQ(statuses.back(), kOpened);
    EXPECT_NE(fileBytes(first), emptied) << "the emptied database was compacted";
    EXPECT_EQ(fs::file_size(first), fs::file_size(files.file(kTemplateFileName)))
        << "a compacted empty database is laid out as a new one";
    EXPECT_TRUE(columnValues(first, "History", "Call").empty());
    EXPECT_EQ(columnValues(first, "version", "Version"), std::vector<std::string>{"0.51"});
    EXPECT_FALSE(fs::exists(files.file(kStaleCompactedFileName)));
    EXPECT_EQ(ui.state().HistoryPath, second);
}

TEST_F(HistoryDatabaseTest, AnAccessDatabaseWithoutVersionIsRefusedAndNothingChanges) {
    const std::string path = files.file("other.mdb");
    fs::copy_file(KV_FIXTURES_DIR "/jet4/testV2000.mdb", path);
    const std::string before = fileBytes(path);
    const auto enabledBefore = enabledControls(ui);
    const auto statusesBefore = ui.statusHistory();

    ui.expectDialog("OpenDialog_ThDB", path);
    ui.expectMessageBox(kNotHistory, BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    Open_ThDbClick(ui, data);

    EXPECT_EQ(enabledControls(ui), enabledBefore);
    EXPECT_EQ(ui.statusHistory(), statusesBefore);
    EXPECT_TRUE(ui.items("ComboBox_ExportContest").empty());
    EXPECT_EQ(ui.state().HistoryPath, path) << "the rejected path is kept";
    EXPECT_EQ(fileBytes(path), before);

    createNew(files.file("new.mdb"));
    EXPECT_EQ(fileBytes(path), before) << "a new database does not compact the file Open refused";
    EXPECT_EQ(ui.statusHistory().back(), "Kestrovane databases opened, importing or exporting history enabled");
}

TEST_F(HistoryDatabaseTest, AFileThatIsNoDatabaseOrIsDamagedGivesAClearErrorAndStaysAsItWas) {
    const std::string text = files.file("notes.mdb"), damaged = files.file("damaged.mdb");
    std::ofstream(text) << "Call,Name\nK1ABC,Bob\n";
    const std::string templateBytes = fileBytes(files.file(kTemplateFileName));
    std::ofstream(damaged, std::ios::binary) << templateBytes.substr(0, templateBytes.size() / 3);
    const auto enabledBefore = enabledControls(ui);

    for (const auto& [path, expected] :
         {std::pair{text, text + " is not an Access database"}, std::pair{damaged, damaged}}) {
        const std::string before = fileBytes(path);
        ui.expectDialog("OpenDialog_ThDB", path);
        try {
            Open_ThDbClick(ui, data);
            ADD_FAILURE() << path << " was opened";
        } catch (const std::exception& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
        }
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(enabledControls(ui), enabledBefore);
    }
}

TEST_F(HistoryDatabaseTest, EmptyAsksAndDeletesEveryRowOnlyOnYes) {
    const std::string path = files.file("calls.mdb");
    writeHistoryDatabase(path, historyRows(3));
    open(path);

    ui.expectMessageBox(kEmptyQuestion, BoxKind::Information, BoxButtons::YesNo, BoxAnswer::No);
    EmptyThDBClick(ui, data);
    EXPECT_EQ(columnValues(path, "History", "Call").size(), 3u);

    const auto statusesBefore = ui.statusHistory();
    ui.expectMessageBox(kEmptyQuestion, BoxKind::Information, BoxButtons::YesNo, BoxAnswer::Yes);
    EmptyThDBClick(ui, data);
    EXPECT_TRUE(columnValues(path, "History", "Call").empty());
    EXPECT_EQ(ui.screenCursor(), kv::ui::ScreenCursor::Normal);
    EXPECT_EQ(ui.statusHistory(), statusesBefore) << "emptying leaves the status line alone";
}

TEST_F(HistoryDatabaseTest, ClosingAfterTheFileWentAwaySaysSoAndStillEndsClosed) {
    const std::string path = files.file("calls.mdb");
    createNew(path);
    ui.setText("Edit_TargetHistory", "out.txt");
    fs::remove(path);

    ui.expectMessageBox(path + " not found", BoxKind::Error, BoxButtons::Ok, BoxAnswer::Ok);
    CloseThDBClick(ui, data);

    expectNoDatabase();
    EXPECT_EQ(ui.text("Edit_TargetHistory"), "");
    EXPECT_FALSE(data.history);
    EXPECT_FALSE(data.mapping);
}

TEST_F(HistoryDatabaseTest, AFailedCompactionIsReportedAndLeavesTheDatabaseAsItWas) {
    const std::string path = files.file("readonly.mdb");
    writeHistoryDatabase(path, historyRows(5));
    open(path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string before = fileBytes(path);

    ui.expectMessageBox("Error: Cannot compact " + path + ": Cannot write " + path + ": the file is read-only",
                        BoxKind::Error, BoxButtons::Ok, BoxAnswer::Ok);
    CloseThDBClick(ui, data);

    expectNoDatabase();
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_FALSE(fs::exists(files.file(kStaleCompactedFileName)));
}

TEST_F(HistoryDatabaseTest, ExitClosesAndCompactsThenEndsButAFailedCloseKeepsTheProgram) {
    const std::string path = files.file("calls.mdb");
    createNew(path);
    fs::create_directories(files.file(kStaleCompactedFileName) + "/in the way");

    EXPECT_THROW(Exit1Click(ui, data), std::exception);
    EXPECT_FALSE(ui.terminateRequested()) << "the error box shows and the program goes on";

    fs::remove_all(files.file(kStaleCompactedFileName));
    open(path);
    Exit1Click(ui, data);
    EXPECT_TRUE(ui.terminateRequested());
    expectNoDatabase();
    EXPECT_EQ(columnValues(path, "version", "Version"), std::vector<std::string>{"0.51"});
}
