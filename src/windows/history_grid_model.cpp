#include "windows/history_grid_model.h"

#include "windows/error_box.h"

namespace kv::windows {
namespace {

const QString kCurrentMark = QStringLiteral("\u25B6");
const QString kChangingMark = QStringLiteral("\u270E");
const QString kNewRowMark = QStringLiteral("*");

}  // namespace

HistoryGridModel::HistoryGridModel(ui::GridRows& rows, QObject* parent) : QAbstractTableModel(parent), rows_(rows) {}

int HistoryGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.rowCount());
}

int HistoryGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.columnNames().size());
}

QVariant HistoryGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)) return {};
    const QString text = QString::fromStdString(rows_.text(index.row(), static_cast<std::size_t>(index.column())));
    if (role == Qt::ToolTipRole && text.isEmpty()) return {};
    return text;
}

QVariant HistoryGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::TextAlignmentRole) return Qt::AlignCenter;
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return QString::fromStdString(rows_.columnNames().at(static_cast<std::size_t>(section)));
    if (changingRow() == section) return rows_.isAppending() ? kNewRowMark : kChangingMark;
    return section == currentRow_ ? kCurrentMark : QString();
}

Qt::ItemFlags HistoryGridModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool HistoryGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    bool kept = false;
    // Called from inside the view's own event handling, where no exception may pass.
    runGuarded([&] {
        rows_.setText(index.row(), static_cast<std::size_t>(index.column()), value.toString().toStdString());
        kept = true;
    });
    rowChanged(index.row());
    return kept;
}

void HistoryGridModel::setCurrentRow(int row) {
    const int previous = std::exchange(currentRow_, row);
    for (int changed : {previous, row})
        if (changed >= 0 && changed < rowCount()) emit headerDataChanged(Qt::Vertical, changed, changed);
}

std::optional<int> HistoryGridModel::changingRow() const {
    const auto row = rows_.changingRow();
    return row ? std::optional(static_cast<int>(*row)) : std::nullopt;
}

void HistoryGridModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void HistoryGridModel::writeChanges() {
    const std::optional<int> row = changingRow();
    if (!row) return;
    if (rows_.isAppending() && !rows_.isModified()) return cancelChanges();
    rows_.write();
    // What is stored may read back otherwise than typed (a date in its own form).
    rowChanged(*row);
}

void HistoryGridModel::cancelChanges() {
    const std::optional<int> row = changingRow();
    if (!row) return;
    if (!rows_.isAppending()) {
        rows_.cancel();
        return rowChanged(*row);
    }
    beginRemoveRows({}, *row, *row);
    rows_.cancel();
    endRemoveRows();
}

void HistoryGridModel::appendRow() {
    writeChanges();
    const int row = rowCount();
    beginInsertRows({}, row, row);
    rows_.append();
    endInsertRows();
}

bool HistoryGridModel::deleteRow(int row) {
    if (rows_.isAppending() && changingRow() == row) {
        cancelChanges();
        return true;
    }
    if (!rows_.remove(row)) return false;
    // The rows asked the user before deleting, and the view painted them meanwhile, so the
    // deletion can only be told afterwards, as a new set of rows.
    beginResetModel();
    endResetModel();
    return true;
}

void HistoryGridModel::sortBy(int column, bool descending) {
    beginResetModel();
    try {
        rows_.sortBy(static_cast<std::size_t>(column), descending);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

std::optional<int> HistoryGridModel::find(int column, const QString& prefix) {
    const auto row = rows_.find(static_cast<std::size_t>(column), prefix.toStdString());
    return row ? std::optional(static_cast<int>(*row)) : std::nullopt;
}

}  // namespace kv::windows
