// An error escaping a handler of the real window shows in the standard error box, and the
// window goes on handling events.
#include "program_directory.h"
#include "window_test_support.h"
#include "windows/main_window.h"
#include "windows/message_box.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>

#include <stdexcept>

using namespace kv::ui;
using kv::ui::testing::ProgramDirectory;
using kv::windows::MessageBoxDialog;
using kv::windows::TForm1;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::inspectThen;
using kv::windows::testing::SeenBox;
using kv::windows::testing::whenModalShows;

TEST(StandardErrorBox, ShowsTheEscapedErrorWithTheProgramTitleAndTheWindowGoesOn) {
    ensureApplication();
    ProgramDirectory directory(true);
    int runs = 0;
    Handlers handlers;
    handlers[Event::About1Click] = [&runs](Ui& ui) {
        ++runs;
        ui.setText("StatusBar1", "reached");
        throw std::runtime_error("Cannot open file /p/kestrovane.ico");
    };
    TForm1 window(directory.withSeparator(), std::move(handlers));
    auto* about = window.findChild<QAction*>("About1");
    ASSERT_NE(about, nullptr);

    SeenBox seen;
    inspectThen(seen, [](MessageBoxDialog* box) { box->findChildren<QPushButton*>().front()->click(); });
    about->trigger();

    EXPECT_EQ(seen.caption, "windows_tests") << "the executable's name up to its first period";
    EXPECT_EQ(seen.text, "Cannot open file /p/kestrovane.ico.");
    EXPECT_EQ(seen.icon, QStyle::SP_MessageBoxCritical);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
    EXPECT_EQ(window.text("StatusBar1"), "reached") << "what the handler did before failing stays";

    whenModalShows([](QWidget* modal) { modal->findChildren<QPushButton*>().front()->click(); });
    about->trigger();
    EXPECT_EQ(runs, 2);
}
