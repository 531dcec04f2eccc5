// Every table of every Access fixture, system tables included, read by our engine and by
// mdb-export (mdbtools). Values agree once dates and numbers are written alike, and where
// mdbtools 1.0 cannot show a value whole, what it shows is the part it can; the mdb-reader
// test checks those values in full.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "../jetwrite/scratch_file.h"
#include "data_access/csv_reader.h"
#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "our_tables.h"

namespace kv::interop {
namespace {

using data_access::Value;
using jet::ColumnType;
using jet::testing::quoted;
using jet::testing::run;

// mdbtools handles values in a row as C strings: text and binary data end at their first 00 byte.
std::string beforeFirstNul(const std::string& text) { return text.substr(0, text.find('\0')); }
std::string hexBeforeFirstZeroByte(const std::string& hex) {
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        if (hex.compare(i, 2, "00") == 0) return hex.substr(0, i);
    return hex;
}

// What mdb-export writes for our value, or no value where mdbtools shows nothing.
Value asMdbExportShows(const jet::Column& column, const Value& ours) {
    if (!ours) return ours;
    switch (column.type) {
    case ColumnType::Boolean: return *ours == "True" ? "1" : "0";
    case ColumnType::DateTime: {
        auto date = data_access::parseDateTime(*ours);
        if (!date) return ours;
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date->year, date->month, date->day,
                      date->hour, date->minute, date->second);
        return std::string(text);
    }
    case ColumnType::Text:
    case ColumnType::Memo: return beforeFirstNul(*ours);
    case ColumnType::Binary: return hexBeforeFirstZeroByte(*ours);
    // mdbtools drops the GUID's last dash, and its -b hex option turns the GUID's text into hex.
    case ColumnType::Guid: {
        std::string text = std::string(*ours).erase(ours->rfind('-'), 1);
        return jet::hexText(jet::Binary(text.begin(), text.end()));
    }
    case ColumnType::LongBinary: return std::nullopt;
    default: return ours;
    }
}

bool agreesWithMdbExport(const jet::Column& column, const Value& ours, const Value& theirs) {
    Value expected = asMdbExportShows(column, ours);
    if (expected == theirs) return true;
    if (!expected || !theirs) return false;
    // mdbtools writes a date it cannot convert, before 1900 or far in the future, as "1900-01-00".
    if (column.type == ColumnType::DateTime) {
        int year = std::stoi(expected->substr(0, 4));
        return (year < 1900 || year > 4000) && theirs->starts_with("1900-01-00");
    }
    auto x = data_access::parseNumber(*expected), y = data_access::parseNumber(*theirs);
    if (!x || !y) return false;
    // It writes Currency with four decimals, and rounds floating-point values to fewer digits.
    if (column.type == ColumnType::Currency || column.type == ColumnType::Numeric) return *x == *y;
    if (column.type == ColumnType::Single || column.type == ColumnType::Double)
        return std::abs(*x - *y) <= 1e-6 * std::max(std::abs(*x), std::abs(*y));
    return false;
}

TEST(MdbExport, EveryValueOfEveryTableOfEveryFixtureAgrees) {
    Coverage coverage;
    for (const auto& fixture : jet::testing::allJet4Fixtures()) {
        const std::string path = fixture.string();
        jet::Database database(path);
        std::vector<std::string> ourNames;
        for (const auto& table : database.tables()) ourNames.push_back(table.name);
        std::vector<std::string> listed;
        for (const auto& row : data_access::readCommaDelimited(run("mdb-tables -S -1 " + quoted(path)), "mdb-tables"))
            listed.push_back(row.at(0).value_or(""));
        EXPECT_EQ(ourNames, listed) << path;

        for (const auto& table : database.tables()) {
            OurTable ours = readOurTable(database, table);
            std::string where = path + " " + table.name;
            auto exported =
                data_access::readCommaDelimited(run("mdb-export -b hex -T '%Y-%m-%d %H:%M:%S' " + quoted(path) + " " +
                                                    quoted(table.name) + " 2>/dev/null"),
                                                where);
            ASSERT_FALSE(exported.empty()) << where;
            std::vector<std::string> header;
            for (const auto& name : exported.front()) header.push_back(name.value_or(""));
            EXPECT_EQ(header, ours.columnNames()) << where;
            exported.erase(exported.begin());
            expectSameRows<Value>(where, ours, exported, agreesWithMdbExport,
                                  [](const Value& v) { return v.value_or("<NULL>"); });
            coverage.add(ours);
        }
    }
    coverage.expectTheFixturesCovered();
}

}  // namespace
}  // namespace kv::interop
