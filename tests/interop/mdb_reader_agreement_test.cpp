// Every table of every Access fixture, system tables included, read by our engine and by the npm
// package mdb-reader. Unlike mdbtools, mdb-reader shows text and binary values whole (NUL
// characters and 00 bytes included), GUIDs with all their dashes, and every date, so these values
// must agree exactly.

#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <cmath>
#include <map>
#include <sstream>

#include "../jetwrite/scratch_file.h"
#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "our_tables.h"

namespace kv::interop {
namespace {

using data_access::Value;
using jet::ColumnType;
using jet::testing::run;

struct TheirTable {
    std::vector<std::string> columns;
    std::vector<std::vector<Json::Value>> rows;
    std::string error;  // why mdb-reader could not read the table
};

// The tables of a file as read_tables.mjs prints them, in the order mdb-reader lists them.
std::vector<std::pair<std::string, TheirTable>> readWithMdbReader(const std::string& path) {
    std::string script = std::string(KV_SOURCE_DIR) + "/tests/interop/read_tables.mjs";
    std::istringstream lines(run("node " + jet::testing::quoted(script) + " " + jet::testing::quoted(path)));
    std::vector<std::pair<std::string, TheirTable>> tables;
    Json::CharReaderBuilder builder;
    for (std::string line; std::getline(lines, line);) {
        Json::Value parsed;
        std::string errors;
        std::istringstream in(line);
        if (!Json::parseFromStream(builder, in, &parsed, &errors))
            throw std::runtime_error("mdb-reader printed " + line);
        if (parsed.isObject()) {
            auto& [name, table] = tables.emplace_back(parsed["table"].asString(), TheirTable{});
            for (const auto& column : parsed["columns"]) table.columns.push_back(column.asString());
            table.error = parsed["error"].asString();
        } else {
            tables.back().second.rows.emplace_back(parsed.begin(), parsed.end());
        }
    }
    return tables;
}

std::chrono::sys_seconds secondsOf(int year, int month, int day, int hour, int minute, int second) {
    using namespace std::chrono;
    return sys_days(std::chrono::year(year) / month / day) + hours(hour) + minutes(minute) + seconds(second);
}

// mdb-reader gives dates as ISO text with milliseconds; we show the nearest whole second.
bool sameDate(const std::string& ours, const std::string& iso) {
    auto date = data_access::parseDateTime(ours);
    int y, mo, d, h, mi, s, ms;
    if (!date || std::sscanf(iso.c_str(), "%d-%d-%dT%d:%d:%d.%dZ", &y, &mo, &d, &h, &mi, &s, &ms) != 7) return false;
    auto theirs = secondsOf(y, mo, d, h, mi, s) + std::chrono::milliseconds(ms);
    auto our = secondsOf(date->year, date->month, date->day, date->hour, date->minute, date->second);
    return std::chrono::abs(theirs - our) <= std::chrono::milliseconds(500);
}

// mdb-reader writes a GUID in lower case without braces.
std::string asMdbReaderGuid(std::string ours) {
    std::string guid = ours.substr(1, ours.size() - 2);
    for (char& c : guid) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return guid;
}

bool agreesWithMdbReader(const jet::Column& column, const Value& ours, const Json::Value& theirs) {
    if (!ours || theirs.isNull()) return !ours && theirs.isNull();
    if (theirs.isBool()) return *ours == (theirs.asBool() ? "True" : "False");
    if (column.type == ColumnType::DateTime) return theirs.isString() && sameDate(*ours, theirs.asString());
    if (column.type == ColumnType::Guid) return theirs.isString() && asMdbReaderGuid(*ours) == theirs.asString();
    auto number = data_access::parseNumber(*ours);
    // Currency and Numeric come as decimal text, the other numbers as numbers; a Single widened
    // to double must be the same float.
    if (theirs.isNumeric() || column.type == ColumnType::Currency || column.type == ColumnType::Numeric) {
        auto their =
            theirs.isNumeric() ? std::optional<double>(theirs.asDouble()) : data_access::parseNumber(theirs.asString());
        if (!number || !their) return false;
        if (column.type == ColumnType::Single) return static_cast<float>(*number) == static_cast<float>(*their);
        return *number == *their;
    }
    return theirs.isString() && *ours == theirs.asString();
}

std::string shown(const Json::Value& value) {
    return value.isString() ? value.asString() : Json::writeString(Json::StreamWriterBuilder(), value);
}

TEST(MdbReader, EveryValueOfEveryTableOfEveryFixtureAgrees) {
    Coverage coverage;
    for (const auto& fixture : jet::testing::allJet4Fixtures()) {
        const std::string path = fixture.string();
        jet::Database database(path);
        auto theirTables = readWithMdbReader(path);
        std::vector<std::string> ourNames, theirNames;
        for (const auto& table : database.tables()) ourNames.push_back(table.name);
        for (const auto& [name, table] : theirTables) theirNames.push_back(name);
        EXPECT_EQ(ourNames, theirNames) << path;

        for (const auto& [name, theirs] : theirTables) {
            OurTable ours = readOurTable(database, database.table(name));
            std::string where = path + " " + name;
            // mdb-reader knows no column type 0x11 (MSysAccessObjects.Data) and refuses such a table.
            if (!theirs.error.empty()) {
                EXPECT_TRUE(ours.has(ColumnType::LongBinary)) << where << ": " << theirs.error;
                continue;
            }
            EXPECT_EQ(theirs.columns, ours.columnNames()) << where;
            expectSameRows<Json::Value>(where, ours, theirs.rows, agreesWithMdbReader, shown);
            coverage.add(ours);
        }
    }
    coverage.expectTheFixturesCovered();
}

}  // namespace
}  // namespace kv::interop
