// The reader against real files: what each fixture is known to hold, the refusals of files that
// are no Jet 4 database, and damaged files that must end in a clear error.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "jet/database.h"
#include "jet/index_tree.h"
#include "jet/row.h"
#include "jet_fixtures.h"
#include "read_everything.h"

namespace kv::jet {
namespace {

using testing::fileBytes;
using testing::fixture;

std::string changedCopy(const std::string& name, const std::function<void(std::vector<std::uint8_t>&)>& change) {
    auto bytes = fileBytes(fixture(name));
    change(bytes);
    return testing::writeTemporary("changed_" + name, bytes);
}

std::string errorOpening(const std::string& path) {
    try {
        testing::readEverything(Database(path));
    } catch (const FormatError& error) {
        return error.what();
    }
    return "";
}

std::vector<std::string> columnNames(const TableDef& def) {
    std::vector<std::string> names;
    for (const auto& column : def.columns) names.push_back(column.name);
    return names;
}

TEST(Reader, HeaderAndCatalogOfAnEmptyJetDatabase) {
    Database db(fixture("emptyJet4.mdb"));
    EXPECT_EQ(db.header().version, format::header::kVersionJet4);
    EXPECT_EQ(db.header().sortOrder, 0x409);
    std::vector<std::string> names;
    for (const auto& table : db.tables()) {
        names.push_back(table.name);
        EXPECT_TRUE(table.system) << table.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}));
    EXPECT_EQ(db.table("msysobjects").definitionPage, format::kCatalogPage);
    EXPECT_THROW(db.table("NoSuchTable"), FormatError);
}

TEST(Reader, DefinitionsRowsAndIndexesOfRealTables) {
    Database db(fixture("testV2000.mdb"));
    // Table2's 89 columns do not fit one definition page.
    TableDef wide = db.tableDef(db.table("Table2"));
    EXPECT_EQ(wide.columns.size(), 89u);
    EXPECT_GT(wide.raw.size(), format::kPageSize);
    EXPECT_FALSE(db.tableDef(db.table("Table1")).logicalIndexes.empty());

    TableDef users = Database(fixture("fixedTextTestV2000.mdb"))
                         .tableDef(Database(fixture("fixedTextTestV2000.mdb")).table("users"));
    ASSERT_EQ(users.logicalIndexes.size(), 6u);
    EXPECT_TRUE(users.logicalIndexes.back().isPrimaryKey());

    Database properties(fixture("testIndexPropertiesV2000.mdb"));
    TableDef ignoreNulls = properties.tableDef(properties.table("TableIgnoreNulls1"));
    const auto& dataIndex = ignoreNulls.realIndexes[ignoreNulls.logicalIndexes[0].realIndex];
    EXPECT_EQ(ignoreNulls.logicalIndexes[0].name, "DataIndex");
    EXPECT_TRUE(dataIndex.ignoresNulls());
    EXPECT_FALSE(dataIndex.isUnique());
    // Nulls are left out of the index, so it has fewer entries than the table rows.
    EXPECT_LT(readIndexEntries(properties.file(), dataIndex).size(), properties.rows(ignoreNulls).rows.size());
    TableDef unique = properties.tableDef(properties.table("TableUnique1_temp"));
    EXPECT_TRUE(unique.realIndexes[unique.logicalIndexes[0].realIndex].isUnique());

    Database compound(fixture("compIndexTestV2000.mdb"));
    TableDef descending = compound.tableDef(compound.table("Table1"));
    ASSERT_EQ(descending.realIndexes.size(), 1u);
    EXPECT_FALSE(descending.realIndexes[0].columns[0].ascending);
    EXPECT_EQ(readIndexEntries(compound.file(), descending.realIndexes[0]).size(), 512u);
}

TEST(Reader, DeletedRowsAreSkippedAndMovedRowsFollowed) {
    Database deleted(fixture("delTestV2000.mdb"));
    TableDef table = deleted.tableDef(deleted.table("Table"));
    auto rows = deleted.rows(table);
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0][0], Value(std::string("z")));
    EXPECT_EQ(rows.rows[1][1], Value(std::string("u")));

    Database moved(fixture("overflowTestV2000.mdb"));
    TableDef def = moved.tableDef(moved.table("Table1"));
    EXPECT_EQ(columnNames(def)[1], "data3") << "a deleted column leaves a gap in the column numbers";
    auto movedRows = moved.rows(def);
    ASSERT_EQ(movedRows.rows.size(), 7u);
    // The third row was moved to another page; it keeps its place and its values.
    EXPECT_TRUE(isNull(movedRows.rows[2][0]));
    EXPECT_EQ(movedRows.rows[2][1], Value(std::string("row3col3")));
    EXPECT_EQ(movedRows.rows[2][7], Value(std::string("row3col9")));
    EXPECT_EQ(movedRows.locations[2].page, movedRows.locations[1].page);

    // Read one at a time into one reused row, the same rows come in the same order: a NULL after a
    // value is not left holding the value before it.
    std::vector<RowLocation> locations;
    std::vector<TableRow> oneByOne;
    TableRow values;
    forEachStoredRow(moved.file(), def, [&](RowLocation location, const StoredRow& row) {
        crackRowInto(moved.file(), def, row, values);
        locations.push_back(location);
        oneByOne.push_back(values);
    });
    EXPECT_EQ(oneByOne, movedRows.rows);
    ASSERT_EQ(locations.size(), movedRows.locations.size());
    for (std::size_t i = 0; i < locations.size(); ++i)
        EXPECT_EQ(locations[i].packed(), movedRows.locations[i].packed());

    // What a reader of one row at a time finds wrong with a row is the table's damage.
    try {
        forEachStoredRow(moved.file(), def, [](RowLocation location, const StoredRow&) {
            throw FormatError("row " + std::to_string(location.row) + " is odd");
        });
        ADD_FAILURE() << "the reader's error was swallowed";
    } catch (const DamagedTableError& error) {
        EXPECT_NE(std::string(error.what()).find("Table1"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("row 0 is odd"), std::string::npos) << error.what();
    }
}

TEST(Reader, RefusesFilesThatAreNoJet4Database) {
    auto refusal = [](const std::string& path) { return errorOpening(path); };
    EXPECT_NE(refusal(changedCopy("emptyJet4.mdb", [](auto& b) { b[format::header::kVersionOffset] = 0; }))
                  .find("Access 97 (Jet 3)"),
              std::string::npos);
    EXPECT_NE(refusal(changedCopy("emptyJet4.mdb",
                                  [](auto& b) {
                                      b[format::header::kVersionOffset] = 2;
                                      std::copy(format::header::kAceFormatName.begin(),
                                                format::header::kAceFormatName.end(), b.begin() + 4);
                                  }))
                  .find("ACCDB"),
              std::string::npos);
    // Flipping a masked byte flips the byte beneath the mask.
    EXPECT_NE(refusal(changedCopy("emptyJet4.mdb", [](auto& b) { b[format::header::kEncryptionKeyOffset] ^= 0x5a; }))
                  .find("encrypted"),
              std::string::npos);
    EXPECT_NE(refusal(changedCopy("emptyJet4.mdb", [](auto& b) { b[format::header::kPasswordOffset] ^= 0x41; }))
                  .find("password-protected"),
              std::string::npos);
    std::string text = "Call,Name\nK1ABC,Joe\n";
    EXPECT_NE(refusal(testing::writeTemporary("calls.txt", std::vector<std::uint8_t>(text.begin(), text.end())))
                  .find("is not an Access database"),
              std::string::npos);
    EXPECT_NE(refusal(testing::writeTemporary("empty.mdb", {})).find("is not an Access database"), std::string::npos);
    EXPECT_NE(refusal("/nonexistent/History.mdb").find("does not exist"), std::string::npos);
    EXPECT_NE(refusal(std::filesystem::temp_directory_path().string()), "") << "a folder is no database";
}

TEST(Reader, DamagedFilesEndInAClearError) {
    // The file cut after a few pages.
    std::string cut = changedCopy("testV2000.mdb", [](auto& b) { b.resize(8 * format::kPageSize); });
    EXPECT_NE(errorOpening(cut).find("truncated"), std::string::npos);
    // Table2's definition continues on page 708; make it continue on itself.
    std::string loop = changedCopy("testV2000.mdb", [](auto& b) {
        std::uint32_t first = 30;
        b[first * format::kPageSize + format::tdef::kNextPageOffset] = static_cast<std::uint8_t>(first);
        for (int i = 1; i < 4; ++i) b[first * format::kPageSize + format::tdef::kNextPageOffset + i] = 0;
    });
    EXPECT_NE(errorOpening(loop).find("loop"), std::string::npos);
    // MSysObjects' first data page claims far more rows than a page holds.
    std::string crowded = changedCopy("emptyJet4.mdb", [](auto& b) {
        Database db(fixture("emptyJet4.mdb"));
        TableDef catalog = db.tableDef(db.tables()[0]);
        std::uint32_t page = db.rows(catalog).locations[0].page;
        b[page * format::kPageSize + format::data_page::kRowCountOffset + 1] = 0xff;
    });
    EXPECT_NE(errorOpening(crowded).find("damaged"), std::string::npos);
    // A row offset past the end of its page.
    std::string beyond = changedCopy("emptyJet4.mdb", [](auto& b) {
        Database db(fixture("emptyJet4.mdb"));
        std::uint32_t page = db.rows(db.tableDef(db.tables()[0])).locations[0].page;
        b[page * format::kPageSize + format::data_page::kRowOffsetsOffset + 1] = 0x1f;
    });
    EXPECT_NE(errorOpening(beyond).find("damaged"), std::string::npos);
}

}  // namespace
}  // namespace kv::jet
