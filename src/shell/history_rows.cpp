#include "shell/history_rows.h"

#include "data_access/text_fold.h"

#include <algorithm>

namespace kv::shell {
namespace {

constexpr const char* kCallIndex = "Call";

}  // namespace

HistoryRows::HistoryRows(ui::Ui& ui, data_access::Cursor& history)
    : ui_(ui), history_(history), columns_(history.columnNames()) {
    for (const std::string& column : columns_) fields_.push_back(history_.field(column));
}

long long HistoryRows::rowCount() const { return history_.recordCount() + (appending_ ? 1 : 0); }

long long HistoryRows::positionOf(long long row) const {
    return order_.empty() ? row : order_.at(static_cast<std::size_t>(row));
}

std::optional<long long> HistoryRows::rowOf(long long position) const {
    if (order_.empty()) return position;
    auto found = std::ranges::find(order_, position);
    if (found == order_.end()) return std::nullopt;
    return found - order_.begin();
}

std::string HistoryRows::text(long long row, std::size_t column) const {
    if (row == changingRow_) {
        auto typed = input_.find(column);
        if (typed != input_.end()) return typed->second;
        if (appending_) return {};
    }
    return history_.text(positionOf(row), fields_.at(column));
}

void HistoryRows::setText(long long row, std::size_t column, const std::string& text) {
    if (changingRow_ && *changingRow_ != row) write();
    if (text == this->text(row, column)) return;
    changingRow_ = row;
    input_[column] = text;
}

void HistoryRows::append() {
    write();
    changingRow_ = history_.recordCount();
    appending_ = true;
}

void HistoryRows::write() {
    if (!changingRow_) return;
    // A new row the user typed nothing into is no station: it goes, as a grid drops it.
    if (appending_ && input_.empty()) return cancel();
    try {
        if (appending_) {
            history_.insert();
        } else {
            history_.moveTo(positionOf(*changingRow_));
            history_.edit();
        }
        for (const auto& [column, text] : input_) history_.setText(columns_[column], text);
        history_.post();
    } catch (...) {
        // The cursor must not post this half-made row when it next moves; the input stays here.
        history_.cancel();
        throw;
    }
    if (appending_) insertedPosition(history_.recordCount() - 1);
    cancel();
}

void HistoryRows::cancel() {
    changingRow_.reset();
    appending_ = false;
    input_.clear();
}

bool HistoryRows::remove(long long row) {
    if (appending_ && row == changingRow_) {
        cancel();
        return true;
    }
    if (ui_.showMessageBox("Delete record?", ui::BoxKind::Information, ui::BoxButtons::YesNo) != ui::BoxAnswer::Yes)
        return false;
    if (row == changingRow_)
        cancel();
    else
        write();
    const long long position = positionOf(row);
    history_.moveTo(position);
    history_.remove();
    removedPosition(position);
    return true;
}

void HistoryRows::removedPosition(long long position) {
    if (order_.empty()) return;
    std::erase(order_, position);
    for (long long& later : order_)
        if (later > position) --later;
}

void HistoryRows::insertedPosition(long long position) {
    if (!order_.empty()) order_.push_back(position);
}

void HistoryRows::sortBy(std::size_t column, bool descending) {
    write();
    const std::string& name = columns_.at(column);
    if (name == kCallIndex)
        history_.setIndexName(kCallIndex);
    else
        history_.setSort("[" + name + "]" + (descending ? " DESC" : " ASC"));
    std::vector<long long> order;
    for (history_.first(); !history_.atEnd(); history_.next()) order.push_back(history_.position());
    history_.setIndexName("");
    history_.setSort("");
    if (name == kCallIndex && descending) std::ranges::reverse(order);
    order_ = std::move(order);
}

std::optional<long long> HistoryRows::find(std::size_t column, std::string_view prefix) {
    if (prefix.empty()) return std::nullopt;
    if (columns_.at(column) != kCallIndex) {
        const std::string folded = data_access::foldCase(prefix);
        const long long stored = history_.recordCount();
        for (long long row = 0; row < stored; ++row)
            if (data_access::foldCase(history_.text(positionOf(row), fields_[column])).starts_with(folded)) return row;
        return std::nullopt;
    }
    history_.setIndexName(kCallIndex);
    const bool found = history_.seekPrefix(prefix);
    const long long position = history_.position();
    history_.setIndexName("");
    if (!found) return std::nullopt;
    return rowOf(position);
}

}  // namespace kv::shell
