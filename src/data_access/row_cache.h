#pragma once
// One row of a RowSource as a reader has read it so far. A cell is read from the source when first
// asked for, so that a reader of a few columns of a wide table decodes only those; the cells stay
// while the row is current (the same position and the source's same version).

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
        if (!whole_) {
            if (column >= read_.size()) read_.resize(column + 1, false);
            if (column >= cells_.size()) cells_.resize(column + 1);
            if (!read_[column]) {
                source.readCell(position, column, cells_[column]);
                read_[column] = true;
            }
        }
        return cellOf(cells_, column);
    }

    const Row& row(const RowSource& source, std::size_t position, std::uint64_t version) {
        makeCurrent(position, version);
        if (!whole_) {
            read_.assign(read_.size(), false);  // a read that throws leaves no cell taken as read
            source.readRow(position, cells_);
            whole_ = true;
        }
        return cells_;
    }

    // The cells read so far; those not read hold whatever they held before.
    const Row& cellsRead() const { return cells_; }

private:
    void makeCurrent(std::size_t position, std::uint64_t version) {
        if (position_ == position && version_ == version) return;
        position_ = position;
        version_ = version;
        whole_ = false;
        read_.assign(read_.size(), false);
    }

    Row cells_;
    std::vector<bool> read_;  // by column, while not whole_
    std::optional<std::size_t> position_;
    std::uint64_t version_ = 0;
    bool whole_ = false;
};

}  // namespace kv::data_access
