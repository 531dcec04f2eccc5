// The real main window under the offscreen platform: its widgets found by name, its design, and
// events going to their operations.
#include "program_directory.h"
#include "ui/controls.h"
#include "window_test_support.h"
#include "windows/program_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include <fstream>

using namespace kv::ui;
using kv::ui::testing::ProgramDirectory;
using kv::windows::ProgramWindows;
using kv::windows::TForm1;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::whenModalShows;

namespace {

const char* qtClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Window: return "QMainWindow";
    case ControlKind::MenuBar: return "QMenuBar";
    case ControlKind::MenuItem: return "QAction";
    case ControlKind::PageControl: return "QTabWidget";
    case ControlKind::TabSheet: return "QWidget";
    case ControlKind::Label: return "QLabel";
    case ControlKind::ComboBox: return "QComboBox";
    case ControlKind::Edit: return "QLineEdit";
    case ControlKind::Button: return "QPushButton";
    case ControlKind::ProgressBar: return "QProgressBar";
    case ControlKind::StatusBar: return "QStatusBar";
    }
    return "";
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }

    template <typename Widget>
    Widget* find(TForm1& window, const char* name) {
        auto* found = window.objectName() == name ? qobject_cast<Widget*>(&window) : window.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    ProgramDirectory directory{true};
};

}  // namespace

TEST_F(MainWindowTest, EveryControlAndDialogIsAWidgetNamedAfterIt) {
    ProgramWindows windows(directory.withSeparator());
    TForm1& window = windows.form1;
    for (const ControlInfo& control : mainWindowControls()) {
        const QString name = QString::fromUtf8(control.name.data(), qsizetype(control.name.size()));
        QObject* found = window.objectName() == name ? &window : window.findChild<QObject*>(name);
        ASSERT_NE(found, nullptr) << name.toStdString();
        EXPECT_TRUE(found->inherits(qtClassOf(control.kind))) << name.toStdString();
    }
    for (const DialogInfo& dialog : mainWindowDialogs()) {
        auto* found =
            window.findChild<QFileDialog*>(QString::fromUtf8(dialog.name.data(), qsizetype(dialog.name.size())));
        ASSERT_NE(found, nullptr) << dialog.name;
        EXPECT_EQ(found->acceptMode(),
                  dialog.kind == DialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(found->testOption(QFileDialog::DontConfirmOverwrite), dialog.kind == DialogKind::Save)
            << "neither save dialog asks before overwriting";
    }
    EXPECT_EQ(windows.aboutBox1.objectName(), "TAboutBox1");
    EXPECT_EQ(windows.form_showHist.objectName(), "TForm_showHist");
    EXPECT_FALSE(windows.aboutBox1.isVisible());
    EXPECT_FALSE(windows.form_showHist.isVisible());
}

TEST_F(MainWindowTest, StartsWithTheDesignedCaptionsAndTheNoDatabaseState) {
    ProgramWindows windows(directory.withSeparator());
    TForm1& window = windows.form1;
    EXPECT_EQ(window.windowTitle(), "Kestrovane History Manager");
    EXPECT_FALSE(window.terminateRequested());

    QStringList menus;
    for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"File", "Tools", "View", "Help"}));
    QStringList fileItems;
    for (QAction* item : window.menuBar()->actions().front()->menu()->actions())
        fileItems << item->objectName() + "=" + item->text();
    EXPECT_EQ(fileItems, (QStringList{"NewThDB=New History database", "Open_ThDb=Open History database",
                                      "CloseThDB=Close History database", "Exit1=Close Database and Exit"}));
    EXPECT_EQ(find<QAction>(window, "EmptyThDB")->text(), "Empty History database");
    EXPECT_EQ(find<QAction>(window, "ViewThDB")->text(), "History database");
    EXPECT_EQ(find<QAction>(window, "About1")->text(), "About...");
    for (const char* item : {"CloseThDB", "Exit1", "EmptyThDB", "ViewThDB"})
        EXPECT_FALSE(find<QAction>(window, item)->isEnabled()) << item;
    for (const char* item : {"NewThDB", "Open_ThDb", "About1"})
        EXPECT_TRUE(find<QAction>(window, item)->isEnabled()) << item;

    auto* pages = find<QTabWidget>(window, "PageControl1");
    EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheet1");
    EXPECT_EQ(pages->tabText(0), "Import from log");
    EXPECT_EQ(pages->tabText(1), "Export to History.txt");
    for (auto [name, caption] : {std::pair{"Label_ImportType", "Import type"},
                                 {"Label3", "Filename"},
                                 {"Label_Contest", "Contest"},
                                 {"Label_ExportContest", "Export for contest"}}) {
        auto* label = find<QLabel>(window, name);
        EXPECT_EQ(label->text(), caption);
        EXPECT_TRUE(label->alignment() & Qt::AlignRight) << name;
    }
    for (auto [name, caption] : {std::pair{"Button_Import", "Start IMPORT"},
                                 {"Button_TargetHistory", "Target History file"},
                                 {"Button_Export", "Start EXPORT"}})
        EXPECT_EQ(find<QPushButton>(window, name)->text(), caption);
    EXPECT_TRUE(find<QLineEdit>(window, "Edit_SourceFilename")->isReadOnly());
    EXPECT_TRUE(find<QLineEdit>(window, "Edit_TargetHistory")->isReadOnly());
    for (const char* name : {"ComboBox_ImportType", "Combobox_Contest", "ComboBox_ExportContest"})
        EXPECT_FALSE(find<QComboBox>(window, name)->isEditable()) << name;

    auto* importType = find<QComboBox>(window, "ComboBox_ImportType");
    ASSERT_EQ(importType->count(), 3);
    EXPECT_EQ(importType->itemText(0), "Logger HAM Database");
    EXPECT_EQ(importType->itemText(1), "History file");
    EXPECT_EQ(importType->itemText(2), "Contest log (Cabrillo or ADIF)");
    EXPECT_FALSE(find<QLineEdit>(window, "Edit_MinLogs")->isReadOnly()) << "the user types the minimum of logs";
    EXPECT_FALSE(find<QLineEdit>(window, "Edit_MinLogs")->isVisibleTo(&window)) << "until contest logs are chosen";
    EXPECT_EQ(importType->currentIndex(), -1);
    EXPECT_FALSE(importType->isEnabled());

    auto* progress = find<QProgressBar>(window, "ProgressBar1");
    EXPECT_FALSE(progress->isVisibleTo(&window));
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
    EXPECT_EQ(window.text("StatusBar1"), "Kestrovane initialized, Open Kestrovane database to start (File menu)");
    EXPECT_NE(window.findChild<QStatusBar*>("StatusBar1")->findChild<QLabel*>()->text().indexOf("initialized"), -1);

    auto filters = [&](const char* name) { return window.fileDialog(name)->nameFilters(); };
    EXPECT_EQ(filters("OpenDialog_ThDB"), QStringList{"Microsoft Access (*.mdb)"});
    EXPECT_EQ(filters("OpenDialog_HamDB"), (QStringList{"Microsoft Access (*.mdb)", "N1MM Logger+ database (*.s3db)"}));
    EXPECT_EQ(filters("OpenDialog_SourceHistory"), QStringList{"History file (*.txt)"});
    EXPECT_EQ(filters("SaveDialog_TargetHistory"), QStringList{"History File (*.txt)"});
    EXPECT_EQ(window.fileDialog("SaveDialog_TargetHistory")->defaultSuffix(), "txt");
    window.setDialogFilter("SaveDialog_newThDB", "Kestrovane database(*.mdb)|*.mdb");
    window.setDialogDefaultExt("SaveDialog_newThDB", ".mdb");
    EXPECT_EQ(filters("SaveDialog_newThDB"), QStringList{"Kestrovane database(*.mdb)"});
    EXPECT_EQ(window.fileDialog("SaveDialog_newThDB")->defaultSuffix(), "mdb");
}

TEST_F(MainWindowTest, WithoutTheMappingWorkbookTheErrorShowsOnceAndTheWindowNeverShows) {
    ProgramDirectory bare(false);
    int boxes = 0;
    QString text, caption;
    whenModalShows([&](QWidget* modal) {
        ++boxes;
        caption = modal->windowTitle();
        text = modal->findChildren<QLabel*>().back()->text();
        modal->findChild<QPushButton*>()->click();
    });
    ProgramWindows windows(bare.withSeparator());
    QApplication::processEvents();

    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(text.toStdString(),
              bare.withSeparator() + "mapping.xls not found in program directory, Kestrovane terminated");
    EXPECT_TRUE(windows.form1.terminateRequested());
    EXPECT_FALSE(windows.form1.isVisible());
}

TEST_F(MainWindowTest, ExitRunsItsOperationButTheFrameOnlyEnds) {
    int exits = 0;
    Handlers handlers;
    handlers[Event::Exit1Click] = [&exits](Ui& ui) {
        ++exits;
        ui.requestTerminate();
    };
    {
        TForm1 window(directory.withSeparator(), handlers);
        window.setEnabled("Exit1", true);
        find<QAction>(window, "Exit1")->trigger();
        EXPECT_EQ(exits, 1);
        EXPECT_TRUE(window.terminateRequested());
    }
    TForm1 window(directory.withSeparator(), handlers);
    window.show();
    window.close();
    EXPECT_TRUE(window.terminateRequested());
    EXPECT_EQ(exits, 1) << "closing by the frame runs no operation, so no database is closed";
}

TEST_F(MainWindowTest, PickingAnImportTypeRunsTheSelectionButShowingAnEntryDoesNot) {
    ProgramWindows windows(directory.withSeparator());
    TForm1& window = windows.form1;
    window.setEnabled("ComboBox_ImportType", true);
    window.setEnabled("Button_Export", true);
    window.setText("Edit_TargetHistory", "calls.txt");
    auto* importType = find<QComboBox>(window, "ComboBox_ImportType");

    window.setItemIndex("ComboBox_ImportType", 1);
    EXPECT_EQ(window.text("ComboBox_ImportType"), "History file");
    EXPECT_TRUE(window.isEnabled("Button_Export")) << "no handler runs for an entry shown as current";

    importType->setCurrentIndex(0);
    QString shownDialog;
    whenModalShows([&shownDialog](QWidget* modal) {
        shownDialog = modal->objectName();
        qobject_cast<QDialog*>(modal)->reject();
    });
    emit importType->activated(0);
    EXPECT_EQ(shownDialog, "OpenDialog_HamDB") << "the logger database is chosen next";
    EXPECT_EQ(window.text("StatusBar1"), "Import type selected is HAM (Logger) database, specify filename");
    EXPECT_FALSE(window.isEnabled("Button_Export"));
    EXPECT_EQ(window.text("Edit_TargetHistory"), "");
}

TEST_F(MainWindowTest, PortReachesListsHintsDialogsAndTheCursor) {
    TForm1 window(directory.withSeparator(), {});
    window.addItem("Combobox_Contest", "CQWW,5-4-2005", ContestRecord{"12", "CQWW"});
    window.addItem("Combobox_Contest", "Sprint,6-1-2005", std::nullopt);
    EXPECT_EQ(window.itemIndex("Combobox_Contest"), -1) << "adding entries picks none";
    EXPECT_EQ(window.itemRecord("Combobox_Contest", 0), (ContestRecord{"12", "CQWW"}));
    EXPECT_EQ(window.itemRecord("Combobox_Contest", 1), std::nullopt);
    EXPECT_THROW(window.itemRecord("Combobox_Contest", 2), std::logic_error);
    EXPECT_THROW(window.setEnabled("Button_Imprt", true), std::logic_error);

    auto* edit = find<QLineEdit>(window, "Edit_SourceFilename");
    window.setHint("Edit_SourceFilename", "/logs/n1mm.mdb");
    EXPECT_EQ(edit->toolTip(), "") << "a hint shows only once hints are on";
    window.setShowHint("Edit_SourceFilename", true);
    EXPECT_EQ(edit->toolTip(), "/logs/n1mm.mdb");
    window.setShowHint("Edit_SourceFilename", false);
    EXPECT_EQ(edit->toolTip(), "");
    EXPECT_EQ(window.hint("Edit_SourceFilename"), "/logs/n1mm.mdb");

    const std::string chosen = directory.withSeparator() + "log.mdb";
    std::ofstream(chosen) << "x";
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "OpenDialog_HamDB");
        dialog->selectFile(QString::fromStdString(chosen));
        static_cast<QDialog*>(dialog)->accept();  // public there, protected in QFileDialog
    });
    EXPECT_EQ(window.executeDialog("OpenDialog_HamDB"), chosen);
    whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(window.executeDialog("OpenDialog_SourceHistory"), std::nullopt);

    window.setProgressRange(0, 7);
    window.setProgressStep(3);
    window.stepProgress();
    window.stepProgress();
    window.stepProgress();
    EXPECT_EQ(find<QProgressBar>(window, "ProgressBar1")->value(), 7);
    EXPECT_THROW(window.setProgressRange(0, -1), std::runtime_error);

    window.setScreenCursor(ScreenCursor::Hourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    window.setScreenCursor(ScreenCursor::Normal);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
