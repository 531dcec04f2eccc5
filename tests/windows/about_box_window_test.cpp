// The About window of the real program under the offscreen platform, opened by Help > "About...":
// its design, the icon of the program directory, OK, and an icon that cannot be read.
#include "data_access/error_box_text.h"
#include "operation_files.h"
#include "shell/about.h"
#include "window_test_support.h"
#include "windows/program_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <filesystem>
#include <fstream>
#include <optional>

using kv::shell::kIconFileName;
using kv::testing::ProgramFiles;
using kv::windows::ProgramWindows;
using kv::windows::TAboutBox1;
using kv::windows::testing::ensureApplication;
using kv::windows::testing::inspectThen;
using kv::windows::testing::SeenBox;
using kv::windows::testing::whenModalShows;
namespace fs = std::filesystem;

namespace {

class AboutBoxWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }

    void openAbout(ProgramWindows& windows) { windows.form1.findChild<QAction*>("About1")->trigger(); }

    template <typename Widget>
    static Widget* part(const TAboutBox1& about, const char* name) {
        auto* found = about.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    ProgramFiles files;
    const std::string icon = files.file(kIconFileName);
};

}  // namespace

TEST_F(AboutBoxWindowTest, ShowsTheDesignedWindowWithTheProgramsIconUntilOk) {
    fs::copy_file(fs::path(KV_PROGRAM_DIR) / kIconFileName, icon);
    ProgramWindows windows(files.withSeparator());
    EXPECT_TRUE(windows.form1.findChild<QAction*>("About1")->isEnabled()) << "About needs no database";
    TAboutBox1& about = windows.aboutBox1;
    bool shown = false;
    whenModalShows([&](QWidget* modal) {
        ASSERT_EQ(modal, &about);
        shown = true;
        EXPECT_EQ(about.windowTitle(), "About");
        EXPECT_EQ(about.size(), QSize(298, 213));
        EXPECT_EQ(about.minimumSize(), about.maximumSize()) << "a fixed dialog border";
        EXPECT_EQ(about.frameGeometry().center(), about.screen()->availableGeometry().center());

        auto* panel = part<QFrame>(about, "Panel1");
        EXPECT_EQ(panel->geometry(), QRect(8, 8, 281, 161));
        EXPECT_EQ(panel->frameShape(), QFrame::Panel);

        auto* programIcon = part<QLabel>(about, "ProgramIcon");
        EXPECT_EQ(programIcon->parent(), panel);
        EXPECT_EQ(programIcon->geometry(), QRect(8, 8, 65, 57));
        EXPECT_TRUE(programIcon->hasScaledContents()) << "stretched";
        const QImage fromFile(QString::fromStdString(icon));
        ASSERT_FALSE(fromFile.isNull());
        EXPECT_EQ(programIcon->pixmap().toImage().convertToFormat(fromFile.format()), fromFile);

        for (auto [name, caption, y] : {std::tuple{"ProductName", "Product Name: Kestrovane", 16},
                                        {"Version", "Version: 0.51, April 2005", 32}}) {
            auto* label = part<QLabel>(about, name);
            EXPECT_EQ(label->text(), caption);
            EXPECT_EQ(label->pos(), QPoint(88, y)) << name;
        }
        auto* credits = part<QLabel>(about, "Credits");
        EXPECT_EQ(credits->pos(), QPoint(88, 48));
        EXPECT_FALSE(credits->text().isEmpty());
        for (auto* label : panel->findChildren<QLabel*>())
            EXPECT_LE(label->geometry().right(), panel->contentsRect().right()) << label->objectName().toStdString();

        auto* comments = part<QLabel>(about, "Comments");
        EXPECT_EQ(comments->geometry(), QRect(8, 72, 265, 81));
        EXPECT_TRUE(comments->wordWrap());
        const QStringList lines = comments->text().split('\n');
        ASSERT_EQ(lines.size(), 5) << comments->text().toStdString();
        EXPECT_EQ(lines[0], "History manager for N1MM Logger");
        EXPECT_EQ(lines[1], "");
        EXPECT_TRUE(lines[2].startsWith('"') && lines[4].endsWith('"'));
        EXPECT_LE(comments->heightForWidth(265), 81) << "the comments fit their label";

        auto* ok = part<QPushButton>(about, "OKButton");
        EXPECT_EQ(ok->text(), "OK");
        EXPECT_EQ(ok->geometry(), QRect(111, 180, 75, 25));
        EXPECT_TRUE(ok->isDefault());
        ok->click();
    });
    openAbout(windows);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(AboutBoxWindowTest, AnIconThatCannotBeReadShowsTheErrorBoxInsteadOfTheWindow) {
    ProgramWindows windows(files.withSeparator());
    const QString expected = QString::fromStdString(kv::data_access::errorBoxText("Cannot open file " + icon));
    for (const char* bytes : {static_cast<const char*>(nullptr), "no icon in here"}) {
        if (bytes) std::ofstream(icon, std::ios::binary) << bytes;
        SeenBox seen;
        inspectThen(seen, [](kv::windows::MessageBoxDialog* box) { box->escapeButton()->click(); });
        openAbout(windows);
        EXPECT_EQ(seen.text, expected) << (bytes ? "not an image" : "missing");
        EXPECT_EQ(seen.icon, QStyle::SP_MessageBoxCritical);
        EXPECT_FALSE(windows.aboutBox1.isVisible());
    }
}
