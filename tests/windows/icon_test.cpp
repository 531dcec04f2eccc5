// The program's icon, kestrovane.ico and the desktop entry's PNG, as Qt's own readers see them,
// against the text they were drawn from.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kIconSource = KV_SOURCE_DIR "/resources/icon/kestrovane_icon.txt";

// The colour of every pixel of an icon's text source, row by row.
std::vector<std::vector<QColor>> drawnPixels(const std::string& sourcePath) {
    std::ifstream source(sourcePath);
    EXPECT_TRUE(source) << sourcePath;
    std::map<char, QColor> palette;
    std::vector<std::vector<QColor>> rows;
    bool inPixels = false;
    for (std::string line; std::getline(source, line);) {
        if (inPixels) {
            if (line.empty()) continue;
            std::vector<QColor>& row = rows.emplace_back();
            for (char key : line) row.push_back(palette.at(key));
        } else if (line == "pixels") {
            inPixels = true;
        } else if (line.rfind("color ", 0) == 0) {
            std::istringstream words(line.substr(6));
            char key;
            std::string color;
            words >> key >> color;
            palette[key] = color == "none" ? QColor(0, 0, 0, 0) : QColor(QString::fromStdString(color));
        }
    }
    return rows;
}

void expectDrawnPixels(const std::string& path, const std::string& sourcePath = kIconSource) {
    SCOPED_TRACE(path);
    const std::vector<std::vector<QColor>> drawn = drawnPixels(sourcePath);
    ASSERT_FALSE(drawn.empty());
    QImage icon(QString::fromStdString(path));
    ASSERT_FALSE(icon.isNull()) << "Qt cannot read " << path;
    ASSERT_EQ(icon.width(), static_cast<int>(drawn[0].size()));
    ASSERT_EQ(icon.height(), static_cast<int>(drawn.size()));
    int mismatches = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QColor& expected = drawn[y][x];
            const QColor actual = icon.pixelColor(x, y);
            const bool same = expected.alpha() == 0 ? actual.alpha() == 0 : actual == expected;
            if (!same && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << actual.name(QColor::HexArgb).toStdString()
                              << ", drawn as " << expected.name(QColor::HexArgb).toStdString();
        }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace

TEST(ProgramIcon, DecodesToThePixelArtOfItsSource) { expectDrawnPixels(KV_PROGRAM_DIR "/kestrovane.ico"); }

TEST(ProgramIcon, DesktopEntryPngDecodesToTheSamePixelArt) { expectDrawnPixels(KV_DESKTOP_ICON); }

// An image larger than one stored deflate block (65 535 bytes) is split over several.
TEST(ProgramIcon, LargePngSpansSeveralDeflateBlocks) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string sourcePath = folder.filePath("large.txt").toStdString();
    const std::string pngPath = folder.filePath("large.png").toStdString();
    {
        std::ofstream source(sourcePath);
        source << "color . none\ncolor r #c01020\ncolor g #10a040\ncolor b #2040f0\npixels\n";
        const std::string keys = ".rgb";
        for (int y = 0; y < 180; ++y) {
            for (int x = 0; x < 150; ++x) source << keys[static_cast<std::size_t>((x * 7 + y * 3) % 4)];
            source << '\n';
        }
    }
    const std::string command = std::string(KV_MAKE_ICON) + " '" + sourcePath + "' '" + pngPath + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    expectDrawnPixels(pngPath, sourcePath);
}
