// Cursors reaching rows by their position in the table, whatever the order they walk, and the
// prefix seek through an index that finding a call uses.
#include <gtest/gtest.h>

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using testing::CommitLog;
using testing::WritableProvider;

// Positions 0 to 4; in the order of calls: 4, 1, 2, 0, 3.
const std::vector<Row> kStations = {
    {"W1AW", "Hiram"}, {"K1ABC", "Ann"}, {"N3Q", "Cy"}, {"w1xyz", "Dee"}, {"K1A", "Eve"}};

class CursorPositionTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritableProvider::Definition stations{"Stations", {"Call", "Name"}, kStations, {}};
        stations.indexes = {IndexInfo{"Call", {{"Call", false}}, false, false}};
        log = stations.log;
        connection.open(std::make_unique<WritableProvider>(std::vector{stations}));
        cursor.setConnection(&connection);
        cursor.setTableName("Stations");
        cursor.open();
    }

    // The calls from the current row to the end of the cursor's order.
    std::vector<std::string> callsFromHere() {
        std::vector<std::string> calls;
        for (; !cursor.atEnd(); cursor.next()) calls.push_back(cursor.text("Call"));
        return calls;
    }

    Connection connection;
    Cursor cursor{"ADODataSet_ThDB"};
    std::shared_ptr<CommitLog> log;
};

}  // namespace

TEST_F(CursorPositionTest, APositionReachesItsRowWhateverTheOrderTheCursorWalks) {
    for (long long position = 0; position < 5; ++position)
        EXPECT_EQ(cursor.text(position, "name"), *kStations[static_cast<std::size_t>(position)][1]);
    EXPECT_EQ(cursor.position(), 0) << "reading by position does not move";
    cursor.next();
    EXPECT_EQ(cursor.position(), 1);

    ASSERT_TRUE(cursor.moveTo(3));
    EXPECT_EQ(cursor.position(), 3);
    EXPECT_EQ(callsFromHere(), (std::vector<std::string>{"w1xyz", "K1A"}));
    EXPECT_EQ(cursor.position(), -1);
    for (long long outside : {-1LL, 5LL}) {
        cursor.first();
        EXPECT_FALSE(cursor.moveTo(outside)) << outside;
        EXPECT_TRUE(cursor.atEnd()) << outside;
    }

    cursor.setSort("Call DESC");
    ASSERT_TRUE(cursor.moveTo(2));
    EXPECT_EQ(callsFromHere(), (std::vector<std::string>{"N3Q", "K1ABC", "K1A"})) << "the walk goes on in sort order";

    cursor.setSort("");
    cursor.setFilter("Name <> 'Cy'");
    cursor.setFiltered(true);
    EXPECT_FALSE(cursor.moveTo(2)) << "the filter hides that row";
    EXPECT_TRUE(cursor.atEnd());
    ASSERT_TRUE(cursor.moveTo(3));
    EXPECT_EQ(cursor.text("Call"), "w1xyz");

    cursor.setIndexName("Call");
    EXPECT_FALSE(cursor.moveTo(2));
    ASSERT_TRUE(cursor.moveTo(1));
    EXPECT_EQ(cursor.position(), 1);
    EXPECT_EQ(callsFromHere(), (std::vector<std::string>{"K1ABC", "W1AW", "w1xyz"})) << "and in index order";
}

TEST_F(CursorPositionTest, PositionsFollowPostsInsertsAndRemovals) {
    ASSERT_TRUE(cursor.moveTo(1));
    cursor.edit();
    cursor.setText("Name", "Annie");
    EXPECT_EQ(cursor.text(1, "Name"), "Ann") << "a pending change is not stored yet";
    EXPECT_EQ(cursor.text("Name"), "Annie");
    ASSERT_TRUE(cursor.moveTo(4));
    EXPECT_EQ(log->commits, 1) << "moving posts the pending change";
    EXPECT_EQ(cursor.text(1, "Name"), "Annie");

    cursor.insert();
    cursor.setText("Call", "VE3NEW");
    cursor.post();
    EXPECT_EQ(cursor.position(), 5);
    EXPECT_EQ(cursor.text(5, "Call"), "VE3NEW");

    ASSERT_TRUE(cursor.moveTo(1));
    cursor.remove();
    EXPECT_EQ(cursor.position(), 1) << "the row that followed moved up into the place";
    EXPECT_EQ(cursor.text(1, "Call"), "N3Q");
    EXPECT_EQ(cursor.text(4, "Call"), "VE3NEW");
    try {
        cursor.text(5, "Call");
        FAIL() << "a position past the last row was read";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "ADODataSet_ThDB: there is no record at position 5");
    }
    EXPECT_THROW(cursor.text(0, "Grid"), std::runtime_error);

    cursor.close();
    EXPECT_THROW(cursor.text(0, "Call"), std::runtime_error);
    EXPECT_THROW(cursor.moveTo(0), std::runtime_error);
}

TEST_F(CursorPositionTest, SeekPrefixFindsTheFirstCallStartingWithTheTextInIndexOrder) {
    EXPECT_FALSE(cursor.seekPrefix("K1")) << "no index is set";
    EXPECT_TRUE(cursor.atEnd());

    cursor.setIndexName("Call");
    const std::pair<const char*, const char*> found[] = {
        {"K1", "K1A"}, {"k1ab", "K1ABC"}, {"W", "W1AW"}, {"w1X", "w1xyz"}, {"n3q", "N3Q"}};
    for (const auto& [prefix, call] : found) {
        ASSERT_TRUE(cursor.seekPrefix(prefix)) << prefix;
        EXPECT_EQ(cursor.text("Call"), call) << prefix;
    }
    EXPECT_EQ(callsFromHere(), (std::vector<std::string>{"N3Q", "W1AW", "w1xyz"})) << "the walk goes on in index order";

    // Between two calls, before the first and after the last: no call starts with these.
    for (const char* prefix : {"W1B", "A", "Z", "K1ABCD"}) {
        EXPECT_FALSE(cursor.seekPrefix(prefix)) << prefix;
        EXPECT_TRUE(cursor.atEnd()) << prefix;
    }

    cursor.setFilter("Name <> 'Eve'");
    cursor.setFiltered(true);
    ASSERT_TRUE(cursor.seekPrefix("K1"));
    EXPECT_EQ(cursor.text("Call"), "K1ABC") << "rows the filter hides are passed over";
}

}  // namespace kv::data_access

namespace kv::data_access {
namespace {

TEST_F(CursorPositionTest, BulkPostsRemovalsAndNewRowsReachTheSourceAsOneCommitInTheTablesOrder) {
    const Cursor::Field name = cursor.field("NAME");
    EXPECT_EQ(cursor.text(name), "Hiram");
    EXPECT_EQ(cursor.text(4, name), "Eve");
    EXPECT_THROW(cursor.field("Grid"), std::runtime_error);

    Cursor other("Other");
    other.setConnection(&connection);
    other.setTableName("Stations");
    other.open();
    connection.runBulkWork([&] {
        ASSERT_TRUE(cursor.moveTo(1));
        cursor.edit();
        cursor.setText(name, "Anne");
        cursor.post();
        cursor.insert();
        cursor.setText("Call", "VE3NEW");
        cursor.post();
        const long long added = cursor.position();
        ASSERT_TRUE(cursor.moveTo(3));
        cursor.remove();
        ASSERT_TRUE(cursor.moveTo(added - 1));  // the removal moved it up
        cursor.edit();
        cursor.setText(name, "New");
        cursor.post();
        EXPECT_EQ(other.text(1, "Name"), "Anne") << "the other cursor reads the posts before the commit";
        EXPECT_EQ(other.text(4, "Name"), "New");
        EXPECT_EQ(log->commits, 0);
    });
    EXPECT_EQ(log->commits, 1);
    EXPECT_EQ(
        log->lastRows,
        (std::vector<Row>{{"W1AW", "Hiram"}, {"K1ABC", "Anne"}, {"N3Q", "Cy"}, {"K1A", "Eve"}, {"VE3NEW", "New"}}));
    EXPECT_EQ(other.text(4, "Call"), "VE3NEW") << "after the commit the rows are the source's";
}

}  // namespace
}  // namespace kv::data_access
