// The real main window under the offscreen platform importing contest logs as a user would: the
// third import type, two logs chosen together in its file dialog, their contest picked, the
// minimum of logs typed, "Start IMPORT" and the box that tells what the logs held.
#include "operation_files.h"
#include "window_test_support.h"
#include "windows/program_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>
#include <optional>

using kv::testing::columnValues;
using kv::testing::ProgramFiles;
using kv::windows::ProgramWindows;
using kv::windows::TForm1;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::inspectThen;
using kv::windows::testing::SeenBox;
using kv::windows::testing::whenModalShows;

namespace {

class ContestLogsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        windows.emplace(files.withSeparator());
    }

    TForm1& window() { return windows->form1; }
    template <typename Widget>
    Widget* widget(const char* name) {
        auto* found = window().findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void pick(const char* list, int index) {
        auto* combo = widget<QComboBox>(list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    std::string writeLog(const std::string& name, const std::string& text) {
        std::ofstream(files.file(name), std::ios::binary) << text;
        return files.file(name);
    }

    ProgramFiles files;
    std::optional<ProgramWindows> windows;
};

}  // namespace

TEST_F(ContestLogsWindowTest, TwoLogsChosenTogetherImportThroughStartImport) {
    const std::string history = files.file("calls.mdb");
    kv::testing::writeHistoryDatabase(history, "Call,Name\nW9XYZ,ROBERT\n");
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QString::fromStdString(history));
        static_cast<QDialog*>(dialog)->accept();
    });
    window().findChild<QAction*>("Open_ThDb")->trigger();

    writeLog("k1abc.log",
             "START-OF-LOG: 3.0\nCALLSIGN: K1ABC\nCONTEST: NAQP-CW\n"
             "QSO: 14030 CW 2026-01-10 1800 K1ABC ED MA W9XYZ BOB IL\n");
    writeLog("k2def.adi", "<CALL:5>W9XYZ<NAME:3>BOB<CONTEST_ID:7>NAQP-CW<STATION_CALLSIGN:5>K2DEF<EOR>\n");
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "OpenDialog_ContestLogs");
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        dialog->setDirectory(QString::fromStdString(files.path().string()));
        dialog->selectFile("\"k1abc.log\" \"k2def.adi\"");
        static_cast<QDialog*>(dialog)->accept();
    });
    pick("ComboBox_ImportType", 2);
    EXPECT_EQ(window().text("Edit_SourceFilename"), "2 contest logs");
    ASSERT_EQ(window().items("Combobox_Contest"), std::vector<std::string>{"NAQP-CW"});
    EXPECT_TRUE(widget<QLineEdit>("Edit_MinLogs")->isVisibleTo(&window()));

    pick("Combobox_Contest", 0);
    widget<QLineEdit>("Edit_MinLogs")->setText("2");
    SeenBox seen;
    inspectThen(seen, [](kv::windows::MessageBoxDialog* box) { box->escapeButton()->click(); });
    widget<QPushButton>("Button_Import")->click();
    EXPECT_EQ(seen.text.trimmed(), "2 logs read, with 2 QSOs.");
    EXPECT_EQ(columnValues(history, "History", "Call"), (std::vector<std::string>{"W9XYZ", "K1ABC"}))
        << "K2DEF owns a log but sent nothing of itself: it is no station yet";
    EXPECT_EQ(columnValues(history, "History", "Name"), (std::vector<std::string>{"BOB", "ED"}));
}
