// Rows packed into a few buffers: every cell comes back as it went in, NULL apart from empty text,
// whatever its length, and a row replaced again and again (as an import posts one station many
// times) leaves the other rows whole when the space of its old forms is reclaimed.
#include <gtest/gtest.h>

#include "data_access/packed_rows.h"

namespace kv::data_access {
namespace {

TEST(PackedRows, CellsComeBackAsTheyWentInAcrossReplacementsAndReclaiming) {
    PackedRows rows;
    const Row mixed{"W1AW", Value(), std::string(), std::string(200, 'x'), std::string(70000, 'y'), "J\xC3\xBCrgen"};
    const Row empty{};
    const Row withZero{std::string("a\0b", 3)};
    EXPECT_EQ(rows.add(mixed), 0u);
    EXPECT_EQ(rows.add(empty), 1u);
    EXPECT_EQ(rows.add(withZero), 2u);

    Row read{"left over", "from before", "and more"};
    rows.read(0, read);
    EXPECT_EQ(read, mixed);
    EXPECT_FALSE(read[1].has_value()) << "NULL stays NULL";
    EXPECT_TRUE(read[2].has_value()) << "empty text stays text";
    rows.read(1, read);
    EXPECT_EQ(read, empty);
    rows.read(2, read);
    EXPECT_EQ(read, withZero);

    // Far more than the buffer's live rows is replaced, so the old forms are reclaimed on the way.
    for (int round = 0; round < 30000; ++round)
        rows.replace(1, Row{std::to_string(round), std::string(100, static_cast<char>('a' + round % 26))});
    rows.read(1, read);
    EXPECT_EQ(read, (Row{"29999", std::string(100, 'a' + 29999 % 26)}));
    rows.read(0, read);
    EXPECT_EQ(read, mixed);
    rows.read(2, read);
    EXPECT_EQ(read, withZero);
    EXPECT_THROW(rows.read(3, read), std::out_of_range);

    // A row larger than the buffers are made holds a buffer of its own; the rows before and after
    // it, and those reclaimed around it, stay whole.
    const Row huge{"DL1ABC", std::string(3 << 20, 'h')};
    EXPECT_EQ(rows.add(huge), 3u);
    EXPECT_EQ(rows.add(mixed), 4u);
    for (int round = 0; round < 30000; ++round) rows.replace(2, Row{std::string(100, 'r')});
    for (std::size_t row : {0u, 4u}) {
        rows.read(row, read);
        EXPECT_EQ(read, mixed);
    }
    rows.read(3, read);
    EXPECT_EQ(read, huge);
    rows.readCell(3, 1, read[0]);
    EXPECT_EQ(read[0], huge[1]);

    rows.clear();
    EXPECT_EQ(rows.size(), 0u);
    EXPECT_EQ(rows.add(withZero), 0u);
}

}  // namespace
}  // namespace kv::data_access
