#pragma once
// The model of the History view's grid: the rows of a ui::GridRows, read only as the view asks for
// them, so that a table of any size opens at once; a title row of column names; a row indicator:
// "▶" the current row, "✎" a row being changed, "*" a new row; and each value whole in its tool
// tip, for one longer than its column shows.

#include "ui/grid_rows.h"

#include <QAbstractTableModel>

#include <optional>

namespace kv::windows {

class HistoryGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit HistoryGridModel(ui::GridRows& rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Keeps the user's input in the rows; nothing is written before the row is left.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The row the indicator marks as current.
    void setCurrentRow(int row);
    std::optional<int> changingRow() const;
    bool isAppending() const { return rows_.isAppending(); }

    // These change the rows and tell the view. Each throws the rows' error, nothing changed then.
    // The pending change written; a new row the user typed nothing into goes instead.
    void writeChanges();
    void cancelChanges();
    void appendRow();
    // After the user's confirmation; returns whether the row went.
    bool deleteRow(int row);
    // The rows in a column's order (GridRows::sortBy), told as a new set of rows.
    void sortBy(int column, bool descending);
    std::optional<int> find(int column, const QString& prefix);

private:
    void rowChanged(int row);

    ui::GridRows& rows_;
    int currentRow_ = -1;
};

}  // namespace kv::windows
