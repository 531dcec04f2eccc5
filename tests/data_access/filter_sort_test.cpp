// Filters, sorting and locate, through a cursor on a table in memory.
#include <gtest/gtest.h>

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/filter_expression.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using testing::WritableProvider;

class FilterSort : public ::testing::Test {
protected:
    void SetUp() override {
        WritableProvider::Definition contests{
            "ContestInstance", {"ContestName", "ContestNR", "History", "Score"}, {}, {}};
        contests.rows = {
            {"NAQPCW", "12", "1", "2.5"},           {"cqwwcw", "-1", "0", "10"},    {"ARRLSSCW", "3", "1", "-4"},
            {"Naqpssb", "12.0", "1", std::nullopt}, {"FD", "x", std::nullopt, "9"}, {"O'Brien", "7", "1", "100"},
        };
        connection.open(std::make_unique<WritableProvider>(std::vector{contests}));
        cursor.setConnection(&connection);
        cursor.setTableName("ContestInstance");
        cursor.open();
    }

    // The ContestName of every row the cursor walks, in its order.
    std::vector<std::string> names() {
        std::vector<std::string> result;
        for (cursor.first(); !cursor.atEnd(); cursor.next()) result.push_back(cursor.text("contestname"));
        return result;
    }

    std::vector<std::string> filtered(const std::string& expression) {
        cursor.setFilter(expression);
        cursor.setFiltered(true);
        return names();
    }

    Connection connection;
    Cursor cursor{"ADODataSet_HamDb"};
};

TEST_F(FilterSort, NumbersMatchCellsThatSpellThem) {
    using V = std::vector<std::string>;
    EXPECT_EQ(filtered("History = 1"), (V{"NAQPCW", "ARRLSSCW", "Naqpssb", "O'Brien"}));
    EXPECT_EQ(filtered("ContestNR = 12"), (V{"NAQPCW", "Naqpssb"}));
    EXPECT_EQ(filtered("ContestNR = -1"), (V{"cqwwcw"}));
    EXPECT_EQ(filtered("Score = 2.5"), (V{"NAQPCW"}));
    EXPECT_EQ(filtered("Score < -3.5"), (V{"ARRLSSCW"}));
    EXPECT_EQ(filtered("Score >= 10"), (V{"cqwwcw", "O'Brien"}));
    EXPECT_EQ(filtered("ContestNR <> 12"), (V{"cqwwcw", "ARRLSSCW", "O'Brien"}));  // "x" is no number
    EXPECT_EQ(cursor.recordCount(), 3);
}

TEST_F(FilterSort, TextsIgnoreCaseAndConditionsCombine) {
    using V = std::vector<std::string>;
    EXPECT_EQ(filtered("ContestName = 'naqpcw'"), (V{"NAQPCW"}));
    EXPECT_EQ(filtered("ContestName = 'O''BRIEN'"), (V{"O'Brien"}));
    EXPECT_EQ(filtered("ContestName < 'B'"), (V{"ARRLSSCW"}));
    EXPECT_EQ(filtered("History = 1 AND ContestNR = 12 OR ContestName = 'FD'"), (V{"NAQPCW", "Naqpssb", "FD"}));
    EXPECT_EQ(filtered("History = 1 AND (ContestNR = 12 OR ContestName = 'FD')"), (V{"NAQPCW", "Naqpssb"}));
    EXPECT_EQ(filtered("[History]=0 or [Score]>50"), (V{"cqwwcw", "O'Brien"}));
    EXPECT_EQ(filtered("History = ''"), (V{"FD"}));  // NULL compares as empty text

    cursor.setFiltered(false);
    EXPECT_EQ(names().size(), 6u);
    cursor.setFilter("");
    cursor.setFiltered(true);
    EXPECT_EQ(names().size(), 6u);
}

TEST_F(FilterSort, AQuotedValueIsOneLiteralThatMatchesNumbersByValue) {
    using V = std::vector<std::string>;
    auto equalTo = [](const char* column, const std::string& value) {
        return std::string(column) + " = " + quoteFilterText(value);
    };
    EXPECT_EQ(filtered(equalTo("ContestNR", "12")), (V{"NAQPCW", "Naqpssb"}));  // "12.0" is 12 too
    EXPECT_EQ(filtered(equalTo("ContestNR", " 7")), (V{"O'Brien"}));
    EXPECT_EQ(filtered(equalTo("ContestNR", "x")), (V{"FD"}));
    EXPECT_EQ(filtered(equalTo("ContestName", "O'Brien")), (V{"O'Brien"}));
    EXPECT_EQ(filtered("ContestNR < '4'"), (V{"cqwwcw", "ARRLSSCW"}));
    EXPECT_EQ(filtered("ContestNR <> '12'"), (V{"cqwwcw", "ARRLSSCW", "FD", "O'Brien"}));

    // What would be conditions of their own, were they spliced in, stay part of the value.
    for (const std::string value : {"12 OR ContestNR <> 12", "x' OR ContestNR <> 'x", "12) OR (1 = 1", "'", ""})
        EXPECT_EQ(filtered(equalTo("ContestNR", value)), V{}) << value;
    EXPECT_EQ(filtered(equalTo("ContestName", "O'Brien' OR ContestName <> '")), V{});
}

TEST_F(FilterSort, BadFiltersAreRefusedAndLeaveTheCursorAsItWas) {
    filtered("History = 1");
    for (const char* bad :
         {"History =", "History = 'open", "(History = 1", "History ~ 1", "History = 1 AND", "= 1", "History = abc"})
        EXPECT_THROW(cursor.setFilter(bad), std::runtime_error) << bad;
    try {
        cursor.setFilter("Contest = 'NAQPCW'");
        FAIL();
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "ADODataSet_HamDb: Field 'Contest' not found");
    }
    EXPECT_EQ(cursor.filter(), "History = 1");
    EXPECT_EQ(cursor.recordCount(), 4);
}

TEST_F(FilterSort, SortsByTextIgnoringCaseOrByNumberAndDescending) {
    using V = std::vector<std::string>;
    cursor.setSort("ContestName ASC");
    EXPECT_EQ(names(), (V{"ARRLSSCW", "cqwwcw", "FD", "NAQPCW", "Naqpssb", "O'Brien"}));
    cursor.setSort("Score DESC");
    EXPECT_EQ(names(), (V{"O'Brien", "cqwwcw", "FD", "NAQPCW", "ARRLSSCW", "Naqpssb"}));
    cursor.setSort("History, ContestName DESC");
    EXPECT_EQ(names(), (V{"FD", "cqwwcw", "O'Brien", "Naqpssb", "NAQPCW", "ARRLSSCW"}));
    cursor.setSort("ContestNR");  // "x" makes the column text: "-1" < "12" < "12.0" < "3" < "7" < "x"
    EXPECT_EQ(names(), (V{"cqwwcw", "NAQPCW", "Naqpssb", "ARRLSSCW", "O'Brien", "FD"}));
    EXPECT_THROW(cursor.setSort("ContestName UP"), std::runtime_error);
    EXPECT_THROW(cursor.setSort("Nothing ASC"), std::runtime_error);
    cursor.setSort("");
    EXPECT_EQ(names().front(), "NAQPCW");
}

TEST_F(FilterSort, LocateFindsTheFirstMatchOrStaysWhereItWas) {
    cursor.setSort("ContestName ASC");
    cursor.first();
    cursor.next();
    EXPECT_TRUE(cursor.locate("ContestName", {"naqpcw"}));
    EXPECT_EQ(cursor.text("ContestName"), "NAQPCW");
    EXPECT_TRUE(cursor.locate("History;ContestNR", {"1", "12"}));
    EXPECT_EQ(cursor.text("ContestName"), "NAQPCW");  // first in sort order, before Naqpssb
    EXPECT_TRUE(cursor.locate("ContestNR ; History", {"12", "1.0"}));
    EXPECT_FALSE(cursor.locate("ContestName", {"CQWWSSB"}));
    EXPECT_FALSE(cursor.locate("Missing", {"x"}));
    EXPECT_FALSE(cursor.locate("ContestName;History", {"FD"}));
    EXPECT_EQ(cursor.text("ContestName"), "NAQPCW");

    cursor.setFilter("History = 1");
    cursor.setFiltered(true);
    EXPECT_FALSE(cursor.locate("ContestName", {"FD"}));  // the filter hides it
}

}  // namespace
}  // namespace kv::data_access

namespace kv::data_access {
namespace {

// A table of stations with the dates they were last heard, as the History table stamps them.
class DatedRows : public ::testing::Test {
protected:
    void SetUp() override {
        definition.rows = {{"K1A", "12-31-2023"}, {"K1B", "1-2-2024 10:00:00"}, {"K1C", std::nullopt},
                           {"K1D", "6-30-2019"},  {"K1E", "1-2-2024"},          {"K1F", "11-1-2023"}};
        connection.open(std::make_unique<testing::WritableProvider>(std::vector{definition}));
        cursor.setConnection(&connection);
        cursor.setTableName("History");
        cursor.open();
    }
    std::vector<std::string> calls() {
        std::vector<std::string> result;
        for (cursor.first(); !cursor.atEnd(); cursor.next()) result.push_back(cursor.text("Call"));
        return result;
    }

    testing::WritableProvider::Definition definition{"History", {"Call", "Updated"}, {}, {}};
    Connection connection;
    Cursor cursor{"ADODataSet_ThDB"};
};

TEST_F(DatedRows, DatesSortByTimeNotByTheirText) {
    using V = std::vector<std::string>;
    cursor.setSort("Updated ASC");
    EXPECT_EQ(calls(), (V{"K1C", "K1D", "K1F", "K1A", "K1E", "K1B"})) << "no date first, then day and time";
    cursor.setSort("[Updated] DESC");
    EXPECT_EQ(calls(), (V{"K1B", "K1E", "K1A", "K1F", "K1D", "K1C"}));
}

TEST_F(DatedRows, RemovingRowsByPositionCommitsThemInOneStep) {
    const int commitsBefore = definition.log->commits;
    cursor.setSort("Call DESC");
    cursor.next();
    EXPECT_EQ(cursor.removeAt({4, 0, 2, 17, 2}), 3u) << "K1E, K1A and K1C; the position 17 is no row";
    EXPECT_EQ(definition.log->commits, commitsBefore + 1);
    EXPECT_EQ(cursor.text("Call"), "K1F") << "the cursor is at the first row of its order";
    cursor.setSort("");
    EXPECT_EQ(calls(), (std::vector<std::string>{"K1B", "K1D", "K1F"}));
    EXPECT_EQ(cursor.removeAt({}), 0u);
}

}  // namespace
}  // namespace kv::data_access
