#include "shell/history_rows.h"

namespace kv::shell {

HistoryRows::HistoryRows(ui::Ui& ui, data_access::Cursor& history)
    : ui_(ui), history_(history), columns_(history.columnNames()) {}

long long HistoryRows::rowCount() const { return history_.recordCount() + (appending_ ? 1 : 0); }

std::string HistoryRows::text(long long row, std::size_t column) const {
    if (row == changingRow_) {
        auto typed = input_.find(column);
        if (typed != input_.end()) return typed->second;
        if (appending_) return {};
    }
    return history_.text(row, columns_.at(column));
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
            history_.moveTo(*changingRow_);
            history_.edit();
        }
        for (const auto& [column, text] : input_) history_.setText(columns_[column], text);
        history_.post();
    } catch (...) {
        // The cursor must not post this half-made row when it next moves; the input stays here.
        history_.cancel();
        throw;
    }
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
    history_.moveTo(row);
    history_.remove();
    return true;
}

std::optional<long long> HistoryRows::findCall(std::string_view prefix) {
    if (prefix.empty()) return std::nullopt;
    history_.setIndexName("Call");
    const bool found = history_.seekPrefix(prefix);
    const long long row = history_.position();
    history_.setIndexName("");
    if (!found) return std::nullopt;
    return row;
}

}  // namespace kv::shell
