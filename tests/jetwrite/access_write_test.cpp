// The Access provider's write side: text converted to the column's type or refused with a message
// naming the column and the value, and rows committed so that a new connection and mdb-export
// read them back exactly as the table showed them; two connections to one file, where the later
// commit over an earlier one is refused and its cursor shows the other's rows; autonumbers a
// commit hands out, kept by the rows in memory; and large commits, whose rows are made on two
// threads.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "../data_access/all_rows.h"
#include "data_access/access/access_provider.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "jet/database_builder.h"
#include "jet/table_writer.h"
#include "scratch_file.h"

namespace kv::data_access {
namespace {

using jet::testing::ScratchFolder;

std::string refusal(const ProviderTable& table, std::size_t column, const std::string& text) {
    try {
        table.convert(column, text);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "accepted";
}

TEST(AccessWrite, ConvertsTextToColumnTypesAndRefusesWhatDoesNotFit) {
    ScratchFolder folder;
    std::string path = folder.copyOf("testV2000.mdb");
    auto provider = openAccessProvider(path);
    auto table =
        provider->openTable("Table1");  // A, B Text; C Byte; D Integer; E Long; F Double; G Date; H Currency; I Yes/No
    EXPECT_EQ(table->convert(4, "-2147483648"), Value("-2147483648"));
    EXPECT_EQ(table->convert(5, "2.50"), Value("2.5"));
    EXPECT_EQ(table->convert(7, "3.5"), Value("3.5"));
    // Currency keeps every digit of large amounts, and rounds past four decimals.
    EXPECT_EQ(table->convert(7, "-922337203685477.5807"), Value("-922337203685477.5807"));
    EXPECT_EQ(table->convert(7, " 123456789012.34565 "), Value("123456789012.3457"));
    EXPECT_EQ(table->convert(7, ".5"), Value("0.5"));
    EXPECT_NE(refusal(*table, 7, "922337203685477.5808"), "accepted");
    EXPECT_NE(refusal(*table, 7, "1.2.3"), "accepted");
    EXPECT_NE(refusal(*table, 7, "."), "accepted");
    EXPECT_EQ(table->convert(6, "5-4-2005"), Value("5-4-2005"));
    // The last conversion is kept: a date after it, a refused one and the first again.
    EXPECT_EQ(table->convert(6, "5/4/2005 9:05:07"), Value("5-4-2005 9:05:07"));
    EXPECT_NE(refusal(*table, 6, "2-30-2005"), "accepted");
    EXPECT_EQ(table->convert(6, "05-04-2005"), Value("5-4-2005"));
    EXPECT_NE(refusal(*table, 6, "2-30-2005"), "accepted");
    EXPECT_EQ(table->convert(5, "1"), Value("1"));
    EXPECT_EQ(table->convert(8, "1"), Value("True")) << "the same text for another column";
    EXPECT_EQ(table->convert(8, "True"), Value("True"));
    EXPECT_EQ(table->convert(4, ""), std::nullopt);
    EXPECT_EQ(table->convert(0, ""), Value(""));

    std::string abc = refusal(*table, 4, "abc");
    EXPECT_NE(abc.find("abc"), std::string::npos) << abc;
    EXPECT_NE(abc.find(" E"), std::string::npos) << abc;
    std::string big = refusal(*table, 2, "256");
    EXPECT_NE(big.find("256"), std::string::npos) << big;
    std::string longText = refusal(*table, 0, std::string(51, 'x'));
    EXPECT_NE(longText.find("too long for column A"), std::string::npos) << longText;
    EXPECT_EQ(refusal(*table, 0, std::string(50, 'x')), "accepted");
}

TEST(AccessWrite, CommittedRowsReadBackThroughANewConnectionAndMdbExport) {
    ScratchFolder folder;
    std::string path = folder.copyOf("testV2000.mdb");
    std::vector<Row> rows;
    {
        auto provider = openAccessProvider(path);
        auto table = provider->openTable("table1");
        rows = testing::allRows(*table);
        Row added(table->columnNames().size());
        added[0] = table->convert(0, "W1AW");
        added[2] = table->convert(2, "7");
        added[4] = table->convert(4, "-5");
        added[6] = table->convert(6, "12-31-1999 23:59:58");
        added[8] = table->convert(8, "False");
        rows.push_back(added);
        rows.erase(rows.begin());
        TableChanges changes;
        changes.removed = {0};
        changes.added = 1;
        changes.readChange = [&](std::size_t, Row& into) { into = added; };
        EXPECT_TRUE(table->commit(changes).empty()) << "the new row reads back as given";
        EXPECT_EQ(testing::allRows(*table), rows);
    }
    // The new row may take the place the removed one left, so the file's order is not the rows'.
    std::vector<Row> reread = testing::allRows(*openAccessProvider(path)->openTable("Table1"));
    std::sort(reread.begin(), reread.end());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(reread, rows);
    std::string exported = jet::testing::mdbExport(path, "Table1");
    EXPECT_NE(exported.find("\"W1AW\",,7,,-5,,\"12/31/99 23:59:58\",,0"), std::string::npos) << exported;
    EXPECT_EQ(exported.find("abcdefg"), std::string::npos) << exported;
}

// A cursor on `table` of the database at `path`, through its own connection.
struct OpenTable {
    OpenTable(const std::string& path, const std::string& table) : cursor(table) {
        connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source =" + path);
        cursor.setConnection(&connection);
        cursor.setTableName(table);
        cursor.open();
    }
    Connection connection;
    Cursor cursor;
};

std::string postFailure(Cursor& cursor) {
    try {
        cursor.post();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "posted";
}

TEST(AccessWrite, ACommitOverAnotherConnectionsIsRefusedAndShowsItsRows) {
    ScratchFolder folder;
    std::string path = folder.copyOf("testV2000.mdb");
    OpenTable mine(path, "Table1");
    OpenTable theirs(path, "Table1");

    theirs.cursor.first();
    theirs.cursor.edit();
    theirs.cursor.setText("A", "THEIRS");
    theirs.cursor.post();

    mine.cursor.first();
    mine.cursor.next();
    mine.cursor.edit();
    mine.cursor.setText("A", "MINE");
    std::string refused = postFailure(mine.cursor);
    EXPECT_NE(refused.find("Another program changed table Table1"), std::string::npos) << refused;
    EXPECT_NE(refused.find("read again"), std::string::npos) << refused;

    // The refused cursor now shows the other connection's row, and the file kept it.
    mine.cursor.first();
    EXPECT_EQ(mine.cursor.text("A"), "THEIRS");
    EXPECT_EQ(OpenTable(path, "Table1").cursor.text("A"), "THEIRS");
    // Having read the table again, the change goes through.
    mine.cursor.next();
    mine.cursor.edit();
    mine.cursor.setText("A", "MINE");
    mine.cursor.post();
    OpenTable after(path, "Table1");
    EXPECT_EQ(after.cursor.text("A"), "THEIRS");
    after.cursor.next();
    EXPECT_EQ(after.cursor.text("A"), "MINE");
}

TEST(AccessWrite, AutonumbersACommitHandsOutStayWithTheRows) {
    ScratchFolder folder;
    std::string path = (folder.path() / "numbered.mdb").string();
    jet::TableContent table;
    table.design.name = "Numbered";
    table.design.columns = {jet::userColumn("Id", jet::ColumnType::Long, 0, false, true),
                            jet::userColumn("Call", jet::ColumnType::Text, 20)};
    table.rows = {{jet::Value(), std::string("K1A")}};
    jet::createDatabase(path, {table});

    OpenTable numbered(path, "Numbered");
    EXPECT_EQ(numbered.cursor.text("Id"), "1");
    for (const char* call : {"K2B", "K3C"}) {
        numbered.cursor.insert();
        numbered.cursor.setText("Call", call);
        numbered.cursor.post();
    }
    EXPECT_EQ(numbered.cursor.text(2, "Id"), "3") << "the cursor shows the number the commit gave the row";
    std::string exported = jet::testing::mdbExport(path, "Numbered");
    EXPECT_EQ(exported, "Id,Call\n1,\"K1A\"\n2,\"K2B\"\n3,\"K3C\"\n") << "no row was numbered twice";
}

// A bulk commit large enough to lay the table down afresh, its rows streamed from the pages and the
// posts: the file then holds exactly the rows the cursor shows, mdb-export agrees, and the unique
// index finds every call. One more such commit that repeats a call is refused whole.
TEST(AccessWrite, ALargeBulkCommitLaysTheTableDownAfreshAndIsAllOrNothing) {
    ScratchFolder folder;
    std::string path = (folder.path() / "stations.mdb").string();
    jet::TableContent table;
    table.design.name = "Stations";
    table.design.columns = {jet::userColumn("Call", jet::ColumnType::Text, 20),
                            jet::userColumn("Name", jet::ColumnType::Text, 30)};
    table.design.indexes = {jet::IndexDesign{"Call", {{"Call", false}}, true, false, false, false}};
    for (int i = 0; i < 600; ++i) table.rows.push_back({"K" + std::to_string(i), std::string("OLD")});
    jet::createDatabase(path, {table});

    OpenTable stations(path, "Stations");
    std::vector<long long> doomed;
    for (long long i = 0; i < 600; i += 6) doomed.push_back(i);
    stations.connection.runBulkWork([&] {
        for (long long i = 1; i < 600; i += 2) {
            stations.cursor.moveTo(i);
            stations.cursor.edit();
            stations.cursor.setText("Name", i % 4 == 1 ? "NEW" : "OLD");  // half of them as they were
            stations.cursor.post();
        }
        for (int i = 0; i < 300; ++i) {
            stations.cursor.insert();
            stations.cursor.setText("Call", "W" + std::to_string(i));
            stations.cursor.setText("Name", "ADDED");
            stations.cursor.post();
        }
    });
    stations.cursor.removeAt(doomed);

    std::vector<Row> expected;
    for (int i = 0; i < 600; ++i)
        if (i % 6 != 0) expected.push_back({"K" + std::to_string(i), i % 4 == 1 ? "NEW" : "OLD"});
    for (int i = 0; i < 300; ++i) expected.push_back({"W" + std::to_string(i), "ADDED"});
    EXPECT_EQ(testing::allRows(*openAccessProvider(path)->openTable("Stations")), expected);
    std::string exported = jet::testing::mdbExport(path, "Stations");
    EXPECT_NE(exported.find("\"K5\",\"NEW\"\n\"K7\",\"OLD\""), std::string::npos) << exported;
    EXPECT_EQ(exported.find("\"K6\""), std::string::npos) << exported;

    OpenTable reopened(path, "Stations");
    reopened.cursor.setIndexName("Call");
    for (const char* call : {"K1", "K599", "W0", "W299"}) EXPECT_TRUE(reopened.cursor.seek(call)) << call;
    EXPECT_FALSE(reopened.cursor.seek("K12"));

    const std::vector<std::uint8_t> before = jet::testing::fileBytes(path);
    EXPECT_THROW(reopened.connection.runBulkWork([&] {
        for (int i = 0; i < 400; ++i) {
            reopened.cursor.insert();
            reopened.cursor.setText("Call", i == 399 ? "K1" : "VE" + std::to_string(i));
            reopened.cursor.post();
        }
    }),
                 std::runtime_error);
    EXPECT_EQ(jet::testing::fileBytes(path), before) << "the refused commit wrote nothing";
    EXPECT_EQ(reopened.cursor.recordCount(), static_cast<long long>(expected.size()));
}

// Rows a bulk commit keeps are copied as stored, but not in a table with a Memo column: a long
// memo lies on pages of its own, which the rebuild writes afresh.
TEST(AccessWrite, ALargeBulkCommitKeepsTheMemosOfRowsItDoesNotChange) {
    ScratchFolder folder;
    std::string path = (folder.path() / "notes.mdb").string();
    jet::TableContent table;
    table.design.name = "Notes";
    table.design.columns = {jet::userColumn("Call", jet::ColumnType::Text, 20),
                            jet::userColumn("Note", jet::ColumnType::Memo, 0)};
    table.design.indexes = {jet::IndexDesign{"Call", {{"Call", false}}, true, false, false, false}};
    auto note = [](int i) { return std::string(i % 3 == 0 ? 6000 : 40, static_cast<char>('a' + i % 26)); };
    for (int i = 0; i < 400; ++i) table.rows.push_back({"K" + std::to_string(i), note(i)});
    jet::createDatabase(path, {table});

    OpenTable notes(path, "Notes");
    notes.connection.runBulkWork([&] {
        for (int i = 0; i < 300; ++i) {
            notes.cursor.insert();
            notes.cursor.setText("Call", "W" + std::to_string(i));
            notes.cursor.setText("Note", std::string(5000, 'z'));
            notes.cursor.post();
        }
    });

    std::vector<Row> expected;
    for (int i = 0; i < 400; ++i) expected.push_back({"K" + std::to_string(i), note(i)});
    for (int i = 0; i < 300; ++i) expected.push_back({"W" + std::to_string(i), std::string(5000, 'z')});
    EXPECT_EQ(testing::allRows(*openAccessProvider(path)->openTable("Notes")), expected);
    const std::string exported = jet::testing::mdbExport(path, "Notes");
    EXPECT_NE(exported.find("\"K3\",\"" + note(3) + "\""), std::string::npos);
    EXPECT_NE(exported.find("\"W199\",\"" + std::string(5000, 'z') + "\""), std::string::npos);
}

// A table of this many rows is large enough that a rebuild makes its later half on a second thread.
constexpr int kTwoThreadRows = 24'000;

jet::TableContent stationsOf(int rows) {
    jet::TableContent table;
    table.design.name = "Stations";
    table.design.columns = {jet::userColumn("Call", jet::ColumnType::Text, 20),
                            jet::userColumn("Name", jet::ColumnType::Text, 30)};
    table.design.indexes = {jet::IndexDesign{"Call", {{"Call", false}}, true, false, false, false}};
    for (int i = 0; i < rows; ++i) table.rows.push_back({"K" + std::to_string(i), std::string("OLD")});
    return table;
}

TEST(AccessWrite, ALargeBulkCommitMadeOnTwoThreadsKeepsEveryRowInItsPlace) {
    ScratchFolder folder;
    std::string path = (folder.path() / "stations.mdb").string();
    jet::createDatabase(path, {stationsOf(kTwoThreadRows)});

    OpenTable stations(path, "Stations");
    stations.connection.runBulkWork([&] {
        for (long long i = 0; i < kTwoThreadRows; i += 3) {
            stations.cursor.moveTo(i);
            stations.cursor.edit();
            stations.cursor.setText("Name", "NEW" + std::to_string(i));
            stations.cursor.post();
        }
        for (int i = 0; i < 3000; ++i) {
            stations.cursor.insert();
            stations.cursor.setText("Call", "W" + std::to_string(i));
            stations.cursor.setText("Name", "ADDED");
            stations.cursor.post();
        }
    });

    std::vector<Row> expected;
    std::string exported = "Call,Name\n";
    auto expect = [&](const std::string& call, const std::string& name) {
        expected.push_back({call, name});
        exported += "\"" + call + "\",\"" + name + "\"\n";
    };
    for (int i = 0; i < kTwoThreadRows; ++i) expect("K" + std::to_string(i), i % 3 ? "OLD" : "NEW" + std::to_string(i));
    for (int i = 0; i < 3000; ++i) expect("W" + std::to_string(i), "ADDED");
    EXPECT_EQ(testing::allRows(*openAccessProvider(path)->openTable("Stations")), expected);
    EXPECT_EQ(jet::testing::mdbExport(path, "Stations"), exported);

    OpenTable reopened(path, "Stations");
    reopened.cursor.setIndexName("Call");
    for (const std::string call : {"K0", "K11999", "K12000", "K23999", "W0", "W2999"}) {
        ASSERT_TRUE(reopened.cursor.seek(call)) << call;
        EXPECT_EQ(reopened.cursor.text("Call"), call);
    }
    EXPECT_FALSE(reopened.cursor.seek("K24000"));
}

// Of two rows that do not fit, the commit names the first in order, whichever thread made it.
TEST(AccessWrite, ALargeRebuildNamesTheFirstRowThatDoesNotFit) {
    ScratchFolder folder;
    std::string path = (folder.path() / "stations.mdb").string();
    jet::TableContent table = stationsOf(kTwoThreadRows);
    jet::createDatabase(path, {table});
    const std::vector<std::uint8_t> before = jet::testing::fileBytes(path);
    auto refusal = [&] {
        try {
            jet::commitTable(path, "Stations", table.rows);
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("committed");
    };

    const std::string late(35, 'L'), early(35, 'E');  // Name holds 30
    table.rows[20'000][1] = late;
    EXPECT_THAT(refusal(), ::testing::HasSubstr("'" + late + "' is too long for column Name"));
    table.rows[3'000][1] = early;
    EXPECT_THAT(refusal(), ::testing::HasSubstr("'" + early + "' is too long for column Name"));
    EXPECT_EQ(jet::testing::fileBytes(path), before);
}

}  // namespace
}  // namespace kv::data_access
