// A database written from nothing, checked against what Jet writes (emptyJet4.mdb) and read back by
// mdbtools, mdb-reader and our own reader.

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>

#include "../jetwrite/scratch_file.h"
#include "jet/database.h"
#include "jet/database_builder.h"
#include "jet/database_builder_pages.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"
#include "tool_support.h"

namespace kv::jet {
namespace {

using testing::fixture;

using testing::run;
using testing::ScratchFolder;

TEST(NewDatabase, HeaderPageIsTheOneJetWrites) {
    std::vector<std::uint8_t> jet = testing::pageOf(fixture("emptyJet4.mdb"), 0);
    // The creation date is masked like everything else there: with a date of 0 our page holds the
    // bare key stream where Jet's holds the date's bytes.
    std::vector<std::uint8_t> undated = new_pages::header(DateTime{0});
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | static_cast<std::uint8_t>(undated[format::header::kCreationDateOffset + i] ^
                                                     jet[format::header::kCreationDateOffset + i]);
    EXPECT_EQ(new_pages::header(DateTime{std::bit_cast<double>(bits)}), jet);

    PageFile ours("header", new_pages::header(DateTime{45000.25}));
    Header read = readHeader(ours);
    EXPECT_EQ(read.version, format::header::kVersionJet4);
    EXPECT_EQ(read.codePage, 1252);
    EXPECT_EQ(read.sortOrder, 0x409);
    EXPECT_FALSE(read.hasPassword);
}

void expectSameDefinition(const TableDef& ours, const TableDef& jet) {
    SCOPED_TRACE(jet.name);
    EXPECT_EQ(ours.tableType, jet.tableType);
    ASSERT_EQ(ours.columns.size(), jet.columns.size());
    for (std::size_t i = 0; i < jet.columns.size(); ++i) {
        const Column& a = ours.columns[i];
        const Column& b = jet.columns[i];
        SCOPED_TRACE(b.name);
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(a.number, b.number);
        EXPECT_EQ(a.length, b.length);
        EXPECT_EQ(a.flags, b.flags);
        EXPECT_EQ(a.extraFlags, b.extraFlags);
        EXPECT_EQ(a.sortOrder, b.sortOrder);
        // Jet leaves whatever was in memory in the fields a column does not use.
        if (b.isFixedLength())
            EXPECT_EQ(a.fixedOffset, b.fixedOffset);
        else
            EXPECT_EQ(a.variableIndex, b.variableIndex);
    }
    ASSERT_EQ(ours.logicalIndexes.size(), jet.logicalIndexes.size());
    for (const auto& index : jet.logicalIndexes) {
        auto match = std::find_if(ours.logicalIndexes.begin(), ours.logicalIndexes.end(),
                                  [&](const LogicalIndex& l) { return l.name == index.name; });
        ASSERT_NE(match, ours.logicalIndexes.end()) << index.name;
        EXPECT_EQ(match->type, index.type) << index.name;
        const RealIndex& a = ours.realIndexes.at(match->realIndex);
        const RealIndex& b = jet.realIndexes.at(index.realIndex);
        EXPECT_EQ(a.flags, b.flags) << index.name;
        ASSERT_EQ(a.columns.size(), b.columns.size()) << index.name;
        for (std::size_t k = 0; k < a.columns.size(); ++k) {
            EXPECT_EQ(a.columns[k].columnNumber, b.columns[k].columnNumber) << index.name;
            EXPECT_EQ(a.columns[k].ascending, b.columns[k].ascending) << index.name;
        }
    }
}

// The rows without the dates of creation, which differ by nature.
std::vector<std::vector<Value>> undatedRows(const Database& database, const std::string& table) {
    TableDef def = database.tableDef(database.table(table));
    auto rows = database.rows(def).rows;
    for (auto& row : rows)
        for (auto& value : row)
            if (std::holds_alternative<DateTime>(value)) value = std::monostate{};
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return std::get<std::int32_t>(a[0]) < std::get<std::int32_t>(b[0]) ||
               (a[0] == b[0] && std::get<Binary>(a[1]) < std::get<Binary>(b[1]));
    });
    return rows;
}

TEST(NewDatabase, SystemTablesAreTheOnesJetWrites) {
    ScratchFolder folder;
    std::string path = (folder.path() / "empty.mdb").string();
    createDatabase(path, {});
    Database ours(path);
    Database jet(fixture("emptyJet4.mdb"));
    ASSERT_EQ(ours.tables().size(), jet.tables().size());
    for (std::size_t i = 0; i < jet.tables().size(); ++i) {
        EXPECT_EQ(ours.tables()[i].name, jet.tables()[i].name);
        EXPECT_EQ(ours.tables()[i].definitionPage, jet.tables()[i].definitionPage);
        EXPECT_TRUE(ours.tables()[i].system);
        expectSameDefinition(ours.tableDef(ours.tables()[i]), jet.tableDef(jet.tables()[i]));
    }
    EXPECT_EQ(undatedRows(ours, "MSysACEs"), undatedRows(jet, "MSysACEs"));
    auto catalog = [](const Database& database) {
        TableDef def = database.tableDef(database.table("MSysObjects"));
        auto rows = database.rows(def).rows;
        for (auto& row : rows) row[4] = row[5] = std::monostate{};
        return rows;
    };
    EXPECT_EQ(catalog(ours), catalog(jet));
    EXPECT_EQ(run("mdb-tables -S -1 " + testing::quoted(path)),
              run("mdb-tables -S -1 " + testing::quoted(fixture("emptyJet4.mdb"))));
}

TableContent loggerTable() {
    TableContent table;
    table.design.name = "Log Book";
    table.design.columns = {userColumn("Id", ColumnType::Long, 0, false, true),
                            userColumn("Call", ColumnType::Text, 15, true),
                            userColumn("Freq", ColumnType::Double),
                            userColumn("Band", ColumnType::Byte),
                            userColumn("Power", ColumnType::Integer),
                            userColumn("Fee", ColumnType::Currency),
                            userColumn("Gain", ColumnType::Single),
                            userColumn("TS", ColumnType::DateTime),
                            userColumn("Confirmed", ColumnType::Boolean),
                            userColumn("Notes", ColumnType::Memo),
                            userColumn("Station", ColumnType::Guid)};
    IndexDesign primary{"PrimaryKey", {{"Id", false}}, true, true, false, true};
    IndexDesign byCall{"Call", {{"Call", false}, {"TS", true}}, false, false, false, false};
    table.design.indexes = {primary, byCall};
    Guid station;
    station.bytes[0] = 0x2a;
    for (int i = 0; i < 400; ++i) {
        std::string notes = i % 50 == 0 ? std::string(5000, static_cast<char>('a' + i % 26)) : "n" + std::to_string(i);
        table.rows.push_back({std::monostate{}, "K" + std::to_string(i % 97) + "ABC", 14000.5 + i,
                              static_cast<std::uint8_t>(i % 10), static_cast<std::int16_t>(-i), Currency{i * 12345},
                              1.5f, DateTime{40000 + i / 3.0}, i % 3 == 0, i % 7 == 0 ? Value{} : Value{notes},
                              station});
    }
    return table;
}

TEST(NewDatabase, UserTablesReadBackByEveryReader) {
    ScratchFolder folder;
    std::string path = (folder.path() / "log.mdb").string();
    TableContent table = loggerTable();
    createDatabase(path, {table});

    EXPECT_EQ(run("mdb-tables -S -1 " + testing::quoted(path)),
              "MSysObjects\nMSysACEs\nMSysQueries\nMSysRelationships\nLog Book\n");
    EXPECT_EQ(testing::withoutComments(run("mdb-schema " + testing::quoted(path) + " access")),
              "CREATE TABLE [Log Book]\n (\n"
              "\t[Id]\t\t\tLong Integer, \n"
              "\t[Call]\t\t\tText (15) NOT NULL, \n"
              "\t[Freq]\t\t\tDouble, \n"
              "\t[Band]\t\t\tByte, \n"
              "\t[Power]\t\t\tInteger, \n"
              "\t[Fee]\t\t\tCurrency, \n"
              "\t[Gain]\t\t\tSingle, \n"
              "\t[TS]\t\t\tDateTime, \n"
              "\t[Confirmed]\t\t\tBoolean NOT NULL, \n"
              "\t[Notes]\t\t\tMemo/Hyperlink (255), \n"
              "\t[Station]\t\t\tReplication ID\n);\n");

    Database database(path);
    TableDef def = database.tableDef(database.table("Log Book"));
    TableRows stored = database.rows(def);
    ASSERT_EQ(stored.rows.size(), table.rows.size());
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        EXPECT_EQ(stored.rows[i][0], Value(static_cast<std::int32_t>(i + 1))) << "autonumber of row " << i;
        for (std::size_t c = 1; c < table.rows[i].size(); ++c)
            EXPECT_EQ(stored.rows[i][c], table.rows[i][c]) << "row " << i << " column " << c;
    }

    std::string exported = run("mdb-export -T '%Y-%m-%d %H:%M:%S' " + testing::quoted(path) + " 'Log Book'");
    std::vector<std::string> lines = testing::lines(exported);
    ASSERT_EQ(lines.size(), table.rows.size() + 1);
    EXPECT_EQ(lines[0], "Id,Call,Freq,Band,Power,Fee,Gain,TS,Confirmed,Notes,Station");
    // mdbtools 1.0 prints a GUID without its last dash; mdb-reader below shows it whole.
    EXPECT_EQ(lines[2],
              "2,\"K1ABC\",14001.5,1,-1,1.2345,1.5,\"2009-07-06 "
              "08:00:00\",0,\"n1\",\"{0000002A-0000-0000-0000000000000000}\"");
    EXPECT_NE(exported.find(std::string(5000, 'y')), std::string::npos) << "the memo of row 50 on its long-value pages";

    std::string viaMdbReader =
        run("node " + testing::quoted(std::string(KV_SOURCE_DIR) + "/tests/interop/read_tables.mjs") + " " +
            testing::quoted(path) + " 'Log Book'");
    EXPECT_EQ(testing::lines(viaMdbReader).size(), table.rows.size() + 1);
    EXPECT_NE(viaMdbReader.find("[400,\"K11ABC\",14399.5,9,-399,\"492.5655\",1.5,\"2009-11-16T00:00:00.000Z\",true,"
                                "null,\"0000002a-0000-0000-0000-000000000000\"]"),
              std::string::npos)
        << viaMdbReader.substr(viaMdbReader.rfind('['));

    // Both indexes hold one entry per row, in key order, each pointing at its row.
    for (const auto& real : def.realIndexes) {
        auto entries = readIndexEntries(database.file(), real);
        ASSERT_EQ(entries.size(), stored.rows.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const auto& row = stored.rows[stored.positionOf(entries[i].row)];
            EXPECT_EQ(entries[i].key, encodeIndexKey(def, real, row));
            if (i > 0) {
                EXPECT_LE(entries[i - 1].key, entries[i].key);
            }
        }
    }
}

TEST(NewDatabase, RefusesBadDesignsBeforeWritingAnything) {
    ScratchFolder folder;
    std::string path = (folder.path() / "bad.mdb").string();
    auto refused = [&](std::vector<TableContent> tables, const std::string& message) {
        try {
            createDatabase(path, tables);
            ADD_FAILURE() << "no error for: " << message;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(std::filesystem::exists(path + ".new"));
    };
    TableContent good = loggerTable();
    TableContent clash = good;
    clash.design.name = "LOG BOOK";
    refused({good, clash}, "used twice");
    TableContent accented = good, accentedClash = good;
    accented.design.name = "Ärger";
    accentedClash.design.name = "ärger";
    refused({accented, accentedClash}, "used twice");
    TableContent system = good;
    system.design.name = "msysobjects";
    refused({system}, "used twice or by a system table");
    TableContent missing = good;
    missing.design.indexes[1].columns[0].column = "Sign";
    refused({missing}, "the column Sign");
    TableContent duplicateKey = good;
    duplicateKey.rows[1][0] = std::int32_t{7};
    duplicateKey.rows[2][0] = std::int32_t{7};
    refused({duplicateKey}, "PrimaryKey");
    TableContent tooLong = good;
    tooLong.rows[3][1] = std::string(16, 'W');
    refused({tooLong}, "Call");
    EXPECT_THROW(userColumn("Call", ColumnType::Text, 256), std::runtime_error);

    createDatabase(path, {good});
    auto before = std::filesystem::file_size(path);
    EXPECT_THROW(createDatabase(path, {}), std::runtime_error);
    EXPECT_EQ(std::filesystem::file_size(path), before);
    createDatabase(path, {}, true);
    EXPECT_LT(std::filesystem::file_size(path), before);
}

}  // namespace
}  // namespace kv::jet
