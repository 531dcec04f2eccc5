// Message boxes of the real window: caption, icon, buttons and the answer each way of closing gives.
#include "windows/message_box.h"
#include "program_directory.h"
#include "window_test_support.h"
#include "windows/main_window.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

using namespace kv::ui;
using kv::ui::testing::ProgramDirectory;
using kv::windows::MessageBoxDialog;
using kv::windows::TForm1;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::inspectThen;
using kv::windows::testing::SeenBox;

namespace {

void pressEscape(MessageBoxDialog* box) { QTest::keyClick(box, Qt::Key_Escape); }
void closeByFrame(MessageBoxDialog* box) { box->close(); }

class MessageBoxTest : public ::testing::Test {
protected:
    // The application must exist before the window member is made.
    bool applicationReady = (ensureApplication(), true);
    ProgramDirectory directory{true};
    TForm1 window{directory.withSeparator(), {}};
};

}  // namespace

TEST_F(MessageBoxTest, ConfirmationHasYesLeftAndDefaultAndNoAnsweringEsc) {
    SeenBox seen;
    inspectThen(seen, pressEscape);
    EXPECT_EQ(window.showMessageBox("Deleting all records. Are you sure ?", BoxKind::Information, BoxButtons::YesNo),
              BoxAnswer::No);
    EXPECT_EQ(seen.caption, "Information");
    EXPECT_EQ(seen.text, "Deleting all records. Are you sure ?");
    EXPECT_EQ(seen.icon, QStyle::SP_MessageBoxInformation);
    EXPECT_EQ(seen.buttons, (QStringList{"&Yes", "&No"}));
    EXPECT_EQ(seen.defaultButton, "&Yes");
    EXPECT_EQ(seen.escapeButton, "&No");
    EXPECT_TRUE(seen.equalWidths);

    inspectThen(seen, [](MessageBoxDialog* box) {
        for (QPushButton* button : box->findChildren<QPushButton*>())
            if (button->text() == "&Yes") button->click();
    });
    EXPECT_EQ(window.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::Yes);

    inspectThen(seen, closeByFrame);
    EXPECT_EQ(window.showMessageBox("Sure?", BoxKind::Information, BoxButtons::YesNo), BoxAnswer::None);
}

TEST_F(MessageBoxTest, ErrorBoxHasOnlyOkWhichEscAnswersButTheFrameDoesNot) {
    SeenBox seen;
    inspectThen(seen, pressEscape);
    EXPECT_EQ(window.showMessageBox("x not found", BoxKind::Error, BoxButtons::Ok), BoxAnswer::Ok);
    EXPECT_EQ(seen.caption, "Error");
    EXPECT_EQ(seen.icon, QStyle::SP_MessageBoxCritical);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
    EXPECT_EQ(seen.defaultButton, "OK");

    inspectThen(seen, [](MessageBoxDialog* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(window.showMessageBox("x not found", BoxKind::Error, BoxButtons::Ok), BoxAnswer::Ok);

    inspectThen(seen, closeByFrame);
    EXPECT_EQ(window.showMessageBox("x not found", BoxKind::Error, BoxButtons::Ok), BoxAnswer::None);
}
