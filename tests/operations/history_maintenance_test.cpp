// Tools > "Remove stations not heard since..." and Tools > "Restore a backup..." through the
// scripted fake of the window, on History databases of the test's own.
#include "shell/history_maintenance.h"
#include "fake_ui.h"
#include "history_db/backup_set.h"
#include "history_db/history_date.h"
#include "history_db/history_store.h"
#include "operation_files.h"
#include "shell/history_database.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kv::shell;
using kv::history_db::backupPaths;
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

class HistoryMaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeHistoryDatabase(path, "Call,Name,Updated\nK1OLD,Al,2019-06-30\nW2NEW,Bo,2024-05-01\nN3NONE,Cy,\n");
        ui.state().HistoryPath = path;
        ui.state().MappingPath = files.file("mapping.xls");
        ASSERT_TRUE(OpenTHDatabase(ui, data, path));
    }

    void inform(const std::string& text) {
        ui.expectMessageBox(text, BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
    }
    void ask(const std::string& text, BoxAnswer answer) {
        ui.expectMessageBox(text, BoxKind::Information, BoxButtons::YesNo, answer);
    }
    std::vector<std::string> calls() { return columnValues(path, "History", "Call"); }

    ProgramFiles files;
    const std::string path = files.file("calls.mdb");
    FakeUi ui{files.withSeparator()};
    DataObjects data;
};

const std::string kQuestion =
    "Removing 2 stations not heard since 1-1-2023 from the History database: 1 last updated before that day and 1 "
    "with no Updated date, which count as never heard. Are you sure ?";

}  // namespace

TEST_F(HistoryMaintenanceTest, PruneAsksForADayThenWhetherToRemoveThemAndTellsTheOutcome) {
    kv::history_db::CalendarDate yearAgo = kv::history_db::localToday();
    --yearAgo.year;
    if (yearAgo.month == 2 && yearAgo.day == 29) yearAgo.day = 28;
    ui.expectDateDialog(kPruneDatePrompt, "2023-01-01", kv::history_db::isoText(yearAgo));
    ask(kQuestion, BoxAnswer::No);
    PruneThDBClick(ui, data);
    data.history->close();
    EXPECT_EQ(calls(), (std::vector<std::string>{"K1OLD", "W2NEW", "N3NONE"})) << "No removes nothing";
    EXPECT_FALSE(fs::exists(backupPaths(path)[0]));

    const std::string before = fileBytes(path);
    ui.expectDateDialog(kPruneDatePrompt, "2023-01-01");
    ask(kQuestion, BoxAnswer::Yes);
    inform("2 stations removed, 1 station left in the History database");
    PruneThDBClick(ui, data);
    EXPECT_EQ(ui.text("StatusBar1"), "2 stations removed, 1 station left in the History database");
    EXPECT_EQ(ui.screenCursor(), kv::ui::ScreenCursor::Normal);
    EXPECT_EQ(data.history->count(), 1);
    data.history->close();
    EXPECT_EQ(calls(), std::vector<std::string>{"W2NEW"});
    EXPECT_EQ(fileBytes(backupPaths(path)[0]), before);

    ui.expectDateDialog(kPruneDatePrompt, "2023-01-01");
    inform("No station of the History database was last heard before 1-1-2023.");
    PruneThDBClick(ui, data);
}

TEST_F(HistoryMaintenanceTest, PruneTellsAWrongDayWithTheFormItTakesAndACancelDoesNothing) {
    const std::string before = fileBytes(path);
    ui.expectDateDialog(kPruneDatePrompt, "31.12.2022");
    inform("\"31.12.2022\" is not a date; write it as YYYY-MM-DD, e.g. 2024-03-31");
    PruneThDBClick(ui, data);
    ui.expectDateDialog(kPruneDatePrompt, std::nullopt);
    PruneThDBClick(ui, data);
    data.history->close();
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(HistoryMaintenanceTest, RestoreListsTheBackupsAndPutsTheChosenOneBackUndoably) {
    inform("There is no backup of " + path + " yet.");
    RestoreThDBClick(ui, data);

    ui.expectDateDialog(kPruneDatePrompt, "2030-01-01");
    ask("Removing 3 stations not heard since 1-1-2030 from the History database: 2 last updated before that day and "
        "1 with no Updated date, which count as never heard. Are you sure ?",
        BoxAnswer::Yes);
    inform("3 stations removed, 0 stations left in the History database");
    PruneThDBClick(ui, data);
    std::ofstream(backupPaths(path)[1]) << "not a database";

    const std::vector<kv::history_db::BackupEntry> backups = kv::history_db::listBackups(path);
    ASSERT_EQ(backups.size(), 2u);
    const std::vector<std::string> lines{kv::history_db::backupLine(backups[0]),
                                         kv::history_db::backupLine(backups[1])};
    EXPECT_EQ(lines[0], "calls.mdb.bup  " + backups[0].modified + "  3 stations");

    ui.expectEntryChoice(kRestorePrompt, lines, 1);
    inform(backups[1].path + " cannot be restored: " + backups[1].problem);
    RestoreThDBClick(ui, data);

    ui.expectEntryChoice(kRestorePrompt, lines, 0);
    ask("Replace the History database with the backup " + lines[0] +
            "?\nThe database as it is now becomes the newest backup.",
        BoxAnswer::No);
    RestoreThDBClick(ui, data);
    EXPECT_EQ(data.history->count(), 0) << "No restores nothing";

    ui.expectEntryChoice(kRestorePrompt, lines, 0);
    ask("Replace the History database with the backup " + lines[0] +
            "?\nThe database as it is now becomes the newest backup.",
        BoxAnswer::Yes);
    const std::string restored = "Backup " + backups[0].path + " restored, 3 stations";
    inform(restored);
    RestoreThDBClick(ui, data);
    EXPECT_EQ(ui.text("StatusBar1"), restored);
    EXPECT_EQ(data.history->count(), 3) << "the open database is read again";
    data.history->close();
    EXPECT_EQ(calls(), (std::vector<std::string>{"K1OLD", "W2NEW", "N3NONE"}));
    EXPECT_TRUE(columnValues(backupPaths(path)[0], "History", "Call").empty()) << "the pruned one is a backup now";
}
