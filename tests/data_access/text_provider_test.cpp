// The text provider through connections as the program builds them: generated files in a
// temporary folder and the real call-history files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "all_rows.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/text_provider.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using testing::TempDir;
using testing::writeFile;

std::string textConnection(const std::string& folder) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder +
           ";Extended Properties=\"Text; HDR=yes; Format=Delimited\";Persist Security Info=False";
}

class TextProvider : public ::testing::Test {
protected:
    // Opens `bytes` as the history working copy in a folder whose name has a blank.
    void openCopy(const std::string& bytes) {
        std::filesystem::create_directory(dir.path() / "program dir");
        folder = dir.file("program dir");
        writeFile(folder + "/kestrovane_temp_history.txt", bytes);
        connection.setConnectionString(textConnection(folder));
        cursor.setConnection(&connection);
        cursor.setTableName("kestrovane_temp_history.txt");
        cursor.open();
    }

    // The message that opening `bytes` as the working copy gives, on a connection opened anew;
    // "" when it opens.
    std::string openError(const std::string& bytes) {
        cursor.close();
        connection.close();
        std::filesystem::remove_all(dir.path() / "program dir");
        try {
            openCopy(bytes);
            return "";
        } catch (const std::runtime_error& error) {
            return error.what();
        }
    }

    std::vector<std::vector<std::string>> allRows(std::size_t width) {
        std::vector<std::vector<std::string>> rows;
        for (cursor.first(); !cursor.atEnd(); cursor.next()) {
            rows.emplace_back();
            for (std::size_t k = 1; k <= width; ++k) rows.back().push_back(cursor.text("field" + std::to_string(k)));
        }
        return rows;
    }

    TempDir dir;
    std::string folder;
    Connection connection;
    Cursor cursor{"ADODataSet_Hist"};
};

TEST_F(TextProvider, SkipsTheHeaderAndNamesColumnsFieldK) {
    openCopy("\xEF\xBB\xBF!!Order!!,Call,Name\r\nW1AW,\"Hiram, \"\"HP\"\"\",CT\r\n\r\nK1ABC\r\nVE3XYZ,J\xC3\xBCrgen");
    using R = std::vector<std::vector<std::string>>;
    EXPECT_EQ(cursor.columnNames(), (std::vector<std::string>{"field1", "field2", "field3"}));
    EXPECT_EQ(allRows(3), (R{{"W1AW", "Hiram, \"HP\"", "CT"}, {"K1ABC", "", ""}, {"VE3XYZ", "J\xC3\xBCrgen", ""}}));
    EXPECT_EQ(cursor.recordCount(), 3);
    EXPECT_TRUE(cursor.locate("FIELD1", {"k1abc"}));
    EXPECT_EQ(cursor.text("field1"), "K1ABC");
    EXPECT_THROW(cursor.text("field4"), std::runtime_error);

    // Read-only: a write is refused with the file's name.
    cursor.edit();
    try {
        cursor.setText("field2", "x");
        FAIL();
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("kestrovane_temp_history.txt is read-only"), std::string::npos);
    }
}

TEST_F(TextProvider, ReadsWindows1252AndLfOnlyFiles) {
    openCopy("h\nDL1ABC,J\xFCrgen,M\xFCnchen\nF5XYZ,Ren\xE9\n");
    using R = std::vector<std::vector<std::string>>;
    EXPECT_EQ(allRows(3), (R{{"DL1ABC", "J\xC3\xBCrgen", "M\xC3\xBCnchen"}, {"F5XYZ", "Ren\xC3\xA9", ""}}));
}

TEST_F(TextProvider, ListsFilesAndRefusesWhatCannotBeRead) {
    openCopy("header only\n");
    EXPECT_EQ(cursor.recordCount(), 0);
    EXPECT_TRUE(cursor.atEnd());
    writeFile(folder + "/Other.TXT", std::string("a\0b", 3));
    Cursor tables("ADODataSet_tables");
    connection.listTables(tables);
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"other.txt"}));

    Cursor other("ADODataSet_Hist");
    other.setConnection(&connection);
    other.setTableName("other.txt");
    try {
        other.open();
        FAIL();
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), folder + "/Other.TXT is not a text file: it contains NUL bytes");
    }
    other.setTableName("missing.txt");
    EXPECT_THROW(other.open(), std::runtime_error);

    Connection nowhere;
    nowhere.setConnectionString(textConnection(dir.file("no such folder")));
    EXPECT_THROW(nowhere.open(), std::runtime_error);
}

TEST_F(TextProvider, RefusesOtherEncodingsAndSeparatorsSayingHowToSaveTheFile) {
    auto utf16 = [](std::string_view text, bool bigEndian) {
        std::string bytes;
        for (char c : text) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
        return bytes;
    };
    const std::string copy = dir.file("program dir") + "/kestrovane_temp_history.txt";
    const std::string unicode = copy + " is UTF-16 text: save it as UTF-8 or ANSI";
    const std::string lines = "!!Order!!,Call,Name\r\nW1AW,HIRAM\r\nJA1\xC3\xA9,J\xC3\xBCrgen\r\n";
    EXPECT_EQ(openError("\xFF\xFE" + utf16(lines, false)), unicode) << "little-endian, with its mark";
    EXPECT_EQ(openError("\xFE\xFF" + utf16(lines, true)), unicode) << "big-endian, with its mark";
    EXPECT_EQ(openError(utf16(lines, false)), unicode) << "without a mark";
    EXPECT_EQ(openError(utf16(lines, true)), unicode);
    EXPECT_EQ(openError("W1AW,HIRAM\r\n" + std::string("K1\0BC\r\n", 7)),
              copy + " is not a text file: it contains NUL bytes")
        << "a stray NUL is no UTF-16";

    EXPECT_EQ(openError("# NAQP\r\n\r\n!!Order!!;Call;Name\r\nW1AW;HIRAM\r\n"),
              copy + " uses semicolons to separate its fields; save it with commas");
    EXPECT_EQ(openError("!!Order!!\tCall\tName\nW1AW\tHIRAM\n"),
              copy + " uses tabs to separate its fields; save it with commas");
    EXPECT_EQ(openError("# a comment, with a comma\nCall;Name\nW1AW;HIRAM\n"),
              copy + " uses semicolons to separate its fields; save it with commas")
        << "comments say nothing of the separator";
    EXPECT_EQ(openError("!!Order!!,Call,UserText\nW1AW,,a\ttab; and a semicolon\n"), "")
        << "commas separate; tabs and semicolons are text";
    EXPECT_EQ(openError("Call\nW1AW\nK1ABC\n"), "") << "a file of calls alone has no separator";
}

TEST_F(TextProvider, RefusesALineWiderThanAnyCallHistoryFileNamingItsLine) {
    const std::string copy = dir.file("program dir") + "/kestrovane_temp_history.txt";
    const std::string fields64 = "W1AW" + std::string(63, ',');
    ASSERT_EQ(openError("h\n" + fields64 + "\nK1ABC\n"), "");
    EXPECT_EQ(cursor.columnNames().size(), 64u);
    EXPECT_EQ(cursor.columnNames().back(), "field64");
    EXPECT_EQ(openError("h\nK1ABC\n\n" + fields64 + ",\nW1AW\n"),
              copy + ": line 4 is too wide to read (more than 64 fields)");
    EXPECT_EQ(openError("h\nW1AW," + std::string(10'000'000, ',')),
              copy + ": line 2 is too wide to read (more than 64 fields)")
        << "ten million commas are refused, not held";
    EXPECT_EQ(openError("h\nW1AW," + std::string(64 * 1024, 'x') + "\n"),
              copy + ": line 2 is too wide to read (longer than 65536 bytes)");
    EXPECT_EQ(openError("h\n\"" + std::string(64 * 1024, 'x') + "\"\n"),
              copy + ": line 2 is too wide to read (longer than 65536 bytes)");
}

// A station line shorter than the widest keeps its own width: the cells past its end read as
// empty (NULL to filters and sorts), so one wide line costs no memory in every row.
TEST_F(TextProvider, RowsKeepTheirOwnWidthAndReadAsEmptyPastIt) {
    openCopy("h\nW1AW,HIRAM,CT,,,,,,,,,,,,,,,,,,x\nK1ABC\nVE3XYZ,ANN\n");
    const auto table = openTextProvider(folder)->openTable("kestrovane_temp_history.txt");
    ASSERT_EQ(table->columnNames().size(), 21u);
    std::vector<std::size_t> widths;
    for (const Row& row : testing::allRows(*table)) widths.push_back(row.size());
    EXPECT_EQ(widths, (std::vector<std::size_t>{21, 1, 2}));

    using R = std::vector<std::vector<std::string>>;
    EXPECT_EQ(allRows(3), (R{{"W1AW", "HIRAM", "CT"}, {"K1ABC", "", ""}, {"VE3XYZ", "ANN", ""}}));
    EXPECT_EQ(cursor.text(1, "field21"), "");
    EXPECT_TRUE(cursor.locate("field2", {"ann"}));
    EXPECT_EQ(cursor.text("field1"), "VE3XYZ");
    EXPECT_FALSE(cursor.locate("field21", {"y"}));
    cursor.setSort("field2 DESC");
    cursor.first();
    EXPECT_EQ(cursor.text("field1"), "W1AW");
    cursor.setSort("");
    cursor.setFilter("field3 = 'CT' OR field21 = 'x'");
    cursor.setFiltered(true);
    EXPECT_EQ(cursor.recordCount(), 1);
}

// The real files: a "!!Order!!" header, "#" comment lines and trailing commas, read as plain rows.
TEST_F(TextProvider, ReadsRealCallHistoryFiles) {
    struct Expectation {
        const char* file;
        const char* header;
        std::size_t columns;
        const char* w1awField2;
    };
    for (auto [file, header, columns, w1awField2] :
         {Expectation{"NAQPCW.txt", "!!Order!!,Call,Name,State,UserText,", 5, "HIRAM"},
          Expectation{"SSCW.txt", "!!Order!!,Call,Sect,State,CK,UserText,", 6, "CT"}}) {
        SCOPED_TRACE(file);
        std::string bytes = testing::readFile(std::string(KV_FIXTURES_DIR) + "/callhistory/" + file);
        ASSERT_TRUE(bytes.starts_with(header));
        TempDir copy;
        writeFile(copy.file("kestrovane_temp_history.txt"), bytes);
        Connection history;
        history.setConnectionString(textConnection(copy.path().string()));
        Cursor rows("ADODataSet_Hist");
        rows.setConnection(&history);
        rows.setTableName("kestrovane_temp_history.txt");
        rows.open();

        // Every non-blank line after the header is a row; count them independently.
        std::size_t lines = 0;
        for (std::size_t start = bytes.find('\n') + 1; start < bytes.size();) {
            std::size_t end = std::min(bytes.find('\n', start), bytes.size());
            if (bytes.find_first_not_of("\r", start) < end) ++lines;
            start = end + 1;
        }
        EXPECT_GT(lines, 10000u);
        EXPECT_EQ(rows.recordCount(), static_cast<long long>(lines));
        EXPECT_GE(rows.columnNames().size(), columns);

        rows.setFilter("field1 = 'W1AW'");
        rows.setFiltered(true);
        ASSERT_EQ(rows.recordCount(), 1);
        EXPECT_EQ(rows.text("field2"), w1awField2);
        EXPECT_EQ(rows.text("field3"), "CT");
        rows.setFiltered(false);
        rows.first();
        EXPECT_EQ(rows.text("field1"), "#");
    }
}

}  // namespace
}  // namespace kv::data_access
