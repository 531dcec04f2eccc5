// The program's icon as Qt's own .ico reader sees it, against the text it was drawn from.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

TEST(ProgramIcon, DecodesToThePixelArtOfItsSource) {
    std::ifstream source(KV_SOURCE_DIR "/resources/icon/kestrovane_icon.txt");
    ASSERT_TRUE(source);
    std::map<char, QColor> palette;
    std::vector<std::string> rows;
    bool inPixels = false;
    for (std::string line; std::getline(source, line);) {
        if (inPixels) {
            if (!line.empty()) rows.push_back(line);
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
    ASSERT_FALSE(rows.empty());

    QImage icon(KV_PROGRAM_DIR "/kestrovane.ico");
    ASSERT_FALSE(icon.isNull()) << "Qt cannot read " KV_PROGRAM_DIR "/kestrovane.ico";
    ASSERT_EQ(icon.width(), static_cast<int>(rows[0].size()));
    ASSERT_EQ(icon.height(), static_cast<int>(rows.size()));
    int mismatches = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QColor expected = palette.at(rows[y][x]);
            const QColor actual = icon.pixelColor(x, y);
            const bool same = expected.alpha() == 0 ? actual.alpha() == 0 : actual == expected;
            if (!same && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << actual.name(QColor::HexArgb).toStdString()
                              << ", drawn as " << expected.name(QColor::HexArgb).toStdString();
        }
    EXPECT_EQ(mismatches, 0);
}
