#pragma once
// Rows that exist only as they are read ("Call17" is the Call of row 17), counting the reads and
// the writes, for the tests of what shows and closes a grid: the fake's view and the real grid.

#include "ui/grid_rows.h"

#include <algorithm>

namespace kv::ui::testing {

class MadeUpRows final : public GridRows {
public:
    explicit MadeUpRows(long long count) : count_(count) {}

    mutable long long reads = 0;
    mutable long long lastRowRead = -1;
    int writes = 0;

    const std::vector<std::string>& columnNames() const override { return columns_; }
    long long rowCount() const override { return count_; }
    std::string text(long long row, std::size_t column) const override {
        ++reads;
        lastRowRead = std::max(lastRowRead, row);
        return columns_.at(column) + std::to_string(row);
    }
    std::optional<long long> changingRow() const override { return std::nullopt; }
    bool isAppending() const override { return false; }
    bool isModified() const override { return false; }
    void setText(long long, std::size_t, const std::string&) override {}
    void append() override {}
    void write() override { ++writes; }
    void cancel() override {}
    bool remove(long long) override { return false; }
    void sortBy(std::size_t, bool) override {}
    std::optional<long long> find(std::size_t, std::string_view) override { return std::nullopt; }

private:
    long long count_;
    std::vector<std::string> columns_{"Call", "Name", "Sect", "State", "Ck", "Exch1", "Grid", "Nr"};
};

}  // namespace kv::ui::testing
