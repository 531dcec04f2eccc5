// The fake must fail a test whenever an operation does something the script did not foresee;
// these cases prove that it does, so that the operations' tests can rely on it.
#include "fake_ui.h"
#include "made_up_rows.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace kv::ui;
using kv::ui::testing::FakeUi;
using kv::ui::testing::MadeUpRows;

TEST(FakeUi, AnswersScriptedBoxesAndDialogsInOrder) {
    FakeUi ui;
    ui.expectMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo, BoxAnswer::Yes);
    ui.expectDialog("OpenDialog_ThDB", "/data/h.mdb");
    ui.expectDialog("SaveDialog_TargetHistory", std::nullopt);

    EXPECT_EQ(ui.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::Yes);
    EXPECT_EQ(ui.executeDialog("OpenDialog_ThDB"), "/data/h.mdb");
    EXPECT_EQ(ui.executeDialog("SaveDialog_TargetHistory"), std::nullopt);
}

TEST(FakeUi, FailsTheTestOnABoxOrDialogTheScriptDidNotExpect) {
    FakeUi ui;
    EXPECT_NONFATAL_FAILURE(ui.showMessageBox("Boom", BoxKind::Error, BoxButtons::Ok),
                            "Unexpected error box (OK): \"Boom\"");

    ui.expectMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo, BoxAnswer::Yes);
    EXPECT_NONFATAL_FAILURE(ui.showMessageBox("Sure?", BoxKind::Information, BoxButtons::Ok),
                            "Unexpected information box");
    EXPECT_NONFATAL_FAILURE(ui.executeDialog("OpenDialog_HamDB"), "Unexpected file dialog");
    // A mismatch does not use up the scripted box.
    EXPECT_EQ(ui.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::Yes);
}

TEST(FakeUi, FailsTheTestOnAScriptedAnswerLeftUnused) {
    EXPECT_NONFATAL_FAILURE(
        {
            FakeUi ui;
            ui.expectMessageBox("Never", BoxKind::Information, BoxButtons::Ok, BoxAnswer::Ok);
        },
        "Scripted message box never shown: \"Never\"");
    EXPECT_NONFATAL_FAILURE(
        {
            FakeUi ui;
            ui.expectDialog("OpenDialog_SourceHistory", "/x.txt");
        },
        "Scripted file dialog never shown: OpenDialog_SourceHistory");
}

TEST(FakeUi, RefusesNamesAndUsesTheRealWindowWouldNotHave) {
    FakeUi ui;
    EXPECT_THROW(ui.setEnabled("Button_Imprt", false), std::logic_error);
    EXPECT_THROW(ui.addItem("Button_Import", "x", std::nullopt), std::logic_error);
    EXPECT_THROW(ui.setText("ComboBox_ImportType", "x"), std::logic_error);
    EXPECT_THROW(ui.text("ProgressBar1"), std::logic_error);
    EXPECT_THROW(ui.executeDialog("OpenDialog_Nothing"), std::logic_error);
    EXPECT_THROW(ui.itemRecord("Combobox_Contest", 0), std::logic_error);
}

TEST(FakeUi, ListTextFollowsTheEntryShownAndRecordsStayWithTheirEntries) {
    FakeUi ui;
    ui.addItem("Combobox_Contest", "CQWW,5-4-2005", ContestRecord{"7", "CQWW"});
    ui.addItem("Combobox_Contest", "ARRL-FD,6-25-2005", ContestRecord{"9", "ARRL-FD"});
    EXPECT_EQ(ui.text("Combobox_Contest"), "");
    ui.setItemIndex("Combobox_Contest", 1);
    EXPECT_EQ(ui.text("Combobox_Contest"), "ARRL-FD,6-25-2005");
    EXPECT_EQ(ui.itemRecord("Combobox_Contest", 1), (ContestRecord{"9", "ARRL-FD"}));

    ui.clearItems("Combobox_Contest");
    EXPECT_EQ(ui.itemIndex("Combobox_Contest"), -1);
    EXPECT_TRUE(ui.items("Combobox_Contest").empty());
}

TEST(FakeUi, PlaysTheUserOfTheWindowsInScriptOrderAndClosingTheViewWritesWhatIsPending) {
    FakeUi ui;
    MadeUpRows rows(0);
    std::vector<std::string> seen;
    ui.expectHistoryView([&](const std::string& caption, GridRows& shown) {
        seen.push_back(caption);
        EXPECT_EQ(&shown, &rows);
        EXPECT_EQ(rows.writes, 0);
        // A box the user meets in the view comes after the view in the script.
        EXPECT_EQ(ui.showMessageBox("Delete record?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::No);
    });
    ui.expectMessageBox("Delete record?", BoxKind::Information, BoxButtons::YesNo, BoxAnswer::No);
    ui.expectAboutBox([&](const AboutBoxContent& content) { seen.push_back(content.comments); });

    ui.showHistoryView("History database, number of calls in database: 0", rows);
    EXPECT_EQ(rows.writes, 1);
    ui.showAboutBox({"/program/kestrovane.ico", "icon", "comments"});
    EXPECT_EQ(seen, (std::vector<std::string>{"History database, number of calls in database: 0", "comments"}));
}

TEST(FakeUi, FailsTheTestOnAWindowTheScriptDidNotExpectOrThatNeverCame) {
    MadeUpRows rows(0);
    {
        FakeUi ui;
        EXPECT_NONFATAL_FAILURE(ui.showHistoryView("History database", rows),
                                "Unexpected History view: \"History database\"");
        EXPECT_NONFATAL_FAILURE(ui.showAboutBox({}), "Unexpected About window");
        ui.expectMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo, BoxAnswer::Yes);
        EXPECT_NONFATAL_FAILURE(ui.showAboutBox({}), "Unexpected About window");
        EXPECT_EQ(ui.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::Yes);
    }
    EXPECT_EQ(rows.writes, 0) << "an unexpected view is not played";
    EXPECT_NONFATAL_FAILURE(
        {
            FakeUi ui;
            ui.expectHistoryView([](const std::string&, GridRows&) {});
        },
        "Scripted History view never shown");
    EXPECT_NONFATAL_FAILURE(
        {
            FakeUi ui;
            ui.expectAboutBox([](const AboutBoxContent&) {});
        },
        "Scripted About window never shown");
}

TEST(FakeUi, AnswersTheDateAndEntryDialogsAndFailsOnOnesItDidNotExpect) {
    FakeUi ui;
    ui.expectDateDialog("Since?", "2020-01-01", "2019-05-05");
    ui.expectEntryChoice("Which?", {"a", "b"}, 1);
    ui.expectEntryChoice("Which?", {"a"}, std::nullopt);
    EXPECT_EQ(ui.askDate("Since?", "2019-05-05"), "2020-01-01");
    EXPECT_NONFATAL_FAILURE(ui.chooseEntry("Which?", {"a", "c"}), "Unexpected list of entries: \"Which?\"\n  a\n  c");
    EXPECT_EQ(ui.chooseEntry("Which?", {"a", "b"}), 1u);
    EXPECT_EQ(ui.chooseEntry("Which?", {"a"}), std::nullopt);
    EXPECT_NONFATAL_FAILURE(ui.askDate("Since?", "2019-05-05"), "Unexpected date dialog: \"Since?\" at 2019-05-05");

    ui.expectDateDialog("Since?", std::nullopt, "2019-05-05");
    EXPECT_NONFATAL_FAILURE(ui.askDate("Since?", "2000-01-01"), "Unexpected date dialog");
    EXPECT_EQ(ui.askDate("Since?", "2019-05-05"), std::nullopt);
    EXPECT_NONFATAL_FAILURE(
        {
            FakeUi unused;
            unused.expectEntryChoice("Never", {}, 0);
        },
        "Scripted list of entries never shown: \"Never\"");
}
