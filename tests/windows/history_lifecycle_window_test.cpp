// The real main window under the offscreen platform, driven through its menus and dialogs as a
// user would: a new History database, opening one, emptying it and closing it; and the status
// line keeping its whole text in view.
#include "operation_files.h"
#include "window_test_support.h"
#include "windows/program_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include <filesystem>
#include <fstream>
#include <optional>

using kv::testing::columnValues;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using kv::windows::ProgramWindows;
using kv::windows::TForm1;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::whenModalShows;

namespace {

const char* const kOpened = "Kestrovane databases opened, importing or exporting history enabled";
const char* const kClosed = "Kestrovane database closed and compacted";

class HistoryLifecycleWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        windows.emplace(files.withSeparator());
    }

    QAction* menuItem(const char* name) { return window().findChild<QAction*>(name); }
    TForm1& window() { return windows->form1; }

    // Chooses `path` in the file dialog that the menu item opens.
    void chooseFileThrough(const char* item, const std::string& path) {
        whenModalShows([path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << "the modal widget is no file dialog";
            dialog->selectFile(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();
        });
        menuItem(item)->trigger();
    }

    void answerTheBoxThenTrigger(const char* button, const char* item) {
        whenModalShows([button](QWidget* modal) {
            for (auto* candidate : modal->findChildren<QPushButton*>())
                if (candidate->text() == button) return candidate->click();
            ADD_FAILURE() << "the box has no button " << button;
        });
        menuItem(item)->trigger();
    }

    ProgramFiles files;
    std::optional<ProgramWindows> windows;
};

}  // namespace

TEST_F(HistoryLifecycleWindowTest, NewOpenEmptyAndCloseThroughTheMenus) {
    const std::string created = files.file("new.mdb"), filled = files.file("filled.mdb");
    writeHistoryDatabase(filled, "Call,Name\nK1ABC,Ann\nW2XYZ,Bob\nN3Q,Cy\n");

    chooseFileThrough("NewThDB", created);
    EXPECT_EQ(window().text("StatusBar1"), kOpened);
    EXPECT_TRUE(columnValues(created, "History", "Call").empty());
    EXPECT_GT(window().findChild<QComboBox*>("ComboBox_ExportContest")->count(), 0);
    EXPECT_TRUE(menuItem("EmptyThDB")->isEnabled());
    EXPECT_FALSE(menuItem("Open_ThDb")->isEnabled());

    menuItem("CloseThDB")->trigger();
    EXPECT_EQ(window().text("StatusBar1"), kClosed);
    EXPECT_TRUE(menuItem("Open_ThDb")->isEnabled());
    EXPECT_FALSE(menuItem("CloseThDB")->isEnabled());

    chooseFileThrough("Open_ThDb", filled);
    EXPECT_EQ(window().text("StatusBar1"), kOpened);
    answerTheBoxThenTrigger("&No", "EmptyThDB");
    EXPECT_EQ(columnValues(filled, "History", "Call").size(), 3u);
    answerTheBoxThenTrigger("&Yes", "EmptyThDB");
    EXPECT_TRUE(columnValues(filled, "History", "Call").empty());

    menuItem("CloseThDB")->trigger();
    EXPECT_EQ(window().text("StatusBar1"), kClosed);
    EXPECT_EQ(columnValues(filled, "version", "Version"), std::vector<std::string>{"0.51"});

    chooseFileThrough("Open_ThDb", created);
    std::ofstream(files.file("Kestrovane_compacted.mdb")) << "a stale copy that the exit's compaction replaces";
    menuItem("Exit1")->trigger();
    EXPECT_EQ(window().text("StatusBar1"), kClosed) << "Exit closes and compacts before the end";
    EXPECT_TRUE(window().terminateRequested());
    EXPECT_FALSE(std::filesystem::exists(files.file("Kestrovane_compacted.mdb")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(HistoryLifecycleWindowTest, TheStatusLineShowsItsWholeText) {
    window().show();
    QApplication::processEvents();
    EXPECT_EQ(window().size(), QSize(390, 303)) << "the window opens at its designed size";
    auto* statusBar = window().findChild<QStatusBar*>("StatusBar1");
    auto* line = statusBar->findChild<QLabel*>();
    ASSERT_NE(line, nullptr);

    for (const std::string& status :
         {std::string("Contest mapping to use for history file selected, specify target history filename"),
          "Historyfile generated:" + files.path().string() + "/exports/for-the-next-contest/ARRLSSCW.txt"}) {
        window().setText("StatusBar1", status);
        // The status bar lays itself out, then the window: an event each.
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_EQ(window().text("StatusBar1"), status);

        EXPECT_EQ(line->text().toStdString(), status);
        // However the text wraps, its lines need at least this much room.
        const QRect room = line->contentsRect();
        const int advance = line->fontMetrics().horizontalAdvance(line->text());
        const int lines = (advance + room.width() - 1) / room.width();
        EXPECT_GE(lines, 2) << "the test needs a text longer than the window is wide";
        EXPECT_GE(room.height(), lines * line->fontMetrics().height()) << status;
        EXPECT_LE(line->mapTo(&window(), QPoint(0, line->height())).y(), window().height()) << status;
        EXPECT_LE(line->mapTo(&window(), QPoint(line->width(), 0)).x(), window().width()) << status;
    }
}
