// Tools > "Remove stations not heard since..." and Tools > "Restore a backup..." in the real main
// window under the offscreen platform: the date dialog, the list of backups and the boxes answered
// as a user would, and the file read back afterwards.
#include "operation_files.h"
#include "shell/history_database.h"
#include "window_test_support.h"
#include "windows/message_box.h"
#include "windows/program_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QMenu>
#include <QPushButton>

#include <functional>
#include <optional>

using kv::testing::columnValues;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using kv::windows::MessageBoxDialog;
using kv::windows::ProgramWindows;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::whenModalShows;

namespace {

// Acts on the next modal widget of this kind that is `wanted`, passing over the one still closing
// before it.
template <typename Widget>
void whenShown(
    std::function<void(Widget*)> act, std::function<bool(Widget*)> wanted = [](Widget*) { return true; }) {
    whenModalShows([act, wanted](QWidget* modal) {
        auto* shown = qobject_cast<Widget*>(modal);
        if (shown && wanted(shown)) return act(shown);
        whenShown<Widget>(act, wanted);
    });
}

// A box without that button is closed all the same, so that the test does not wait forever.
void clickButton(QDialog* box, const QString& text) {
    for (auto* button : box->findChildren<QPushButton*>())
        if (button->text() == text) return button->click();
    ADD_FAILURE() << "the box has no button " << text.toStdString();
    box->reject();
}

class HistoryMaintenanceWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        writeHistoryDatabase(path, "Call,Name,Updated\nK1OLD,Al,2019-06-30\nW2NEW,Bo,2024-05-01\nN3NONE,Cy,\n");
        windows.emplace(files.withSeparator());
        windows->form1.state().HistoryPath = path;
        ASSERT_TRUE(kv::shell::OpenTHDatabase(windows->form1, windows->dataObjects, path));
    }

    QAction* menuItem(const char* name) { return windows->form1.findChild<QAction*>(name); }

    // Answers the question box Yes, then remembers the text of the box that tells the outcome.
    void answerYesThenNote(QString& question, QString& outcome) {
        whenShown<MessageBoxDialog>([&](MessageBoxDialog* box) {
            question = box->text();
            whenShown<MessageBoxDialog>(
                [&](MessageBoxDialog* told) {
                    outcome = told->text();
                    clickButton(told, "OK");
                },
                [&question](MessageBoxDialog* shown) { return shown->text() != question; });
            clickButton(box, "&Yes");
        });
    }

    ProgramFiles files;
    const std::string path = files.file("calls.mdb");
    std::optional<ProgramWindows> windows;
};

}  // namespace

TEST_F(HistoryMaintenanceWindowTest, ToolsRemovesStaleStationsAndRestoresTheBackup) {
    ASSERT_NE(menuItem("PruneThDB"), nullptr);
    EXPECT_EQ(menuItem("PruneThDB")->text(), "Remove stations not heard since...");
    EXPECT_EQ(menuItem("RestoreThDB")->text(), "Restore a backup...");
    EXPECT_TRUE(menuItem("PruneThDB")->isEnabled());
    EXPECT_TRUE(menuItem("RestoreThDB")->isEnabled());

    QString question, outcome;
    whenShown<QInputDialog>([&](QInputDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "DateDialog");
        EXPECT_EQ(dialog->labelText(), "Remove the stations not heard since this day (YYYY-MM-DD):");
        EXPECT_EQ(dialog->textValue().size(), 10) << "it starts at a day a year ago";
        dialog->setTextValue("2023-01-01");
        answerYesThenNote(question, outcome);
        dialog->accept();
    });
    menuItem("PruneThDB")->trigger();
    EXPECT_TRUE(question.startsWith("Removing 2 stations not heard since 1-1-2023")) << question.toStdString();
    EXPECT_EQ(outcome, "2 stations removed, 1 station left in the History database");
    windows->dataObjects.history->close();
    EXPECT_EQ(columnValues(path, "History", "Call"), std::vector<std::string>{"W2NEW"});

    QStringList offered;
    whenShown<QInputDialog>([&](QInputDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "EntryChoiceDialog");
        offered = dialog->comboBoxItems();
        if (offered.isEmpty()) return dialog->reject();
        dialog->setTextValue(offered.front());
        answerYesThenNote(question, outcome);
        dialog->accept();
    });
    menuItem("RestoreThDB")->trigger();
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered.front().startsWith("calls.mdb.bup  ")) << offered.front().toStdString();
    EXPECT_TRUE(offered.front().endsWith("  3 stations")) << offered.front().toStdString();
    EXPECT_EQ(outcome.toStdString(), "Backup " + path + ".bup restored, 3 stations");
    windows->dataObjects.history->close();
    EXPECT_EQ(columnValues(path, "History", "Call"), (std::vector<std::string>{"K1OLD", "W2NEW", "N3NONE"}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
