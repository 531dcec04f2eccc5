// The text helpers under the providers and cursors: case folding, numbers, connection strings,
// dates, encodings and comma-delimited records.
#include <gtest/gtest.h>

#include "data_access/connection_string.h"
#include "data_access/csv_reader.h"
#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "data_access/provider_choice.h"
#include "data_access/source_connection_strings.h"
#include "data_access/text_encoding.h"
#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

TEST(TextFold, FoldsAsciiLatinGreekAndCyrillicCapitals) {
    EXPECT_EQ(foldCase("NAQPcw"), "naqpcw");
    EXPECT_EQ(foldCase("ÄÖÜ ÉÈ Ø Þ"), "äöü éè ø þ");
    EXPECT_EQ(foldCase("× ß"), "× ß");
    EXPECT_EQ(foldCase("ŁĄŚ Ž Ÿ"), "łąś ž ÿ");
    EXPECT_EQ(foldCase("ΑΒΓ ДЖЯ Ё"), "αβγ джя ё");
    EXPECT_EQ(foldCase("日本 \xC3"), "日本 \xC3");  // three-byte letters and a stray byte stay
    EXPECT_TRUE(equalIgnoringCase("Straße", "STRAßE"));
    EXPECT_FALSE(equalIgnoringCase("abc", "abd"));
}

TEST(NumberText, ParsesWholeTextsOnlyAndWritesShortestForm) {
    EXPECT_EQ(parseNumber("12"), 12);
    EXPECT_EQ(parseNumber(" -1 "), -1);
    EXPECT_EQ(parseNumber("2.5"), 2.5);
    EXPECT_EQ(parseNumber("+3"), 3);
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("12a"));
    EXPECT_FALSE(parseNumber("W1AW"));
    EXPECT_FALSE(parseNumber("inf"));

    EXPECT_EQ(formatNumber(1), "1");
    EXPECT_EQ(formatNumber(2.5), "2.5");
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(123456789012.0), "123456789012");
    EXPECT_EQ(formatNumber(1e300), "1e+300");
    EXPECT_EQ(parseNumber(formatNumber(1.0 / 3)), 1.0 / 3);
}

TEST(ConnectionStringTest, ReadsEveryFormTheCallersWrite) {
    auto history = ConnectionString::parse(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source =/home/ann/My Logs/history.mdb;Persist Security Info=False");
    EXPECT_EQ(history.value("data source"), "/home/ann/My Logs/history.mdb");
    EXPECT_EQ(history.value("PROVIDER"), "Microsoft.Jet.OLEDB.4.0");

    auto text = ConnectionString::parse(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/kv/;Extended "
        "Properties=\"Text; HDR=yes; Format=Delimited\";Persist Security Info=False");
    EXPECT_EQ(text.value("Extended Properties"), "Text; HDR=yes; Format=Delimited");
    EXPECT_EQ(text.value("Persist Security Info"), "False");

    auto compact =
        ConnectionString::parse("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/c.mdb;Jet OLEDB:Engine Type=5");
    EXPECT_EQ(compact.value("Jet OLEDB:Engine Type"), "5");
    EXPECT_FALSE(compact.value("Extended Properties"));

    EXPECT_THROW(ConnectionString::parse("Data Source=\"/x"), std::runtime_error);
    EXPECT_THROW(ConnectionString::parse("Provider;Data Source=/x"), std::runtime_error);
    EXPECT_THROW(ConnectionString::parse("Data Source=\"/x\"y.mdb"), std::runtime_error);
    // A path spliced in unquoted that spells a second Data Source is refused, not obeyed.
    EXPECT_THROW(ConnectionString::parse("Data Source =/x/a.mdb;Data Source=/x/victim.mdb"), std::runtime_error);
    EXPECT_THROW(ConnectionString::parse("data source=/a;Data Source=/b"), std::runtime_error);
}

TEST(ConnectionStringTest, EveryPathTheFileSystemAllowsIsReadBackExactly) {
    const std::vector<std::string> paths{
        "/home/ann/My Logs/history.mdb",
        "/x/a.mdb;Data Source=/x/victim.mdb",
        "/x/a.mdb\";Data Source=\"/x/victim.mdb",
        "/x/it's \"quoted\"/\"\"h.mdb\"",
        "/x/a;b/k=v;=;;/h.mdb",
        "  /x/ leading and trailing blanks.mdb  ",
        "\t/x/tab\t",
        "/x/Ärger Øst ĐŽ 日本/ПЁС.mdb",
        "'/x/single quoted'",
        "/x/semicolon at the end;",
        "\"",
    };
    for (const std::string& path : paths) {
        EXPECT_EQ(ConnectionString::parse("Data Source=" + quoteConnectionValue(path)).value("Data Source"), path)
            << path;
        for (const std::string& built : {accessDatabaseConnectionString(path), excelWorkbookConnectionString(path),
                                         textFolderConnectionString(path)})
            EXPECT_EQ(chooseProvider(built).dataSource, path) << built;
    }
}

TEST(ConnectionStringTest, TheBuiltFormsKeepTheirSettingsAndChooseTheirProviders) {
    const std::string path = "/x/a;b/Extended Properties=Excel 8.0.mdb";
    auto access = ConnectionString::parse(accessDatabaseConnectionString(path));
    EXPECT_EQ(access.value("Provider"), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(access.value("Persist Security Info"), "False");
    EXPECT_FALSE(access.value("Extended Properties"));
    EXPECT_EQ(chooseProvider(accessDatabaseConnectionString(path)).kind, ProviderKind::Access);
    auto engineType = ConnectionString::parse(accessDatabaseConnectionString(path) + ";Jet OLEDB:Engine Type=5");
    EXPECT_EQ(engineType.value("Jet OLEDB:Engine Type"), "5");
    EXPECT_EQ(engineType.value("Data Source"), path);

    EXPECT_EQ(ConnectionString::parse(excelWorkbookConnectionString(path)).value("Extended Properties"), "Excel 8.0");
    EXPECT_EQ(chooseProvider(excelWorkbookConnectionString(path)).kind, ProviderKind::Excel);

    auto text = ConnectionString::parse(textFolderConnectionString(path));
    EXPECT_EQ(text.value("Extended Properties"), "Text; HDR=yes; Format=Delimited");
    EXPECT_EQ(text.value("Persist Security Info"), "False");
    EXPECT_EQ(chooseProvider(textFolderConnectionString(path)).kind, ProviderKind::Text);
}

TEST(DateText, WritesAndReadsTheProcessDateFormat) {
    EXPECT_EQ(formatDate(2005, 5, 4), "5-4-2005");
    EXPECT_EQ(formatDate(2005, 12, 1), "12-1-2005");
    EXPECT_EQ(formatDateTime({2005, 12, 1, 0, 0, 0}), "12-1-2005");
    EXPECT_EQ(formatDateTime({2005, 12, 1, 9, 5, 7}), "12-1-2005 9:05:07");
    EXPECT_EQ(parseDateTime("5/4/2005"), (DateTime{2005, 5, 4, 0, 0, 0}));
    EXPECT_EQ(parseDateTime("12-1-2005 9:05:07"), (DateTime{2005, 12, 1, 9, 5, 7}));
    EXPECT_FALSE(parseDateTime("2-30-2005"));
    EXPECT_FALSE(parseDateTime("5-4-2005x"));

    EXPECT_EQ(parseIsoDateTime("2026-05-16"), (DateTime{2026, 5, 16, 0, 0, 0}));
    EXPECT_EQ(parseIsoDateTime("2026-05-16 18:00"), (DateTime{2026, 5, 16, 18, 0, 0}));
    EXPECT_EQ(parseIsoDateTime("2026-05-16T18:01:02.250Z"), (DateTime{2026, 5, 16, 18, 1, 2}));
    for (const char* wrong : {"2026-5-16", "2026-02-30", "2026-05-16 24:00", "2026-05-16x", "16.5.2026"})
        EXPECT_FALSE(parseIsoDateTime(wrong)) << wrong;
}

TEST(TextEncoding, KeepsUtf8AndConvertsWindows1252) {
    EXPECT_EQ(decodeTextFile("W1AW,J\xC3\xBCrgen", "f"), "W1AW,J\xC3\xBCrgen");
    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBFW1AW", "f"), "W1AW");
    EXPECT_EQ(decodeTextFile("J\xFCrgen \x80 \x9C", "f"), "J\xC3\xBCrgen \xE2\x82\xAC \xC5\x93");
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x93\xBB"));  // four bytes
    try {
        decodeTextFile(std::string("PK\x03\x04\0\0", 6), "/tmp/log.zip");
        FAIL() << "NUL bytes accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "/tmp/log.zip is not a text file: it contains NUL bytes");
    }
}

TEST(TextEncoding, WritesWindows1252WithQuestionMarksForWhatItCannotHold) {
    const std::string everyByte = [] {
        std::string bytes;
        for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
        return bytes;
    }();
    EXPECT_EQ(encodeWindows1252(decodeTextFile(everyByte, "f")), everyByte) << "every byte goes there and back";
    EXPECT_EQ(encodeWindows1252("\xCE\xA9mega \xF0\x9F\x93\xBB"), "?mega ?") << "Greek, and beyond 16 bits";
    EXPECT_EQ(encodeWindows1252("A\xC3 \xED\xA0\x80"), "A? ???") << "bytes that are not UTF-8";
}

TEST(CsvReader, ReadsQuotesLineEndsAndBlankLinesAndDropsOrKeepsBlanks) {
    const std::string_view text = "a, b ,\r\n\n\"x, \"\"y\"\"\",\"\"\rlast,\"two\nlines\"\n \" q \" , ";
    auto rows = readCommaDelimited(text, "f");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (Row{"a", "b", std::nullopt}));
    EXPECT_EQ(rows[1], (Row{"x, \"y\"", ""}));
    EXPECT_EQ(rows[2], (Row{"last", "two\nlines"}));
    EXPECT_EQ(rows[3], (Row{" q ", std::nullopt}));
    // A field starting with a blank is not quoted; what follows a closing quote joins the value.
    EXPECT_EQ(
        readCommaDelimited(text, "f", Blanks::Kept),
        (std::vector<Row>{{"a", " b ", std::nullopt}, {"x, \"y\"", ""}, {"last", "two\nlines"}, {" \" q \" ", " "}}));
    EXPECT_EQ(readCommaDelimited("\"q\" ,x", "f", Blanks::Kept), (std::vector<Row>{{"q ", "x"}}));
    try {
        readCommaDelimited("h\nok\nW1AW,\"open", "calls.txt");
        FAIL() << "unclosed quote accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "calls.txt: the quoted field that starts on line 3 is not closed");
    }
}

}  // namespace
}  // namespace kv::data_access
