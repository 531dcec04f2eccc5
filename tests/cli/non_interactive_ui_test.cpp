// The answers kestrovane-cli gives in the user's place, and what it prints for each.
#include "cli/non_interactive_ui.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

using kv::cli::Answers;
using kv::cli::NonInteractiveUi;
using kv::ui::BoxAnswer;
using kv::ui::BoxButtons;
using kv::ui::BoxKind;

TEST(NonInteractiveUi, AnswersDialogsFromTheFilesGivenAndRefusesTheOthers) {
    std::ostringstream messages;
    NonInteractiveUi ui("/program/", Answers{.files = {{"OpenDialog_ThDB", "/data/h.mdb"}}}, messages);
    EXPECT_EQ(ui.executeDialog("OpenDialog_ThDB"), "/data/h.mdb");
    EXPECT_FALSE(ui.refused());
    EXPECT_EQ(messages.str(), "");

    EXPECT_EQ(ui.executeDialog("SaveDialog_TargetHistory"), std::nullopt);
    EXPECT_TRUE(ui.refused());
    EXPECT_EQ(messages.str(), "No file was given for SaveDialog_TargetHistory, so it was cancelled\n");
    EXPECT_THROW(ui.executeDialog("OpenDialog_Nothing"), std::logic_error);
}

TEST(NonInteractiveUi, AnswersYesOnlyWhenTheConfirmingOptionWasGiven) {
    std::ostringstream confirmedMessages;
    NonInteractiveUi confirmed("/program/", Answers{.confirmingOption = "--yes", .confirmed = true}, confirmedMessages);
    EXPECT_EQ(confirmed.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::Yes);
    EXPECT_FALSE(confirmed.refused());
    EXPECT_EQ(confirmedMessages.str(), "Sure?\nAnswered Yes (--yes)\n");

    std::ostringstream notGivenMessages;
    NonInteractiveUi notGiven("/program/", Answers{.confirmingOption = "--yes"}, notGivenMessages);
    EXPECT_EQ(notGiven.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::No);
    EXPECT_TRUE(notGiven.refused());
    EXPECT_EQ(notGivenMessages.str(), "Sure?\nAnswered No; --yes answers Yes\n");

    std::ostringstream noOptionMessages;
    NonInteractiveUi noOption("/program/", Answers{}, noOptionMessages);
    EXPECT_EQ(noOption.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::No);
    EXPECT_TRUE(noOption.refused());
    EXPECT_EQ(noOptionMessages.str(), "Sure?\nAnswered No\n");
}

TEST(NonInteractiveUi, PrintsEveryOkBoxAsARefusalAndStatusTextsAfterTheirMark) {
    for (BoxKind kind : {BoxKind::Information, BoxKind::Error}) {
        std::ostringstream messages;
        NonInteractiveUi ui("/program/", Answers{.confirmingOption = "--yes", .confirmed = true}, messages);
        ui.setText("StatusBar1", "Working");
        EXPECT_FALSE(ui.refused());
        EXPECT_EQ(ui.showMessageBox("Two lines\nof text", kind, BoxButtons::Ok), BoxAnswer::Ok);
        EXPECT_TRUE(ui.refused());
        EXPECT_EQ(messages.str(), "status: Working\nTwo lines\nof text\n");
        EXPECT_EQ(ui.text("StatusBar1"), "Working");
    }
}
