// The contest-log parsers on the irregularities real logs have: Cabrillo tags in any case, CR LF
// and LF, trailing blanks, tabs, 2.0 headers and X- lines; ADIF tags in any case, records across
// lines, type indicators, lengths past the end of the file; and the minimum of logs as typed.
#include "import/adif_log.h"
#include "import/cabrillo_log.h"
#include "import/contest_logs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv::import;
using ::testing::ElementsAre;

namespace {

std::vector<std::string> qsoFields(const CabrilloLog& log, std::size_t q) {
    std::vector<std::string> fields;
    for (std::size_t k = 0; k < log.qsos.at(q).fieldCount; ++k) fields.emplace_back(log.field(log.qsos[q], k));
    return fields;
}

std::vector<std::string> recordFields(const AdifLog& log, std::size_t r) {
    std::vector<std::string> fields;
    const AdifRecord& record = log.records.at(r);
    for (std::size_t k = 0; k < record.fieldCount; ++k) {
        const AdifField& field = log.fields[record.firstField + k];
        fields.push_back(std::string(field.name) + "=" + std::string(field.value));
    }
    return fields;
}

}  // namespace

TEST(CabrilloLogTest, ReadsTagsAndQsoLinesHoweverTheyAreWritten) {
    const std::string text =
        "start-of-log: 3.0\r\n"
        "Callsign:   K1ABC   \r\n"
        "CONTEST: ARRL-SS-CW\t\r\n"
        "LOCATION: EMA\r\n"
        "SOAPBOX: worked W1AW: great\r\n"
        "QSO: 14025 CW 2026-11-07 2101 K1ABC 1 A 67 EMA W1AW 12 B 99 CT\r\n"
        "qso:\t7030\tCW\t2026-11-07\t2102\tK1ABC\t2\tA\t67\tEMA\tK5ZD\t3\tU\t69\tSTX  \r\n"
        "X-QSO: 7030 CW 2026-11-07 2103 K1ABC 3 A 67 EMA N0XYZ 4 A 01 MN\r\n"
        "X-CONTEST: NOT-THIS\r\n"
        "END-OF-LOG:\r\n";
    ASSERT_TRUE(looksLikeCabrillo(text));
    const CabrilloLog log = parseCabrillo(text);
    EXPECT_EQ(log.callsign, "K1ABC");
    EXPECT_EQ(log.contest, "ARRL-SS-CW") << "an X- line never stands for its tag";
    EXPECT_EQ(cabrilloContest(text), "ARRL-SS-CW") << "the contest alone, as the contest list reads it";
    EXPECT_EQ(log.location, "EMA");
    ASSERT_EQ(log.qsos.size(), 2u) << "X-QSO: lines are not claimed";
    EXPECT_THAT(qsoFields(log, 0), ElementsAre("14025", "CW", "2026-11-07", "2101", "K1ABC", "1", "A", "67", "EMA",
                                               "W1AW", "12", "B", "99", "CT"));
    EXPECT_THAT(qsoFields(log, 1), ElementsAre("7030", "CW", "2026-11-07", "2102", "K1ABC", "2", "A", "67", "EMA",
                                               "K5ZD", "3", "U", "69", "STX"));
    EXPECT_EQ(log.qsos[0].line, 6);
    EXPECT_EQ(log.qsos[1].line, 7);
}

TEST(CabrilloLogTest, ReadsVersionTwoLogsWithLfAndLoneCrEnds) {
    const std::string text =
        "\n  START-OF-LOG: 2.0\n"
        "ARRL-SECTION: CT\r"
        "CALLSIGN: W1AW\n"
        "CONTEST: ARRL-FD\n"
        "QSO:  3550 CW 2025-06-28 1801 W1AW          2A     CT     K1ABC         1D     EMA\n"
        "QSO: 3550 CW 2025-06-28 1802 W1AW 2A\n";
    ASSERT_TRUE(looksLikeCabrillo(text)) << "a blank first line is passed over";
    const CabrilloLog log = parseCabrillo(text);
    EXPECT_EQ(log.location, "CT") << "a 2.0 log tells its section as ARRL-SECTION";
    EXPECT_EQ(log.callsign, "W1AW");
    ASSERT_EQ(log.qsos.size(), 2u);
    EXPECT_THAT(qsoFields(log, 0),
                ElementsAre("3550", "CW", "2025-06-28", "1801", "W1AW", "2A", "CT", "K1ABC", "1D", "EMA"))
        << "fields of a column-aligned 2.0 line are split on blanks";
    EXPECT_EQ(log.qsos[0].line, 6) << "a lone CR ends a line";
    EXPECT_EQ(log.qsos[1].fieldCount, 6u) << "a line with too few fields is kept for its reader to refuse";

    EXPECT_FALSE(looksLikeCabrillo("CALLSIGN: W1AW\nSTART-OF-LOG: 3.0\n")) << "a log starts with START-OF-LOG";
    EXPECT_FALSE(looksLikeCabrillo("!!Order!!,Call,Name\nW1AW,HIRAM\n"));
}

TEST(AdifLogTest, ReadsFieldsByLengthInAnyLetterCaseAcrossLines) {
    const std::string text =
        "Exported by a logger <with angle brackets>\r\n"
        "<ADIF_VER:5>3.1.4 <eoh>\r\n"
        "<CALL:4:S>W1AW <name:5>HIRAM <State:2>CT\r\n"
        "<QSO_DATE:8>20260101 <eor>\r\n"
        "<call:5>K1ABC\n<COMMENT:10>two\nlines!\n<GRIDSQUARE:4>FN42<EoR>\n";
    ASSERT_TRUE(looksLikeAdif(text));
    const AdifLog log = parseAdif(text);
    ASSERT_EQ(log.records.size(), 2u) << "the header's fields are no record";
    EXPECT_THAT(recordFields(log, 0), ElementsAre("CALL=W1AW", "name=HIRAM", "State=CT", "QSO_DATE=20260101"));
    EXPECT_THAT(recordFields(log, 1), ElementsAre("call=K1ABC", "COMMENT=two\nlines!", "GRIDSQUARE=FN42"));
    EXPECT_EQ(log.records[0].line, 3);
    EXPECT_EQ(log.records[1].line, 5);
    EXPECT_EQ(log.value(log.records[0], "NAME"), "HIRAM") << "names match regardless of case";
    EXPECT_EQ(log.value(log.records[1], "NAME"), "");
    EXPECT_TRUE(log.brokenRecords.empty());
}

TEST(AdifLogTest, SkipsRecordsCutShortAndTellsTheirLines) {
    const AdifLog pastTheEnd = parseAdif("<CALL:4>W1AW<EOR>\n<CALL:5>K1ABC<NAME:40>ED<EOR>\n");
    ASSERT_EQ(pastTheEnd.records.size(), 1u);
    EXPECT_THAT(pastTheEnd.brokenRecords, ElementsAre(2)) << "a length past the end of the file";

    const AdifLog noEnd = parseAdif("<CALL:4>W1AW<EOR>\n\n<CALL:5>K1ABC\n");
    EXPECT_EQ(noEnd.records.size(), 1u);
    EXPECT_THAT(noEnd.brokenRecords, ElementsAre(3)) << "a record the file ends before its <EOR>";

    const AdifLog unclosed = parseAdif("<CALL:4>W1AW<EOR>\n<CALL:5>K1ABC<NAME:2");
    EXPECT_THAT(unclosed.brokenRecords, ElementsAre(2)) << "a tag never closed";

    const AdifLog badLength = parseAdif("<CALL:x>W1AW<EOR><CALL:5>K1ABC<EOR>");
    EXPECT_THAT(badLength.brokenRecords, ElementsAre(1));
    ASSERT_EQ(badLength.records.size(), 1u);
    EXPECT_EQ(badLength.value(badLength.records[0], "CALL"), "K1ABC");

    EXPECT_TRUE(looksLikeAdif("  \n<CALL:4>W1AW<EOR>")) << "a file without a header";
    EXPECT_TRUE(looksLikeAdif("header text\n<Eoh>\n"));
    EXPECT_FALSE(looksLikeAdif("W1AW,HIRAM,CT\n"));
}

TEST(MinLogsTest, OnlyAWholeNumberFromOneIsAMinimumOfLogs) {
    EXPECT_EQ(readMinLogs("1"), 1u);
    EXPECT_EQ(readMinLogs("25"), 25u);
    for (const char* text : {"", "0", "00", "-1", "2x", " 2", "1.5", "9999999"})
        EXPECT_EQ(readMinLogs(text), std::nullopt) << '"' << text << '"';
}
