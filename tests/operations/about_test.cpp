// Help > "About..." through the scripted fake of the window: the icon read from the program
// directory and the comments given to the About window, and an icon that cannot be read stopping
// it before the window shows.
#include "shell/about.h"
#include "fake_ui.h"
#include "operation_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using kv::shell::About1Click;
using kv::shell::kIconFileName;
using kv::testing::ProgramFiles;
using kv::ui::AboutBoxContent;
using kv::ui::testing::FakeUi;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// The text split at each line end: "\r\n", or a lone "\r".
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            lines.back() += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.emplace_back();
    }
    return lines;
}

class AboutTest : public ::testing::Test {
protected:
    ProgramFiles files;
    FakeUi ui{files.withSeparator()};
    const std::string icon = files.file(kIconFileName);
};

}  // namespace

TEST_F(AboutTest, ShowsTheIconOfTheProgramDirectoryAndTheComments) {
    // Any bytes will do, showing them is the window's business; zero bytes in them make sure that
    // the whole file is read.
    const std::string bytes = "\0\0\1\0\1\0 icon\r\n\x1a bytes"s;
    std::ofstream(icon, std::ios::binary) << bytes;
    bool shown = false;
    ui.expectAboutBox([&](const AboutBoxContent& content) {
        shown = true;
        EXPECT_EQ(content.iconFile, icon);
        EXPECT_EQ(content.icon, bytes);
        // The product line, then a lone carriage return and a CR LF: one empty line between it and
        // the quotation of three lines.
        EXPECT_EQ(content.comments.rfind("History manager for N1MM Logger\r\r\n\"", 0), 0u) << content.comments;
        const auto lines = linesOf(content.comments);
        ASSERT_EQ(lines.size(), 5u) << content.comments;
        EXPECT_EQ(lines[1], "");
        EXPECT_EQ(lines[2].front(), '"');
        EXPECT_EQ(lines[4].back(), '"');
        for (std::size_t line = 2; line < 5; ++line) EXPECT_GT(lines[line].size(), 10u) << lines[line];
    });
    About1Click(ui);
    EXPECT_TRUE(shown);
}

TEST_F(AboutTest, AnIconThatCannotBeReadStopsItBeforeTheWindowShows) {
    auto expectRefused = [&](const char* what) {
        try {
            About1Click(ui);  // the fake fails the test if the About window shows
            ADD_FAILURE() << what << ": the About window was shown";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "Cannot open file " + icon) << what;
        }
    };
    expectRefused("missing");
    fs::create_directory(icon);
    expectRefused("a folder");
    fs::remove(icon);
    std::ofstream{icon};
    expectRefused("empty");
}
