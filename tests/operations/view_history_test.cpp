// View > "History database" through the scripted fake of the window: the caption's count, the
// plain table, and the user's edits, new rows, deletions and refused values, written through the
// table access layer and read back by the engine and by mdb-export.
#include "shell/view_history.h"
#include "exported_table.h"
#include "fake_ui.h"
#include "operation_files.h"
#include "shell/form_create.h"
#include "shell/history_database.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kv::shell;
using kv::shell::DataObjects;
using kv::testing::columnValues;
using kv::testing::exportedColumn;
using kv::testing::exportedTable;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using kv::ui::BoxAnswer;
using kv::ui::BoxButtons;
using kv::ui::BoxKind;
using kv::ui::GridRows;
using kv::ui::testing::FakeUi;

namespace {

const char* const kDeleteQuestion = "Delete record?";

class ViewHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv::shell::FormCreate(ui);
        writeHistoryDatabase(path, "Call,Name,State\nW2XYZ,Bob,NY\nK1ABC,Ann,MA\nN3Q,Cy,PA\n");
        ui.expectDialog("OpenDialog_ThDB", path);
        Open_ThDbClick(ui, data);
    }

    // Shows the view, in which `user` acts; the view closes when `user` returns.
    void view(FakeUi::HistoryViewUser user) {
        ui.expectHistoryView(std::move(user));
        ViewThDBClick(ui, data);
    }

    static std::size_t column(const GridRows& rows, const std::string& name) {
        const auto& names = rows.columnNames();
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    }

    void answerTheDeleteQuestion(BoxAnswer answer) {
        ui.expectMessageBox(kDeleteQuestion, BoxKind::Information, BoxButtons::YesNo, answer);
    }

    ProgramFiles files;
    FakeUi ui{files.withSeparator()};
    DataObjects data;
    const std::string path = files.file("calls.mdb");
};

}  // namespace

TEST_F(ViewHistoryTest, TheCaptionCountsTheCallsOfThePlainTable) {
    const auto exported = exportedTable(path, "History");
    view([&](const std::string& caption, GridRows& rows) {
        EXPECT_EQ(caption, HistoryViewCaption(3));
        EXPECT_EQ(caption, "History database, number of calls in database: 3");
        EXPECT_EQ(rows.columnNames(), exported[0]);
        ASSERT_EQ(rows.rowCount() + 1, static_cast<long long>(exported.size()));
        for (long long row = 0; row < rows.rowCount(); ++row)
            for (std::size_t cell = 0; cell < rows.columnNames().size(); ++cell)
                EXPECT_EQ(rows.text(row, cell), exported[static_cast<std::size_t>(row) + 1][cell])
                    << row << "," << cell;
    });

    ui.expectMessageBox("Deleting all records of the history/Kestrovane database. Are you sure ?", BoxKind::Information,
                        BoxButtons::YesNo, BoxAnswer::Yes);
    EmptyThDBClick(ui, data);
    view([](const std::string& caption, GridRows& rows) {
        EXPECT_EQ(caption, "History database, number of calls in database: 0");
        EXPECT_EQ(rows.rowCount(), 0);
    });
    EXPECT_EQ(HistoryViewCaption(-1), "History database, number of calls in database: -1");
}

TEST_F(ViewHistoryTest, EditsNewRowsAndDeletionsAreWrittenWhenTheirRowIsLeft) {
    view([&](const std::string&, GridRows& rows) {
        const std::size_t call = column(rows, "Call"), name = column(rows, "Name"), state = column(rows, "State");
        rows.setText(1, name, "Ann");
        EXPECT_EQ(rows.changingRow(), std::nullopt) << "the text shown already is no change";

        rows.setText(1, name, "Annie");
        EXPECT_EQ(rows.changingRow(), 1);
        EXPECT_TRUE(rows.isModified());
        EXPECT_EQ(rows.text(1, name), "Annie");
        EXPECT_EQ(columnValues(path, "History", "Name")[1], "Ann") << "nothing is written while on the row";

        rows.setText(2, state, "NJ");
        EXPECT_EQ(columnValues(path, "History", "Name")[1], "Annie") << "going to another row wrote the change";
        rows.append();
        EXPECT_EQ(columnValues(path, "History", "State")[2], "NJ");
        EXPECT_EQ(rows.rowCount(), 4);
        EXPECT_TRUE(rows.isAppending());
        EXPECT_FALSE(rows.isModified());
        EXPECT_EQ(rows.text(3, call), "");
        rows.setText(3, call, "VE3NEW");
        rows.setText(3, name, "Dee");

        answerTheDeleteQuestion(BoxAnswer::No);
        EXPECT_FALSE(rows.remove(0));
        answerTheDeleteQuestion(BoxAnswer::None);
        EXPECT_FALSE(rows.remove(0)) << "closing the box by its frame is no Yes";
        EXPECT_EQ(rows.changingRow(), 3) << "the new row is still being typed";
        answerTheDeleteQuestion(BoxAnswer::Yes);
        EXPECT_TRUE(rows.remove(0));
        EXPECT_EQ(rows.rowCount(), 3);
        EXPECT_EQ(rows.text(0, call), "K1ABC");
        EXPECT_EQ(rows.text(2, call), "VE3NEW") << "the new row was written before the deletion";

        rows.append();
        EXPECT_TRUE(rows.remove(3)) << "a new row not yet written goes without a question";
        rows.append();
        rows.write();
        EXPECT_EQ(rows.rowCount(), 3) << "a new row left empty is no station";
        rows.append();
        rows.setText(3, call, "K0LAST");
    });
    const std::vector<std::string> calls{"K1ABC", "N3Q", "VE3NEW", "K0LAST"};
    EXPECT_EQ(columnValues(path, "History", "Call"), calls) << "closing the view wrote the last new row";
    EXPECT_EQ(exportedColumn(path, "History", "Call"), calls);
    EXPECT_EQ(exportedColumn(path, "History", "Name"), (std::vector<std::string>{"Annie", "Cy", "Dee", ""}));
    EXPECT_EQ(exportedColumn(path, "History", "State"), (std::vector<std::string>{"MA", "NJ", "", ""}));
    view([](const std::string& caption, GridRows&) {
        EXPECT_EQ(caption, "History database, number of calls in database: 4");
    });
}

TEST_F(ViewHistoryTest, ARefusedValueKeepsTheInputAndTheFileAsItWas) {
    const std::string before = fileBytes(path);
    const std::string tooLong(21, 'W');
    view([&](const std::string&, GridRows& rows) {
        const std::size_t call = column(rows, "Call"), name = column(rows, "Name"), updated = column(rows, "Updated");
        rows.setText(0, call, tooLong);
        try {
            rows.write();
            ADD_FAILURE() << "a call of 21 characters was written";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(),
                         ("The value '" + tooLong + "' is too long for column Call (at most 20 characters)").c_str());
        }
        EXPECT_EQ(rows.changingRow(), 0);
        EXPECT_EQ(rows.text(0, call), tooLong);
        EXPECT_EQ(fileBytes(path), before);
        rows.setText(0, call, "W2XYZ/P");
        rows.write();
        EXPECT_EQ(columnValues(path, "History", "Call")[0], "W2XYZ/P");

        rows.setText(1, name, "Anna");
        rows.setText(1, updated, "not a date");
        EXPECT_THROW(rows.write(), std::runtime_error);
        EXPECT_EQ(rows.text(1, updated), "not a date");
        rows.cancel();
        EXPECT_EQ(rows.text(1, updated), "");
        EXPECT_EQ(rows.text(1, name), "Ann");
        EXPECT_EQ(rows.changingRow(), std::nullopt);

        // What the refused row had is not posted along with a later change.
        rows.setText(2, name, "Cyril");
        rows.write();

        rows.append();
        rows.setText(3, name, std::string(51, 'n'));
        EXPECT_THROW(rows.write(), std::runtime_error);
        EXPECT_EQ(rows.rowCount(), 4);
        rows.cancel();
        EXPECT_EQ(rows.rowCount(), 3);
    });
    EXPECT_EQ(exportedColumn(path, "History", "Call"), (std::vector<std::string>{"W2XYZ/P", "K1ABC", "N3Q"}));
    EXPECT_EQ(exportedColumn(path, "History", "Name"), (std::vector<std::string>{"Bob", "Ann", "Cyril"}));
    EXPECT_EQ(exportedColumn(path, "History", "Updated"), (std::vector<std::string>{"", "", ""}));
}

TEST_F(ViewHistoryTest, AClosingThatCannotWriteThePendingChangeSaysWhy) {
    ui.expectHistoryView([](const std::string&, GridRows& rows) { rows.setText(0, 0, std::string(30, 'K')); });
    EXPECT_THROW(ViewThDBClick(ui, data), std::runtime_error);
    EXPECT_EQ(columnValues(path, "History", "Call")[0], "W2XYZ");
}

TEST_F(ViewHistoryTest, FindingACallGoesToTheFirstCallStartingWithTheTextAndChangesNothingElse) {
    view([&](const std::string&, GridRows& rows) {
        const std::size_t call = column(rows, "Call");
        const std::pair<const char*, long long> found[] = {{"k1", 1}, {"W2X", 0}, {"n", 2}, {"K", 1}};
        for (const auto& [prefix, row] : found) EXPECT_EQ(rows.find(call, prefix), row) << prefix;
        for (const char* prefix : {"", "Q", "K1B", "W2XYZ/"})
            EXPECT_EQ(rows.find(call, prefix), std::nullopt) << prefix;

        rows.append();
        rows.setText(3, call, "KA9ZZ");
        rows.write();
        EXPECT_EQ(rows.find(call, "ka"), 3) << "a call written in the view is found at once";
        EXPECT_EQ(rows.find(call, "K"), 1) << "K1ABC sorts before KA9ZZ";

        EXPECT_EQ(rows.text(0, call), "W2XYZ") << "the rows keep their order";
        rows.setText(0, call, "W2XYZ/M");
        rows.write();
    });
    EXPECT_EQ(exportedColumn(path, "History", "Call"), (std::vector<std::string>{"W2XYZ/M", "K1ABC", "N3Q", "KA9ZZ"}));
}

TEST(ViewDamagedHistoryTest, TheViewReportsADamagedTableInsteadOfShowingWhatIsLeft) {
    ProgramFiles files;
    FakeUi ui{files.withSeparator()};
    DataObjects data;
    kv::shell::FormCreate(ui);
    const std::string path = files.file("calls.mdb");
    writeHistoryDatabase(path, "Call,Name,State\nW2XYZ,Bob,NY\nK1ABC,Ann,MA\n");
    const std::string report = kv::testing::blankDataPage(path, "History");
    ui.expectDialog("OpenDialog_ThDB", path);
    Open_ThDbClick(ui, data);
    const std::string before = fileBytes(path);
    try {
        ViewThDBClick(ui, data);
        ADD_FAILURE() << "the view was shown";
    } catch (const std::exception& error) {
        EXPECT_EQ(error.what(), report);
    }
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(ViewHistoryTest, SortedRowsAreEditedFoundAndDeletedAsTheRowsTheyShow) {
    view([&](const std::string&, GridRows& rows) {
        const std::size_t call = column(rows, "Call"), name = column(rows, "Name"), state = column(rows, "State");
        const auto shown = [&](std::size_t col) {
            std::vector<std::string> texts;
            for (long long row = 0; row < rows.rowCount(); ++row) texts.push_back(rows.text(row, col));
            return texts;
        };
        using V = std::vector<std::string>;
        rows.sortBy(call, false);
        EXPECT_EQ(shown(call), (V{"K1ABC", "N3Q", "W2XYZ"}));
        rows.sortBy(name, true);
        EXPECT_EQ(shown(name), (V{"Cy", "Bob", "Ann"}));
        EXPECT_EQ(rows.find(call, "k1"), 2) << "the row of the call in the grid's order";
        EXPECT_EQ(rows.find(state, "n"), 1) << "NY, Bob's";
        EXPECT_EQ(rows.find(name, "Z"), std::nullopt);

        rows.setText(0, state, "NJ");
        rows.append();
        rows.setText(3, call, "AA1A");
        rows.write();
        EXPECT_EQ(shown(call), (V{"N3Q", "W2XYZ", "K1ABC", "AA1A"})) << "a new row comes after the sorted ones";
        answerTheDeleteQuestion(BoxAnswer::Yes);
        ASSERT_TRUE(rows.remove(1));
        EXPECT_EQ(shown(call), (V{"N3Q", "K1ABC", "AA1A"}));
        rows.setText(2, name, "Al");
        rows.write();
        rows.sortBy(call, true);
        EXPECT_EQ(shown(call), (V{"N3Q", "K1ABC", "AA1A"}));
        rows.sortBy(call, false);
        EXPECT_EQ(shown(name), (V{"Al", "Ann", "Cy"}));
    });
    EXPECT_EQ(columnValues(path, "History", "Call"), (std::vector<std::string>{"K1ABC", "N3Q", "AA1A"}))
        << "the table keeps its own order";
    EXPECT_EQ(columnValues(path, "History", "Name"), (std::vector<std::string>{"Ann", "Cy", "Al"}));
    EXPECT_EQ(columnValues(path, "History", "State"), (std::vector<std::string>{"MA", "NJ", ""}));
}

TEST_F(ViewHistoryTest, TheCaptionTellsTheSpanOfUpdatedWhenRowsHaveOne) {
    data.history->close();
    writeHistoryDatabase(path, "Call,Updated\nK1A,2021-03-01\nK1B,\nK1C,2024-05-04 12:00:00\nK1D,2019-12-31\n");
    view([](const std::string& caption, GridRows&) {
        EXPECT_EQ(caption, "History database, number of calls in database: 4, Updated 12-31-2019 to 5-4-2024");
    });
}
