#pragma once
// The rows of the History view: the History table through its cursor, read by position as the
// grid scrolls, with the row the user is changing kept aside until it is written through the
// cursor's edit or insert, setText and post, so that the table access layer commits it. A grid
// row is the table's row of that position, or, once sorted, the one at that place of the sort,
// which is kept as the rows' positions (one number a row).

#include "data_access/cursor.h"
#include "ui/ui.h"

#include <map>

namespace kv::shell {

class HistoryRows final : public ui::GridRows {
public:
    // `history` is open on the whole table in the source's order (no filter, sort or index), so
    // that a row's place in the grid is its position in the table until the rows are sorted.
    // Deleting asks through `ui`.
    HistoryRows(ui::Ui& ui, data_access::Cursor& history);

    const std::vector<std::string>& columnNames() const override { return columns_; }
    long long rowCount() const override;
    std::string text(long long row, std::size_t column) const override;

    std::optional<long long> changingRow() const override { return changingRow_; }
    bool isAppending() const override { return appending_; }
    bool isModified() const override { return !input_.empty(); }

    void setText(long long row, std::size_t column, const std::string& text) override;
    void append() override;
    void write() override;
    void cancel() override;
    bool remove(long long row) override;

    void sortBy(std::size_t column, bool descending) override;
    std::optional<long long> find(std::size_t column, std::string_view prefix) override;

private:
    // The table's position of a grid row that is stored, and back.
    long long positionOf(long long row) const;
    std::optional<long long> rowOf(long long position) const;
    // Keeps the sorted order in step with the table after a row went or came.
    void removedPosition(long long position);
    void insertedPosition(long long position);

    ui::Ui& ui_;
    data_access::Cursor& history_;
    std::vector<std::string> columns_;
    std::vector<data_access::Cursor::Field> fields_;  // by column
    std::optional<long long> changingRow_;
    bool appending_ = false;
    std::map<std::size_t, std::string> input_;  // by column
    std::vector<long long> order_;              // by grid row, once sorted; empty in the table's order
};

}  // namespace kv::shell
