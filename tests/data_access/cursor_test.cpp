// Cursors over a writable table in memory: walking, reading and writing, sharing between
// cursors, indexes and seek, bulk work and its commits, and the DELETE command.
#include <gtest/gtest.h>

#include "data_access/command.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using testing::CommitLog;
using testing::WritableProvider;

class CursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritableProvider::Definition history{"History", {"Call", "Name", "data2", "Updated"}, {}, {}};
        history.rows = {{"W1AW", "Hiram", std::nullopt, "5-4-2005"},
                        {"K1ABC", "ann", "5", std::nullopt},
                        {"w1aw", "Second", std::nullopt, std::nullopt}};
        history.indexes = {IndexInfo{"Call", {{"Call", false}}, false, false},
                           IndexInfo{"ByName", {{"Name", true}}, false, false}};
        log = history.log;
        WritableProvider::Definition version{"version", {"Major"}, {{"1"}}, {}};
        WritableProvider::Definition system{"MSysObjects", {"Id"}, {}, {}};
        connection.open(std::make_unique<WritableProvider>(std::vector{history, version, system}));
        cursor.setConnection(&connection);
        cursor.setTableName("history");
        cursor.open();
    }

    std::vector<std::string> calls(Cursor& c) {
        std::vector<std::string> result;
        for (c.first(); !c.atEnd(); c.next()) result.push_back(c.text("Call"));
        return result;
    }

    Connection connection;
    Cursor cursor{"ADODataSet_ThDB"};
    std::shared_ptr<CommitLog> log;
};

TEST_F(CursorTest, WalksReadsAndNamesMissingFields) {
    EXPECT_TRUE(cursor.isOpen());
    EXPECT_EQ(cursor.recordCount(), 3);
    EXPECT_EQ(cursor.columnNames(), (std::vector<std::string>{"Call", "Name", "data2", "Updated"}));
    EXPECT_EQ(cursor.text("CALL"), "W1AW");
    EXPECT_EQ(cursor.text("data2"), "");  // NULL
    cursor.next();
    EXPECT_EQ(cursor.text("DATA2"), "5");
    cursor.next();
    cursor.next();
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ(cursor.text("Name"), "");
    cursor.next();  // stays at the end
    EXPECT_TRUE(cursor.atEnd());
    try {
        cursor.text("field8");
        FAIL();
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "ADODataSet_ThDB: Field 'field8' not found");
    }
    EXPECT_THROW(cursor.edit(), std::runtime_error);  // no current row at the end

    cursor.close();
    EXPECT_FALSE(cursor.isOpen());
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_THROW(cursor.first(), std::runtime_error);
    cursor.setTableName("NoSuchTable");
    EXPECT_THROW(cursor.open(), std::runtime_error);
    EXPECT_FALSE(cursor.isOpen());
}

TEST_F(CursorTest, EditInsertPostCommitEachPostAndOtherCursorsSeeThem) {
    Cursor viewer("ADODataSet_Show");
    viewer.setConnection(&connection);
    viewer.setTableName("HISTORY");
    viewer.open();

    EXPECT_THROW(cursor.setText("Name", "x"), std::runtime_error);  // not editing
    cursor.edit();
    cursor.setText("Name", "Hiram Percy");
    EXPECT_EQ(cursor.text("Name"), "Hiram Percy");
    EXPECT_EQ(viewer.text("Name"), "Hiram");  // not posted yet
    cursor.post();
    EXPECT_EQ(log->commits, 1);
    EXPECT_EQ(log->lastRows[0][1], "Hiram Percy");
    EXPECT_EQ(viewer.text("Name"), "Hiram Percy");

    cursor.insert();
    cursor.setText("Call", "VE3XYZ");
    cursor.setText("Updated", "12-1-2005");
    cursor.post();
    EXPECT_EQ(log->commits, 2);
    EXPECT_EQ(cursor.text("Call"), "VE3XYZ");  // the cursor is on the new row
    EXPECT_EQ(cursor.recordCount(), 4);
    EXPECT_EQ(log->lastRows.size(), 4u);
    EXPECT_EQ(log->lastRows[3], (Row{"VE3XYZ", std::nullopt, std::nullopt, "12-1-2005"}));

    cursor.first();
    cursor.edit();
    cursor.setText("Name", "dropped");
    cursor.cancel();
    EXPECT_EQ(cursor.text("Name"), "Hiram Percy");
    cursor.edit();
    cursor.setText("Name", "moved on");
    cursor.next();  // posts first
    EXPECT_EQ(log->commits, 3);
    EXPECT_EQ(viewer.text("Name"), "moved on");

    cursor.edit();
    EXPECT_THROW(cursor.setText("Name", "not a value"), std::runtime_error);  // the provider refuses it
    cursor.cancel();

    // A failed commit leaves the rows as the source has them.
    log->failNextCommit = true;
    cursor.first();
    cursor.edit();
    cursor.setText("Name", "lost");
    EXPECT_THROW(cursor.post(), std::runtime_error);
    cursor.cancel();
    cursor.first();
    EXPECT_EQ(cursor.text("Name"), "moved on");
    EXPECT_EQ(cursor.recordCount(), 4);
}

TEST_F(CursorTest, IndexSeekFindsTheFirstEqualKeyAndFollowsPosts) {
    EXPECT_THROW(cursor.setIndexName("NoSuchIndex"), std::runtime_error);
    EXPECT_FALSE(cursor.seek("W1AW"));  // no index yet
    EXPECT_TRUE(cursor.atEnd());
    cursor.setIndexName("call");
    EXPECT_EQ(calls(cursor), (std::vector<std::string>{"K1ABC", "W1AW", "w1aw"}));
    ASSERT_TRUE(cursor.seek("w1aw"));
    EXPECT_EQ(cursor.text("Name"), "Hiram");  // first of the equal keys, in table order
    EXPECT_FALSE(cursor.seek("N0CALL"));
    EXPECT_TRUE(cursor.atEnd());

    // New and changed rows are found at once, as an import run needs.
    cursor.insert();
    cursor.setText("Call", "AA1AA");
    cursor.post();
    EXPECT_EQ(cursor.text("Call"), "AA1AA");
    ASSERT_TRUE(cursor.seek("K1ABC"));
    cursor.edit();
    cursor.setText("Call", "ZZ9ZZ");
    cursor.post();
    EXPECT_FALSE(cursor.seek("K1ABC"));
    ASSERT_TRUE(cursor.seek("zz9zz"));
    EXPECT_EQ(cursor.text("Name"), "ann");
    EXPECT_EQ(calls(cursor), (std::vector<std::string>{"AA1AA", "W1AW", "w1aw", "ZZ9ZZ"}));

    // A descending index, a filter over an index, and a locate in index order.
    cursor.setIndexName("ByName");
    cursor.first();
    EXPECT_EQ(cursor.text("Name"), "Second");
    cursor.setFilter("Call = 'W1AW'");
    cursor.setFiltered(true);
    EXPECT_EQ(calls(cursor), (std::vector<std::string>{"w1aw", "W1AW"}));
    EXPECT_EQ(cursor.recordCount(), 2);
    EXPECT_TRUE(cursor.locate("Name", {"HIRAM"}));
    EXPECT_EQ(cursor.text("Call"), "W1AW");
    cursor.setFiltered(false);
    cursor.setIndexName("");
    EXPECT_EQ(calls(cursor), (std::vector<std::string>{"W1AW", "ZZ9ZZ", "w1aw", "AA1AA"}));
}

TEST_F(CursorTest, BulkWorkCommitsOnceAndKeepsPostsOfAnInterruptedRun) {
    cursor.setIndexName("Call");
    connection.runBulkWork([&] {
        for (const char* call : {"N1MM", "K3LR", "W1AW"}) {
            if (cursor.seek(call)) {
                cursor.edit();
                cursor.setText("Updated", "1-2-2006");
            } else {
                cursor.insert();
                cursor.setText("Call", call);
            }
            cursor.post();
        }
        EXPECT_EQ(log->commits, 0);
        EXPECT_EQ(cursor.recordCount(), 5);
    });
    EXPECT_EQ(log->commits, 1);
    EXPECT_EQ(log->lastRows.size(), 5u);
    EXPECT_EQ(log->lastRows[0][3], "1-2-2006");

    // An exception ends the run: what was posted is committed and the exception goes on.
    EXPECT_THROW(connection.runBulkWork([&] {
        cursor.insert();
        cursor.setText("Call", "DL1ABC");
        cursor.post();
        throw std::runtime_error("ADODataSet_Hist: Field 'field3' not found");
    }),
                 std::runtime_error);
    EXPECT_EQ(log->commits, 2);
    EXPECT_EQ(log->lastRows.size(), 6u);

    // A commit that fails is reported together with the interruption.
    log->failNextCommit = true;
    try {
        connection.runBulkWork([&] {
            cursor.insert();
            cursor.setText("Call", "G4ABC");
            cursor.post();
            throw std::runtime_error("interrupted");
        });
        FAIL();
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "interrupted; besides, the rows posted so far were not saved: disk full");
    }
    EXPECT_FALSE(cursor.seek("G4ABC"));
    EXPECT_EQ(cursor.recordCount(), 6);

    log->failNextCommit = true;
    EXPECT_THROW(connection.runBulkWork([&] {
        cursor.insert();
        cursor.setText("Call", "G4ABC");
        cursor.post();
    }),
                 std::runtime_error);
}

TEST_F(CursorTest, AllOrNothingWorkCommitsOnlyWhenItEndsNormally) {
    cursor.setIndexName("Call");
    const long long before = cursor.recordCount();
    EXPECT_THROW(connection.runAllOrNothing([&] {
        cursor.insert();
        cursor.setText("Call", "DL1ABC");
        cursor.post();
        ASSERT_TRUE(cursor.seek("W1AW"));
        cursor.edit();
        cursor.setText("Name", "changed");
        cursor.post();
        throw std::runtime_error("ADODataSet_Hist: Field 'field3' not found");
    }),
                 std::runtime_error);
    EXPECT_EQ(log->commits, 0) << "nothing of the interrupted work reached the source";
    EXPECT_EQ(cursor.recordCount(), before);
    EXPECT_FALSE(cursor.seek("DL1ABC"));
    ASSERT_TRUE(cursor.seek("W1AW"));
    EXPECT_NE(cursor.text("Name"), "changed");

    connection.runAllOrNothing([&] {
        for (const char* call : {"N1MM", "K3LR"}) {
            cursor.insert();
            cursor.setText("Call", call);
            cursor.post();
        }
    });
    EXPECT_EQ(log->commits, 1);
    EXPECT_EQ(static_cast<long long>(log->lastRows.size()), before + 2);
}

TEST_F(CursorTest, ListsTablesAndClosingTheConnectionClosesCursors) {
    Cursor tables("ADODataSet_tables");
    connection.listTables(tables);
    EXPECT_EQ(tables.recordCount(), 3);
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"VERSION"}));
    EXPECT_EQ(tables.text("TABLE_TYPE"), "TABLE");
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"msysobjects"}));
    EXPECT_EQ(tables.text("table_type"), "SYSTEM TABLE");
    EXPECT_FALSE(tables.locate("TABLE_NAME", {"DXLOG"}));

    connection.close();
    EXPECT_FALSE(cursor.isOpen());
    EXPECT_THROW(cursor.text("Call"), std::runtime_error);
}

TEST_F(CursorTest, DeleteCommandRemovesRowsInOneCommit) {
    Command command;
    command.setConnection(&connection);
    for (const char* bad : {"SELECT * FROM History", "DELETE History", "DELETE FROM", "DROP TABLE History",
                            "DELETE FROM History WHERE", "DELETE FROM History garbage"}) {
        command.setCommandText(bad);
        EXPECT_THROW(command.execute(), std::runtime_error) << bad;
    }
    command.setCommandText("DELETE FROM History WHERE Nope = 1");
    EXPECT_THROW(command.execute(), std::runtime_error);
    EXPECT_EQ(log->commits, 0);

    cursor.setIndexName("Call");
    command.setCommandText("delete * from [History] where Call = 'w1aw';");
    EXPECT_EQ(command.execute(), 2u);
    EXPECT_EQ(log->commits, 1);
    EXPECT_EQ(calls(cursor), (std::vector<std::string>{"K1ABC"}));
    ASSERT_TRUE(cursor.seek("K1ABC"));

    command.setCommandText("DELETE from History");
    EXPECT_EQ(command.execute(), 1u);
    EXPECT_EQ(log->commits, 2);
    EXPECT_TRUE(log->lastRows.empty());
    EXPECT_EQ(cursor.recordCount(), 0);
    EXPECT_TRUE(cursor.atEnd());
}

TEST_F(CursorTest, RemoveDeletesTheCurrentRowAndMovesToTheNext) {
    cursor.next();
    cursor.remove();
    EXPECT_EQ(log->commits, 1);
    EXPECT_EQ(cursor.text("Call"), "w1aw");
    EXPECT_EQ(calls(cursor), (std::vector<std::string>{"W1AW", "w1aw"}));
}

}  // namespace
}  // namespace kv::data_access
