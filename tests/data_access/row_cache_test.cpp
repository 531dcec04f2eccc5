// The row a cursor reads: a reader of a few cells makes only those, a reader of every column gets
// the next rows whole in one read each, and a read that fails takes no cell as read.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "data_access/row_cache.h"

namespace kv::data_access {
namespace {

// Ten columns whose cells say where they are; counts how it is read, and can be made to fail.
class CountedRows : public RowSource {
public:
    std::size_t rowCount() const override { return 100; }
    void readRow(std::size_t position, Row& into) const override {
        ++rowReads;
        into.assign(kColumns, Value());
        for (std::size_t column = 0; column < kColumns; ++column) {
            if (failAt && *failAt == column) throw std::runtime_error("damaged");
            into[column] = cellText(position, column);
        }
    }
    void readCell(std::size_t position, std::size_t column, Value& into) const override {
        ++cellReads;
        into = cellText(position, column);
    }
    static std::string cellText(std::size_t position, std::size_t column) {
        return std::to_string(position) + ":" + std::to_string(column);
    }

    static constexpr std::size_t kColumns = 10;
    mutable std::size_t rowReads = 0, cellReads = 0;
    std::optional<std::size_t> failAt;
};

TEST(RowCache, ReadsFewCellsOneByOneAndEveryColumnARowAtATime) {
    CountedRows source;
    RowCache cache;
    auto readCells = [&](std::size_t position, std::size_t count) {
        for (std::size_t column = 0; column < count; ++column)
            for (int again = 0; again < 2; ++again)
                EXPECT_EQ(cache.cell(source, position, 1, column), CountedRows::cellText(position, column));
    };

    // A reader of three cells a row reads each once, row after row.
    for (std::size_t position = 0; position < 5; ++position) readCells(position, 3);
    EXPECT_EQ(source.cellReads, 15u);
    EXPECT_EQ(source.rowReads, 0u);

    // A reader of every column reads its first row cell by cell, the rows after it whole.
    for (std::size_t position = 10; position < 15; ++position) readCells(position, CountedRows::kColumns);
    EXPECT_EQ(source.cellReads, 15u + CountedRows::kColumns);
    EXPECT_EQ(source.rowReads, 4u);

    // Back to a few cells: the first such row is still read whole, the next ones cell by cell.
    readCells(20, 2);
    readCells(21, 2);
    EXPECT_EQ(source.rowReads, 5u);
    EXPECT_EQ(source.cellReads, 15u + CountedRows::kColumns + 2);

    // A new version of the source is a new row, even at the same position.
    readCells(21, 1);
    EXPECT_EQ(cache.cell(source, 21, 2, 0), CountedRows::cellText(21, 0));
    EXPECT_EQ(source.cellReads, 15u + CountedRows::kColumns + 3);
}

TEST(RowCache, AWholeReadThatFailsTakesNoCellAsRead) {
    CountedRows source;
    RowCache cache;
    EXPECT_EQ(cache.cell(source, 3, 1, 0), CountedRows::cellText(3, 0));
    source.failAt = 0;
    EXPECT_THROW(cache.row(source, 3, 1), std::runtime_error);
    source.failAt.reset();
    // The failed read left cell 0 blank: it is read again, and reads right.
    EXPECT_EQ(cache.cell(source, 3, 1, 0), CountedRows::cellText(3, 0));
    EXPECT_EQ(source.cellReads + source.rowReads, 3u);
    EXPECT_EQ(cache.row(source, 3, 1).size(), CountedRows::kColumns);
}

}  // namespace
}  // namespace kv::data_access
