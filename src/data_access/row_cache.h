#pragma once
// One row of a RowSource as a reader has read it so far. A cell is read from the source when first
// asked for, so that a reader of a few columns of a wide table decodes only those; the cells stay
// while the row is current (the same position and the source's same version). A reader that read
// most cells of its last row (one that reads every column, say) gets the next row whole at its
// first cell, in one call to the source instead of one per cell.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "data_access/provider.h"

namespace kv::data_access {

class RowCache {
public:
    const Value& cell(const RowSource& source, std::size_t position, std::uint64_t version, std::size_t column) {
        makeCurrent(position, version);
        noteAsked(column);
        if (!whole_ && readsWholeRows_) readWhole(source, position);
        if (whole_) return cellOf(cells_, column);
        if (column >= cells_.size()) cells_.resize(column + 1);
        if (column >= readIn_.size()) readIn_.resize(column + 1, 0);
        if (readIn_[column] != reading_) {
            source.readCell(position, column, cells_[column]);
            readIn_[column] = reading_;
        }
        return cells_[column];
    }

    const Row& row(const RowSource& source, std::size_t position, std::uint64_t version) {
        makeCurrent(position, version);
        if (!whole_) readWhole(source, position);
        return cells_;
    }

    // The cells read so far; those not read hold whatever they held before.
    const Row& cellsRead() const { return cells_; }

private:
    // Past this many cells, and past half of those up to the last one asked for, a row is worth
    // reading whole.
    static constexpr std::size_t kFewCells = 4;

    void makeCurrent(std::size_t position, std::uint64_t version) {
        if (position_ == position && version_ == version) return;
        if (position_) readsWholeRows_ = cellsAsked_ > kFewCells && 2 * cellsAsked_ > widestAsked_;
        position_ = position;
        version_ = version;
        whole_ = false;
        ++row_;
        ++reading_;
        cellsAsked_ = 0;
        widestAsked_ = 0;
    }
    void noteAsked(std::size_t column) {
        if (column >= askedIn_.size()) askedIn_.resize(column + 1, 0);
        if (askedIn_[column] == row_) return;
        askedIn_[column] = row_;
        ++cellsAsked_;
        widestAsked_ = std::max(widestAsked_, column + 1);
    }
    void readWhole(const RowSource& source, std::size_t position) {
        ++reading_;  // a read that throws leaves no cell taken as read
        source.readRow(position, cells_);
        whole_ = true;
    }

    Row cells_;
    std::optional<std::size_t> position_;
    std::uint64_t version_ = 0;
    bool whole_ = false;
    // Rows made current are numbered from 1, and so are the reads of their cells, so that a cell is
    // known as asked for or read by the number beside its column, without clearing anything from
    // row to row.
    std::uint64_t row_ = 0;
    std::uint64_t reading_ = 0;
    std::vector<std::uint64_t> readIn_;   // by column, while not whole_
    std::vector<std::uint64_t> askedIn_;  // by column, asked for by cell()
    std::size_t cellsAsked_ = 0;          // of the current row
    std::size_t widestAsked_ = 0;         // the last column asked for in it, plus one
    bool readsWholeRows_ = false;
};

}  // namespace kv::data_access
