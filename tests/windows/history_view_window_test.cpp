// The History view of the real program under the offscreen platform, opened by View > "History
// database" and used as a user would: keys and clicks in the grid, typing in cells and in the
// search field, the delete confirmation and the error box; the file read back by the engine and by
// mdb-export afterwards.
#include "data_access/error_box_text.h"
#include "exported_table.h"
#include "made_up_rows.h"
#include "operation_files.h"
#include "shell/history_database.h"
#include "ui/error_box.h"
#include "window_test_support.h"
#include "windows/frozen_column.h"
#include "windows/history_grid.h"
#include "windows/history_grid_model.h"
#include "windows/program_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <optional>

using kv::testing::columnValues;
using kv::testing::exportedColumn;
using kv::testing::exportedTable;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using kv::ui::testing::MadeUpRows;
using kv::windows::DBGrid;
using kv::windows::HistoryGridModel;
using kv::windows::MessageBoxDialog;
using kv::windows::ProgramWindows;
using kv::windows::TForm_showHist;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::inspectThen;
using kv::windows::testing::SeenBox;
using kv::windows::testing::whenModalShows;

namespace {

const QString kCurrent = QStringLiteral("\u25B6"), kChanging = QStringLiteral("\u270E"), kNew = "*";

class HistoryViewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        writeHistoryDatabase(path, "Call,Name,State\nW2XYZ,Bob,NY\nK1ABC,Ann,MA\nN3Q,Cy,PA\n");
        windows.emplace(files.withSeparator());
        windows->form1.state().HistoryPath = path;
        kv::shell::OpenTHDatabase(windows->form1, windows->dataObjects, path);
    }

    // Opens the view through its menu item and lets `user` act in it; the view is closed after.
    void inTheView(const std::function<void(TForm_showHist&)>& user) {
        whenModalShows([this, user](QWidget* modal) {
            ASSERT_EQ(modal, &windows->form_showHist);
            view = &windows->form_showHist;
            grid = view->grid();
            model = grid->gridModel();
            user(*view);
            // Whatever the user left behind, the view must close, or the test would wait forever.
            if (view->isVisible()) QTest::keyClick(grid, Qt::Key_Escape);
            if (view->isVisible()) view->reject();
        });
        windows->form1.findChild<QAction*>("ViewThDB")->trigger();
        EXPECT_FALSE(windows->form_showHist.isVisible());
    }

    int column(const char* name) const {
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == name) return c;
        ADD_FAILURE() << "no column " << name;
        return 0;
    }
    QString cell(int row, const char* name) const { return model->index(row, column(name)).data().toString(); }
    QString indicator(int row) const { return model->headerData(row, Qt::Vertical, Qt::DisplayRole).toString(); }
    int currentRow() const { return grid->currentIndex().row(); }

    // Goes to the cell and types the text into its editor (opened by F2), which stays open.
    QLineEdit* typeInto(int row, const char* name, const QString& text) {
        grid->setCurrentIndex(model->index(row, column(name)));
        QTest::keyClick(grid, Qt::Key_F2);
        // Editors closed before linger until the event loop deletes them.
        QLineEdit* editor = nullptr;
        for (auto* candidate : grid->viewport()->findChildren<QLineEdit*>())
            if (candidate->isVisible()) editor = candidate;
        EXPECT_NE(editor, nullptr) << "no cell editor opened";
        if (!editor) return nullptr;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        return editor;
    }

    // Types into a cell and ends the typing with Return, staying on the row.
    void type(int row, const char* name, const QString& text) {
        QLineEdit* editor = typeInto(row, name, text);
        if (!editor) return;
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor hands its text over through the event loop.
        QApplication::processEvents();
    }

    // Presses the key in the grid while the next modal box is answered with `button`.
    void pressAnswering(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& button, SeenBox& seen) {
        inspectThen(seen, [button](MessageBoxDialog* box) {
            for (auto* candidate : box->findChildren<QPushButton*>())
                if (candidate->text() == button) return candidate->click();
            ADD_FAILURE() << "the box has no button " << button.toStdString();
        });
        QTest::keyClick(grid, key, modifiers);
    }

    QString standardErrorBox(const std::string& message) const {
        return QString::fromStdString(kv::data_access::errorBoxText(message));
    }

    ProgramFiles files;
    const std::string path = files.file("calls.mdb");
    std::optional<ProgramWindows> windows;
    TForm_showHist* view = nullptr;
    DBGrid* grid = nullptr;
    HistoryGridModel* model = nullptr;
};

}  // namespace

TEST_F(HistoryViewWindowTest, ShowsEveryColumnAndRowWithTheCountInItsCaptionAndMarksTheCurrentRow) {
    const auto exported = exportedTable(path, "History");
    inTheView([&](TForm_showHist& view) {
        EXPECT_EQ(view.windowTitle(), "History database, number of calls in database: 3");
        EXPECT_EQ(view.pos(), QPoint(276, 231));
        EXPECT_EQ(view.size(), QSize(946, 589));
        EXPECT_EQ(grid->objectName(), "DBGrid1");
        EXPECT_EQ(grid->geometry(), QRect(0, 32, 937, 553));
        EXPECT_LT(view.findField()->geometry().bottom(), grid->geometry().top()) << "the search is above the grid";

        ASSERT_EQ(model->columnCount(), static_cast<int>(exported[0].size()));
        for (int c = 0; c < model->columnCount(); ++c)
            EXPECT_EQ(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(), exported[0][c]);
        ASSERT_EQ(model->rowCount() + 1, static_cast<int>(exported.size()));
        for (int row = 0; row < model->rowCount(); ++row)
            for (int c = 0; c < model->columnCount(); ++c)
                EXPECT_EQ(model->index(row, c).data().toString().toStdString(), exported[row + 1][c])
                    << row << "," << c;

        EXPECT_EQ(currentRow(), 0);
        EXPECT_EQ(indicator(0), kCurrent);
        QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(indicator(0), "");
        EXPECT_EQ(indicator(1), kCurrent);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(model->index(2, 1)).center());
        EXPECT_EQ(currentRow(), 2);
        EXPECT_EQ(indicator(2), kCurrent);
    });

    whenModalShows([](QWidget* box) {
        for (auto* button : box->findChildren<QPushButton*>())
            if (button->text() == "&Yes") button->click();
    });
    windows->form1.findChild<QAction*>("EmptyThDB")->trigger();
    inTheView([&](TForm_showHist& view) {
        EXPECT_EQ(view.windowTitle(), "History database, number of calls in database: 0");
        EXPECT_EQ(model->rowCount(), 0);
    });
}

TEST_F(HistoryViewWindowTest, EditsNewRowsAndDeletionsAreWrittenWhenTheRowIsLeft) {
    inTheView([&](TForm_showHist& view) {
        type(1, "Name", "Annie");
        EXPECT_EQ(cell(1, "Name"), "Annie");
        EXPECT_EQ(indicator(1), kChanging);
        EXPECT_EQ(columnValues(path, "History", "Name")[1], "Ann") << "written only when the row is left";
        QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(columnValues(path, "History", "Name")[1], "Annie");
        EXPECT_EQ(indicator(2), kCurrent);

        // Leaving with the cell editor still open writes what it holds.
        QLineEdit* editor = typeInto(0, "State", "NJ");
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Down);
        EXPECT_EQ(currentRow(), 1);
        EXPECT_EQ(columnValues(path, "History", "State")[0], "NJ");

        // Down on the last row appends one; left empty, it goes again.
        grid->setCurrentIndex(model->index(2, column("Call")));
        QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(model->rowCount(), 4);
        EXPECT_EQ(currentRow(), 3);
        EXPECT_EQ(indicator(3), kNew);
        QTest::keyClick(grid, Qt::Key_Up);
        EXPECT_EQ(model->rowCount(), 3);
        QTest::keyClick(grid, Qt::Key_Insert);
        type(3, "Call", "VE3NEW");
        type(3, "Name", "Dee");
        EXPECT_EQ(indicator(3), kNew);
        QTest::keyClick(grid, Qt::Key_Up);
        EXPECT_EQ(columnValues(path, "History", "Call").back(), "VE3NEW");
        EXPECT_EQ(view.windowTitle(), "History database, number of calls in database: 3")
            << "rows added in the view do not change its caption";

        SeenBox seen;
        grid->setCurrentIndex(model->index(0, 0));
        pressAnswering(Qt::Key_Delete, Qt::ControlModifier, "&No", seen);
        EXPECT_EQ(seen.text, "Delete record?");
        EXPECT_EQ(seen.caption, "Information");
        EXPECT_EQ(seen.buttons, (QStringList{"&Yes", "&No"}));
        EXPECT_EQ(model->rowCount(), 4);
        EXPECT_EQ(columnValues(path, "History", "Call").size(), 4u);
        pressAnswering(Qt::Key_Delete, Qt::ControlModifier, "&Yes", seen);
        EXPECT_EQ(model->rowCount(), 3);
        EXPECT_EQ(cell(0, "Call"), "K1ABC");
        EXPECT_EQ(currentRow(), 0) << "the row that followed the deleted one is current";

        // A new row not yet written goes without a question.
        grid->setCurrentIndex(model->index(2, 0));
        QTest::keyClick(grid, Qt::Key_Insert);
        type(3, "Call", "K0GONE");
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(model->rowCount(), 3);

        // Closing with the cell editor still open writes what it holds too.
        QTest::keyClick(grid, Qt::Key_Insert);
        typeInto(3, "Call", "K0LAST");
        view.accept();
        EXPECT_FALSE(view.isVisible());
    });
    const std::vector<std::string> calls{"K1ABC", "N3Q", "VE3NEW", "K0LAST"};
    EXPECT_EQ(columnValues(path, "History", "Call"), calls) << "closing the view wrote the last new row";
    EXPECT_EQ(exportedColumn(path, "History", "Call"), calls);
    EXPECT_EQ(exportedColumn(path, "History", "Name"), (std::vector<std::string>{"Annie", "Cy", "Dee", ""}));
    EXPECT_EQ(exportedColumn(path, "History", "State"), (std::vector<std::string>{"MA", "PA", "", ""}));
}

TEST_F(HistoryViewWindowTest, ARefusedValueShowsTheErrorBoxAndTheGridKeepsTheInputOnItsRow) {
    const std::string before = fileBytes(path);
    const QString tooLong(21, 'W');
    const QString refusal = standardErrorBox("The value '" + tooLong.toStdString() +
                                             "' is too long for column Call (at most 20 characters)");
    inTheView([&](TForm_showHist& view) {
        type(1, "Call", tooLong);
        SeenBox seen;
        pressAnswering(Qt::Key_Down, Qt::NoModifier, "OK", seen);
        EXPECT_EQ(seen.text, refusal);
        EXPECT_EQ(seen.caption.toStdString(),
                  kv::ui::programTitle(QCoreApplication::applicationFilePath().toStdString()));
        EXPECT_EQ(currentRow(), 1);
        EXPECT_EQ(cell(1, "Call"), tooLong);
        EXPECT_EQ(indicator(1), kChanging);

        // A click on another row and the closing are refused alike.
        seen = {};
        inspectThen(seen, [](MessageBoxDialog* box) { box->escapeButton()->click(); });
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(model->index(2, 0)).center());
        EXPECT_EQ(seen.text, refusal);
        EXPECT_EQ(currentRow(), 1);
        seen = {};
        inspectThen(seen, [](MessageBoxDialog* box) { box->escapeButton()->click(); });
        view.close();
        EXPECT_EQ(seen.text, refusal);
        EXPECT_TRUE(view.isVisible());
        EXPECT_EQ(fileBytes(path), before);

        QTest::keyClick(grid, Qt::Key_Escape);
        EXPECT_TRUE(view.isVisible()) << "Esc first drops the row's change";
        EXPECT_EQ(cell(1, "Call"), "K1ABC");
        EXPECT_EQ(indicator(1), kCurrent);

        type(2, "Updated", "31-31-2005");
        seen = {};
        pressAnswering(Qt::Key_Up, Qt::NoModifier, "OK", seen);
        EXPECT_TRUE(seen.text.startsWith("The value '31-31-2005' is not a valid")) << seen.text.toStdString();
        EXPECT_EQ(currentRow(), 2);
        type(2, "Updated", "12-24-2005");
        QTest::keyClick(grid, Qt::Key_Up);
        EXPECT_EQ(currentRow(), 1);
        QTest::keyClick(grid, Qt::Key_Escape);
        EXPECT_FALSE(view.isVisible()) << "Esc with no change closes the view";
    });
    EXPECT_EQ(exportedColumn(path, "History", "Call"), (std::vector<std::string>{"W2XYZ", "K1ABC", "N3Q"}));
    EXPECT_EQ(exportedColumn(path, "History", "Updated")[2].substr(0, 8), "12/24/05");
}

TEST_F(HistoryViewWindowTest, TypingACallMovesToTheFirstRowWhoseCallStartsWithItAndNothingElse) {
    inTheView([&](TForm_showHist& view) {
        const QString caption = view.windowTitle();
        grid->setCurrentIndex(model->index(0, column("Name")));
        QTest::keyClicks(view.findField(), "k");
        EXPECT_EQ(currentRow(), 1);
        EXPECT_EQ(grid->currentIndex().column(), column("Name")) << "the column stays";
        QTest::keyClicks(view.findField(), "1Q");
        EXPECT_EQ(currentRow(), 1) << "no call starts with K1Q: the grid stays";
        view.findField()->clear();
        QTest::keyClicks(view.findField(), "N");
        EXPECT_EQ(currentRow(), 2);
        EXPECT_EQ(indicator(2), kCurrent);
        EXPECT_EQ(view.windowTitle(), caption);
        EXPECT_EQ(cell(0, "Call"), "W2XYZ") << "the rows keep their order";

        // Going to the call leaves the row being changed first.
        type(2, "Name", "Cyril");
        view.findField()->clear();
        QTest::keyClicks(view.findField(), "w2");
        EXPECT_EQ(currentRow(), 0);
        EXPECT_EQ(columnValues(path, "History", "Name")[2], "Cyril");
    });
}

TEST_F(HistoryViewWindowTest, AClickOnAColumnTitleSortsByItAndAnyColumnCanBeSearched) {
    inTheView([&](TForm_showHist& view) {
        QHeaderView* titles = grid->horizontalHeader();
        const auto calls = [&] {
            std::vector<QString> shown;
            for (int row = 0; row < model->rowCount(); ++row) shown.push_back(cell(row, "Call"));
            return shown;
        };
        const auto clickTitle = [&](const char* name) {
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                              QPoint(titles->sectionViewportPosition(column(name)) + 5, titles->height() / 2));
        };
        clickTitle("Call");
        EXPECT_EQ(calls(), (std::vector<QString>{"K1ABC", "N3Q", "W2XYZ"}));
        EXPECT_EQ(titles->sortIndicatorSection(), column("Call"));
        EXPECT_EQ(currentRow(), 0);
        clickTitle("Call");
        EXPECT_EQ(calls(), (std::vector<QString>{"W2XYZ", "N3Q", "K1ABC"})) << "a second click sorts the other way";
        clickTitle("State");
        EXPECT_EQ(calls(), (std::vector<QString>{"K1ABC", "W2XYZ", "N3Q"})) << "MA, NY, PA";

        // A change on a sorted row goes to that row of the table when the row is left.
        type(2, "Name", "Cyril");
        ASSERT_TRUE(grid->leaveRow());
        EXPECT_EQ(columnValues(path, "History", "Name"), (std::vector<std::string>{"Bob", "Ann", "Cyril"}));

        ASSERT_EQ(view.findColumn()->currentText(), "Call");
        QTest::keyClicks(view.findField(), "w");
        EXPECT_EQ(currentRow(), 1);
        view.findColumn()->setCurrentIndex(view.findColumn()->findText("Name"));
        view.findField()->clear();
        QTest::keyClicks(view.findField(), "an");
        EXPECT_EQ(currentRow(), 0) << "Ann, found by Name";
        view.findField()->clear();
        QTest::keyClicks(view.findField(), "cy");
        EXPECT_EQ(currentRow(), 2);

        EXPECT_EQ(model->index(2, column("Name")).data(Qt::ToolTipRole).toString(), "Cyril");
        EXPECT_FALSE(model->index(2, column("Grid")).data(Qt::ToolTipRole).isValid()) << "no tip for an empty value";
    });
    EXPECT_EQ(columnValues(path, "History", "Call"), (std::vector<std::string>{"W2XYZ", "K1ABC", "N3Q"}))
        << "sorting the view does not reorder the table";
}

TEST_F(HistoryViewWindowTest, TheCallColumnStaysInSightWhenTheGridScrollsSideways) {
    inTheView([&](TForm_showHist& view) {
        view.resize(300, 400);
        QApplication::processEvents();
        QTableView* frozen = grid->frozenColumn();
        ASSERT_NE(frozen, nullptr);
        EXPECT_FALSE(frozen->isVisible()) << "at the left edge the grid's own Call column shows";
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        QApplication::processEvents();
        ASSERT_GT(grid->horizontalScrollBar()->value(), 0);
        EXPECT_TRUE(frozen->isVisible());
        EXPECT_EQ(frozen->model(), grid->model());
        EXPECT_FALSE(frozen->isColumnHidden(column("Call")));
        EXPECT_TRUE(frozen->isColumnHidden(column("Name")));
        EXPECT_EQ(frozen->columnWidth(0), grid->columnWidth(0));
        EXPECT_EQ(frozen->geometry().left(), grid->verticalHeader()->width() + grid->frameWidth());
        EXPECT_EQ(frozen->indexAt(QPoint(5, frozen->rowViewportPosition(1) + 2)).data().toString(), "K1ABC");

        // A click on a call makes its row current in the grid.
        QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {}, QPoint(5, frozen->rowViewportPosition(2) + 2));
        EXPECT_EQ(currentRow(), 2);
        grid->horizontalScrollBar()->setValue(0);
        QApplication::processEvents();
        EXPECT_FALSE(frozen->isVisible());
    });
}

TEST_F(HistoryViewWindowTest, AHundredThousandRowsOpenAtOnceBecauseOnlyTheRowsInSightAreRead) {
    MadeUpRows rows(100000);
    TForm_showHist& shown = windows->form_showHist;
    long long readsWhenShown = 0;
    whenModalShows([&](QWidget*) {
        QApplication::processEvents();
        readsWhenShown = rows.reads;
        EXPECT_LT(rows.lastRowRead, 100) << "only the first screen of rows";
        shown.grid()->scrollToBottom();
        QApplication::processEvents();
        EXPECT_EQ(shown.grid()->gridModel()->rowCount(), 100000);
        shown.reject();
    });
    shown.showModal("History database, number of calls in database: 100000", rows);
    EXPECT_GT(readsWhenShown, 0);
    EXPECT_LT(readsWhenShown, 2000);
    EXPECT_EQ(rows.lastRowRead, 99999) << "scrolling to the end reads the last rows";
    EXPECT_LT(rows.reads, 4000);
}
