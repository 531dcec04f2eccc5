#pragma once
// The rows a grid window shows and edits (the History view's DBGrid1), by their place in the grid
// from 0, with at most one row changing at a time, as a dataset edits one record. The user's input
// is kept here as typed until write() takes it to the table; when the table refuses it, the input
// stays, so that the user can correct it or cancel it. Failures are exceptions with the message.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {

class GridRows {
public:
    virtual ~GridRows() = default;

    virtual const std::vector<std::string>& columnNames() const = 0;
    // The stored rows, and the new one while it is appended.
    virtual long long rowCount() const = 0;
    // What the grid shows: the user's input where the changing row has some, else the stored text.
    virtual std::string text(long long row, std::size_t column) const = 0;

    // The row whose change is pending; whether it is a new row; whether the user typed into it.
    virtual std::optional<long long> changingRow() const = 0;
    virtual bool isAppending() const = 0;
    virtual bool isModified() const = 0;

    // Keeps the user's input for a cell. A text equal to the one shown changes nothing; a change
    // pending on another row is written first.
    virtual void setText(long long row, std::size_t column, const std::string& text) = 0;
    // Writes a pending change, then starts a new, empty row after the last.
    virtual void append() = 0;
    // Writes the pending change, if any, to the table; a new row the user typed nothing into is
    // dropped instead, as cancel() drops it. On failure the table is as it was and the input stays.
    virtual void write() = 0;
    // Drops the pending change; a new row goes away.
    virtual void cancel() = 0;
    // Deletes the row once the user confirms it, dropping a change pending on it and writing one
    // pending elsewhere first; returns whether the row went. A new row not yet written goes without
    // a question.
    virtual bool remove(long long row) = 0;

    // Puts the rows in the order of a column's values, ascending or descending: the order of calls
    // for Call. A pending change is written first. The rows keep that order, a new row after them,
    // until they are sorted again.
    virtual void sortBy(std::size_t column, bool descending) = 0;

    // The row of what the user types in the find field: the first, in the order of calls for Call
    // and in the grid's order for another column, whose value in `column` starts with `prefix`,
    // letter case ignored; none for an empty prefix or when no value starts with it.
    virtual std::optional<long long> find(std::size_t column, std::string_view prefix) = 0;
};

}  // namespace kv::ui
