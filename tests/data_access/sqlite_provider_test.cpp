// The SQLite provider on the logger's real log and on files made through SQLite: every table
// listed, every value as text the way the Access provider shows its kind, filter, sort and locate
// done above it, any change refused, and the provider chosen by the file's signature.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "all_rows.h"
#include "data_access/command.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "data_access/provider_choice.h"
#include "data_access/sqlite_provider.h"
#include "sqlite_logs.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using kv::testing::FileState;
using kv::testing::loggerConnection;
using kv::testing::sqliteRows;
using kv::testing::SqliteWriter;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::StrEq;
using testing::TempDir;
using ::testing::ThrowsMessage;

std::vector<std::string> firstColumn(const std::vector<std::vector<std::optional<std::string>>>& rows) {
    std::vector<std::string> values;
    for (const auto& row : rows) values.push_back(row.at(0).value_or("<NULL>"));
    return values;
}

std::vector<std::string> columnTexts(Cursor& cursor, const std::string& column) {
    std::vector<std::string> values;
    for (cursor.first(); !cursor.atEnd(); cursor.next()) values.push_back(cursor.text(column));
    return values;
}

std::string quotedName(const std::string& name) { return "\"" + name + "\""; }

// A copy of the real log, which must read back as it was after every test.
class SqliteRealLog : public ::testing::Test {
protected:
    void SetUp() override {
        connection.setConnectionString(loggerConnection(log));
        cursor.setConnection(&connection);
    }
    void TearDown() override {
        connection.close();
        EXPECT_EQ(FileState::of(log), before) << "the log is read, never changed, and nothing is left beside it";
    }

    void openTable(const std::string& table) {
        cursor.setTableName(table);
        cursor.open();
    }

    TempDir dir;
    const std::string log = kv::testing::copyRealLog(dir.path());
    const FileState before = FileState::of(log);
    Connection connection;
    Cursor cursor{"ADODataSet_HamDb"};
};

TEST_F(SqliteRealLog, ListsEveryTableInTheFilesOrder) {
    Cursor tables("ADODataSet_tables");
    connection.listTables(tables);
    EXPECT_EQ(columnTexts(tables, "TABLE_NAME"),
              firstColumn(sqliteRows(log, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid")));
    for (const std::string& type : columnTexts(tables, "TABLE_TYPE")) EXPECT_EQ(type, "TABLE");
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"DXLOG"})) << "as the import asks whether the log has one";
    EXPECT_EQ(FileState::of(log), before);
}

// Each value against SQLite's own reading of it: NULL stays no value, integers and text read as
// SQLite writes them, blobs in hex as its hex() writes them, reals in plain decimal, DATETIME text
// in the process date format.
TEST_F(SqliteRealLog, EveryValueOfEveryTableReadsAsSqliteStoresIt) {
    auto provider = openSqliteProvider(log);
    int dates = 0, reals = 0, nulls = 0;
    for (const std::string& name : provider->tableNames()) {
        const auto table = provider->openTable(name);
        const std::vector<Row> rows = testing::allRows(*table);
        const auto declared = sqliteRows(log, "SELECT name, type FROM pragma_table_info('" + name + "')");
        ASSERT_EQ(table->columnNames(), firstColumn(declared)) << name;
        for (std::size_t c = 0; c < declared.size(); ++c) {
            const std::string column = quotedName(*declared[c][0]);
            // quote() writes a real with every digit it needs to read back the same.
            const auto stored =
                sqliteRows(log, "SELECT typeof(" + column + "), CASE typeof(" + column + ") WHEN 'blob' THEN hex(" +
                                    column + ") WHEN 'real' THEN quote(" + column + ") ELSE " + column + " END FROM " +
                                    quotedName(name) + " ORDER BY rowid");
            ASSERT_EQ(stored.size(), rows.size()) << name;
            for (std::size_t r = 0; r < stored.size(); ++r) {
                const Value& read = rows[r][c];
                const std::string where = name + "." + column + " row " + std::to_string(r);
                const std::string kind = *stored[r][0];
                if (kind == "null") {
                    EXPECT_FALSE(read) << where;
                    ++nulls;
                } else if (kind == "real") {
                    ASSERT_TRUE(read) << where;
                    EXPECT_EQ(parseNumber(*read), std::stod(*stored[r][1])) << where;
                    EXPECT_FALSE(read->ends_with(".0")) << where << ": " << *read;
                    ++reals;
                } else if (*declared[c][1] == "DATETIME") {
                    ASSERT_TRUE(read) << where;
                    EXPECT_TRUE(parseDateTime(*read)) << where << ": " << *read;
                    ++dates;
                } else {
                    EXPECT_EQ(read, stored[r][1]) << where;
                }
            }
        }
    }
    EXPECT_GT(dates, 0);
    EXPECT_GT(reals, 0);
    EXPECT_GT(nulls, 0);
}

TEST_F(SqliteRealLog, ContestInstancesSortByNameWithTheirStartInTheProcessFormat) {
    openTable("ContestInstance");
    cursor.setSort("ContestName ASC");
    EXPECT_EQ(columnTexts(cursor, "ContestName"), (std::vector<std::string>{"DELETEDQS", "DX", "FD"}));
    EXPECT_EQ(columnTexts(cursor, "StartDate"),
              (std::vector<std::string>{"1-1-1900", "1-1-1900", "5-16-2026 18:00:00"}))
        << "stored as 1900-01-01, 1900-01-01 00:00:00 and 2026-05-16 18:00:00";
    EXPECT_EQ(columnTexts(cursor, "Contestnr"), (std::vector<std::string>{"-1", "0", "1"}))
        << "the import names the column so; SQLite and the cursor match names regardless of case";
}

TEST_F(SqliteRealLog, QsosFilterByContestAndLocateByCall) {
    openTable("DXLOG");
    for (const std::string nr : {"1", "-1"}) {
        cursor.setFiltered(false);
        cursor.setFilter("ContestNR = " + nr);
        cursor.setFiltered(true);
        EXPECT_EQ(columnTexts(cursor, "Call"),
                  firstColumn(sqliteRows(log, "SELECT Call FROM DXLOG WHERE ContestNR = " + nr + " ORDER BY rowid")))
            << "contest " << nr;
    }
    EXPECT_EQ(cursor.recordCount(), 1) << "the deleted QSO is the DELETEDQS instance's";

    cursor.setFiltered(false);
    const auto stored =
        sqliteRows(log, "SELECT Call, Sect, Exchange1, CK FROM DXLOG WHERE ContestNR = 1 ORDER BY rowid");
    ASSERT_FALSE(stored.empty());
    const std::string call = *stored.back()[0];
    std::string lowered = call;
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_TRUE(cursor.locate("Call", {lowered})) << "Locate ignores letter case";
    EXPECT_EQ(cursor.text("Call"), call);
    EXPECT_EQ(cursor.text("Sect"), *stored.back()[1]);
    EXPECT_EQ(cursor.text("Exchange1"), *stored.back()[2]);
    EXPECT_EQ(cursor.text("Ck"), *stored.back()[3]);
}

TEST_F(SqliteRealLog, RefusesEveryChange) {
    openTable("DXLOG");
    cursor.first();
    cursor.edit();
    EXPECT_THAT(
        [&] { cursor.setText("Sect", "EMA"); },
        ThrowsMessage<std::runtime_error>(StartsWith("SQLite database " + log + " (table DXLOG) is read-only")));
    cursor.cancel();
    cursor.insert();
    EXPECT_THAT([&] { cursor.post(); }, ThrowsMessage<std::runtime_error>(HasSubstr("is read-only")));
    cursor.cancel();
    Command command;
    command.setConnection(&connection);
    command.setCommandText("DELETE * FROM DXLOG");
    EXPECT_THAT([&] { command.execute(); }, ThrowsMessage<std::runtime_error>(HasSubstr("is read-only")));
    EXPECT_EQ(FileState::of(log), before);
}

// One column of a table made with each kind of value SQLite stores.
struct StoredValue {
    const char* column;
    kv::testing::SqlValue stored;
    Value read;
};

TEST(SqliteValues, ReadAsTheAccessProviderShowsEachKind) {
    const std::vector<StoredValue> values = {
        {"Whole", std::int64_t{9007199254740993}, "9007199254740993"},  // beyond a double's precision
        {"Whole", std::int64_t{-1}, "-1"},
        {"Real", 2.5, "2.5"},
        {"Real", 14200.0, "14200"},
        {"Real", 0.1, "0.1"},
        {"Real", -3.0, "-3"},
        {"Stamp", "2026-05-16 18:00:00", "5-16-2026 18:00:00"},
        {"Stamp", "1900-01-01", "1-1-1900"},
        {"Stamp", "1900-01-01 00:00:00", "1-1-1900"},
        {"Stamp", "2024-02-29T07:05", "2-29-2024 7:05:00"},
        {"Stamp", "2026-05-16 02:13:43.250Z", "5-16-2026 2:13:43"},
        {"Stamp", "2023-02-29 10:00:00", "2023-02-29 10:00:00"},  // no such day
        {"Stamp", "2026-05-16 24:00:00", "2026-05-16 24:00:00"},
        {"Stamp", "2026-5-16", "2026-5-16"},
        {"Stamp", "2026-05-16 18:00:00 tomorrow", "2026-05-16 18:00:00 tomorrow"},
        {"Stamp", std::int64_t{45000}, "45000"},
        {"Stamp", "", ""},
        {"Day", "2025-06-28", "6-28-2025"},
        {"Note", "Zoë Ñandú 日本", "Zoë Ñandú 日本"},
        {"Note", "", ""},
        {"Note", " ", " "},
        {"Untyped", "2026-05-16", "2026-05-16"},  // not declared as a date
        {"Untyped", 7.0, "7"},
        {"Note", std::monostate{}, std::nullopt},
        {"Stamp", std::monostate{}, std::nullopt},
    };
    TempDir dir;
    const std::string path = dir.file("kinds.s3db");
    {
        SqliteWriter writer(path);
        writer.execute(
            "CREATE TABLE Kinds (Whole INTEGER, Real DOUBLE, Stamp DATETIME, Day DATE, Note VARCHAR(20), "
            "Raw BLOB, Untyped)");
        for (const StoredValue& value : values) writer.insert("Kinds", {{value.column, value.stored}});
        writer.execute("INSERT INTO Kinds (Raw) VALUES (x'00ff10'), (x'')");
    }
    const FileState before = FileState::of(path);
    const auto table = openSqliteProvider(path)->openTable("kinds");
    const std::vector<std::string>& columns = table->columnNames();
    const std::vector<Row> rows = testing::allRows(*table);
    ASSERT_EQ(rows.size(), values.size() + 2);
    for (std::size_t r = 0; r < values.size(); ++r) {
        const auto c =
            static_cast<std::size_t>(std::find(columns.begin(), columns.end(), values[r].column) - columns.begin());
        EXPECT_EQ(rows[r][c], values[r].read) << values[r].column << " row " << r;
    }
    const std::size_t raw = 5;
    EXPECT_EQ(rows[values.size()][raw], Value("00FF10")) << "a blob in hex digits, as Access shows binary";
    EXPECT_EQ(rows[values.size() + 1][raw], Value(""));
    EXPECT_EQ(FileState::of(path), before);
}

TEST(SqliteValues, TextOfAUtf16DatabaseReadsAsUtf8) {
    TempDir dir;
    const std::string path = dir.file("utf16.s3db");
    {
        SqliteWriter writer(path);
        writer.execute("PRAGMA encoding = 'UTF-16le'; CREATE TABLE Names (Name TEXT)");
        writer.insert("Names", {{"Name", std::string("Jürgen Ødegård")}});
    }
    EXPECT_EQ(testing::allRows(*openSqliteProvider(path)->openTable("Names")), (std::vector<Row>{{"Jürgen Ødegård"}}));
}

TEST(SqliteProviderChoice, TheSignatureChoosesWhateverTheNameOrConnectionString) {
    TempDir dir;
    const std::string sqliteNamedMdb = dir.file("log.mdb");
    std::filesystem::copy_file(kv::testing::kRealLog, sqliteNamedMdb);
    const std::string accessNamedS3db = dir.file("old log.s3db");
    std::filesystem::copy_file(KV_FIXTURES_DIR "/jet4/emptyJet4.mdb", accessNamedS3db);
    const FileState sqliteBefore = FileState::of(sqliteNamedMdb);

    for (const std::string& connectionString :
         {loggerConnection(sqliteNamedMdb),
          "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + sqliteNamedMdb + ";Extended Properties=Excel 8.0;"}) {
        Connection connection;
        connection.setConnectionString(connectionString);
        EXPECT_NE(connection.table("DXLOG")->columnNames().size(), 0u) << connectionString;
    }
    EXPECT_EQ(FileState::of(sqliteNamedMdb), sqliteBefore);

    Connection access;
    access.setConnectionString(loggerConnection(accessNamedS3db));
    Cursor tables("ADODataSet_tables");
    access.listTables(tables);
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"MSysObjects"})) << "an Access file is read as one, named as it may be";
}

TEST(SqliteProviderChoice, AFileThatIsNoSqliteDatabaseIsRefusedByName) {
    TempDir dir;
    const std::string text = "TS,Call\n2026-05-16 02:13:43,AA3MM\n";
    for (const std::string name : {"log.s3db", "log.SQLITE"}) {
        testing::writeFile(dir.file(name), text);
        EXPECT_THAT([&] { openProvider(chooseProvider(loggerConnection(dir.file(name)))); },
                    ThrowsMessage<std::runtime_error>(StrEq(dir.file(name) + " is not a SQLite database")));
        EXPECT_EQ(testing::readFile(dir.file(name)), text);
    }
    testing::writeFile(dir.file("log.mdb"), text);
    EXPECT_THAT([&] { openProvider(chooseProvider(loggerConnection(dir.file("log.mdb")))); },
                ThrowsMessage<std::runtime_error>(StrEq(dir.file("log.mdb") + " is not an Access database")));
}

TEST(SqliteProviderChoice, ATableTheLogLacksIsNamed) {
    TempDir dir;
    const std::string log = kv::testing::copyRealLog(dir.path());
    EXPECT_THAT([&] { openSqliteProvider(log)->openTable("History"); },
                ThrowsMessage<std::runtime_error>(StrEq(log + " has no table History")));
}

}  // namespace
}  // namespace kv::data_access
