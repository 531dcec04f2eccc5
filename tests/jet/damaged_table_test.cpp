// Damaged copies of Access-written fixtures: damage to a table's pages, usage map, definition or
// index is reported as a DamagedTableError naming the file, the table and where, never read as
// the rows that are left. A table only as Jet leaves it reads as it is.

#include <gtest/gtest.h>

#include <set>

#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/index_page.h"
#include "jet_fixtures.h"
#include "read_everything.h"

namespace kv::jet {
namespace {

constexpr std::size_t kPage = format::kPageSize;

void putU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> 8 * i);
}

// A copy of a fixture to damage, and what reading all of it then reports.
class DamagedCopy {
    std::string name_;

public:
    explicit DamagedCopy(std::string name)
        : name_(std::move(name)),
          bytes(testing::fileBytes(testing::fixture(name_))),
          original(testing::fixture(name_)) {}

    std::vector<std::uint8_t> bytes;
    const Database original;

    TableDef def(const std::string& table) const { return original.tableDef(original.table(table)); }
    std::set<std::uint32_t> dataPages(const std::string& table) const {
        std::set<std::uint32_t> pages;
        for (RowLocation location : original.rows(def(table)).locations) pages.insert(location.page);
        return pages;
    }
    void blank(std::uint32_t page) { std::fill_n(bytes.begin() + page * kPage, kPage, 0); }
    // Where the table's owned-pages map (an inline one) keeps the bit of `page`.
    std::pair<std::size_t, std::uint8_t> mapBit(const std::string& table, std::uint32_t page) const {
        RowLocation at = RowLocation::fromPointer(def(table).ownedPagesMap);
        RowExtent extent = rowExtent(original.file().page(at.page), at.row);
        std::size_t map = at.page * kPage + extent.start;
        EXPECT_EQ(bytes[map], format::usage_map::kInline);
        std::uint32_t bit =
            page - original.file().page(at.page).u32(extent.start + format::usage_map::kInlineStartPageOffset);
        EXPECT_LT(format::usage_map::kInlineBitmapOffset + bit / 8, extent.end - extent.start);
        return {map + format::usage_map::kInlineBitmapOffset + bit / 8, static_cast<std::uint8_t>(1u << bit % 8)};
    }

    // The path of the damaged copy, written afresh.
    std::string path() const { return testing::writeTemporary("damaged_" + name_, bytes); }
    // What reading every table and index of the copy reports; empty when it reads.
    std::string report() const {
        std::string copy = path();
        try {
            testing::readEverything(Database(copy));
        } catch (const DamagedTableError& error) {
            return error.what();
        }
        return "";
    }
    std::string damaged(const std::string& problem) const { return path() + " is damaged: table " + problem; }
};

// compIndexTestV2000.mdb's Table1: 512 rows on data pages 17 to 20, its index a root page with
// two leaves, the second reachable through the root's tail pointer only.
class DamagedTable : public ::testing::Test {
protected:
    DamagedCopy copy{"compIndexTestV2000.mdb"};
    const TableDef table1 = copy.def("Table1");
    const std::set<std::uint32_t> table1Pages = copy.dataPages("Table1");
};

TEST_F(DamagedTable, AZeroedDataPageIsReportedWhetherTheUsageMapListsItOrNot) {
    ASSERT_EQ(table1Pages, (std::set<std::uint32_t>{17, 18, 19, 20}));
    std::uint16_t rowsOnPage18 = rowCount(copy.original.file().page(18));
    copy.blank(18);
    EXPECT_EQ(copy.report(), copy.damaged("Table1 lists page 18 among its data pages, but page 18 is blank"));

    // Its bit cleared too, the page is gone from the table: the definition still counts its rows.
    auto [byte, bit] = copy.mapBit("Table1", 18);
    copy.bytes[byte] &= static_cast<std::uint8_t>(~bit);
    EXPECT_EQ(copy.report(), copy.damaged("Table1 has 512 rows by its definition, but " +
                                          std::to_string(512 - rowsOnPage18) + " were found on its pages"));

    // The catalog's own page: the database cannot even be opened.
    DamagedCopy catalog("emptyJet4.mdb");
    catalog.blank(*catalog.dataPages("MSysObjects").begin());
    EXPECT_NE(catalog.report().find(" is damaged: table MSysObjects lists page "), std::string::npos)
        << catalog.report();
}

TEST_F(DamagedTable, AUsageMapNamingAPageOfAnotherKindOrTable) {
    const std::uint32_t catalogPage = *copy.dataPages("MSysObjects").begin();
    auto [byte, bit] = copy.mapBit("Table1", catalogPage);
    copy.bytes[byte] |= bit;
    EXPECT_EQ(copy.report(), copy.damaged("Table1 lists page " + std::to_string(catalogPage) +
                                          " among its data pages, but page " + std::to_string(catalogPage) +
                                          " is a data page of another table (the one defined at page 2)"));
    copy.bytes[byte] &= static_cast<std::uint8_t>(~bit);

    // Page 29 is the index's root.
    auto [indexByte, indexBit] = copy.mapBit("Table1", 29);
    copy.bytes[indexByte] |= indexBit;
    EXPECT_EQ(copy.report(), copy.damaged("Table1 lists page 29 among its data pages, but page 29 is an index page"));
}

TEST_F(DamagedTable, AnIndexMissingALeafOrAnEntry) {
    ASSERT_EQ(table1.realIndexes.size(), 1u);
    ASSERT_EQ(table1.realIndexes[0].firstPage, 29u);
    const std::string index = table1.logicalIndexes.at(0).name;
    // The leaf reachable through the tail pointer only.
    DamagedCopy lostLeaf("compIndexTestV2000.mdb");
    lostLeaf.blank(33);
    EXPECT_EQ(lostLeaf.report(), lostLeaf.damaged("Table1 has an index " + index +
                                                  " that cannot be read: page 33 should be an index page "
                                                  "but is a page of another kind"));

    // The first leaf's last entry merged into the one before it: one entry fewer, every key still
    // readable.
    IndexNode leaf = readIndexNode(copy.original.file(), 32);
    const std::size_t mask = 32 * kPage + format::index_page::kEntryMaskOffset;
    std::vector<std::size_t> entryEnds;
    for (std::size_t bit = 0; format::index_page::kEntryMaskOffset + bit / 8 < format::index_page::kEntriesOffset;
         ++bit)
        if (copy.bytes[mask + bit / 8] & 1u << bit % 8) entryEnds.push_back(bit);
    ASSERT_EQ(entryEnds.size(), leaf.entries.size());
    const std::size_t secondLast = entryEnds[entryEnds.size() - 2];
    copy.bytes[mask + secondLast / 8] &= static_cast<std::uint8_t>(~(1u << secondLast % 8));
    EXPECT_EQ(readIndexNode(Database(copy.path()).file(), 32).entries.size(), leaf.entries.size() - 1);
    EXPECT_EQ(copy.report(),
              copy.damaged("Table1 has 512 rows on its pages, but its index " + index + " has 511 entries"));
}

TEST_F(DamagedTable, ARowCountThatDisagreesWithTheRows) {
    const std::size_t count = table1.page * kPage + format::tdef::kRowCountOffset;
    putU32At(copy.bytes, count, 513);
    EXPECT_EQ(copy.report(), copy.damaged("Table1 has 513 rows by its definition, but 512 were found on its pages"));

    // A count short of the rows that the index holds as well is one Jet has been seen to leave:
    // testV2000.mdb's MSysACEs counts 61 of its 64 rows.
    putU32At(copy.bytes, count, 511);
    EXPECT_EQ(copy.report(), "");
    Database stale(testing::fixture("testV2000.mdb"));
    TableDef aces = stale.tableDef(stale.table("MSysACEs"));
    EXPECT_EQ(aces.rowCount, 61u);
    EXPECT_EQ(stale.rows(aces).rows.size(), 64u);

    // With no index to vouch for them, rows beyond the count are damage too (delTestV2000.mdb's
    // Table: 2 rows, deleted ones passed by, no index).
    DamagedCopy deleted("delTestV2000.mdb");
    TableDef table = deleted.def("Table");
    ASSERT_TRUE(table.realIndexes.empty());
    ASSERT_EQ(table.rowCount, 2u);
    putU32At(deleted.bytes, table.page * kPage + format::tdef::kRowCountOffset, 1);
    EXPECT_EQ(deleted.report(), deleted.damaged("Table has 1 row by its definition, but 2 were found on its pages"));
}

TEST_F(DamagedTable, ARowWhoseOffsetsDoNotFitItsPage) {
    // Row 1 of page 17 said to start inside the page's table of row offsets.
    const std::size_t offset = 17 * kPage + format::data_page::kRowOffsetsOffset + format::data_page::kRowOffsetSize;
    copy.bytes[offset] = 0x20;
    copy.bytes[offset + 1] = 0x00;
    std::string report = copy.report();
    EXPECT_TRUE(report.starts_with(copy.damaged("Table1 has row 1 on page 17 whose offsets (32 to "))) << report;
    EXPECT_TRUE(report.ends_with(") do not fit the page")) << report;
}

}  // namespace
}  // namespace kv::jet
