#pragma once
// DBGrid1, the History view's grid: a table view over the rows of a ui::GridRows in which the user
// edits cells, and a row's change is written when the user leaves the row. When the table refuses
// the change, the standard error box says why and the grid stays on the row with the input kept.
// Keys: Down on the last row and Insert append a row, Ctrl+Delete deletes the current row after
// asking, Esc drops the current row's change (and, with none, closes the window). A click on a
// column's title sorts the rows by it, a second click the other way round. The first column
// (Call) stays in sight when the grid scrolls sideways.

#include "ui/grid_rows.h"

#include <QTableView>

namespace kv::windows {

class HistoryGridModel;
class CellDelegate;
class FrozenColumn;

class DBGrid final : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    // Shows these rows (none: nothing), the first one current.
    void setRows(ui::GridRows* rows);
    HistoryGridModel* gridModel() const { return model_; }
    FrozenColumn* frozenColumn() const { return frozen_; }

    // Writes the current row's change, the text of a cell being edited included. False, after the
    // error box, when the table refuses it.
    bool leaveRow();
    // Makes the row current, in the same column, once the current row is left.
    void goToRow(int row);
    // Once the current row is left: the rows in the column's order, ascending, or descending when
    // they are in that column's ascending order already; the first row current.
    void sortRowsBy(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // Only the current row's cells are edited: the row a change belongs to is the one left last.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void appendRow();
    void showSortIndicator();
    void deleteCurrentRow();

    HistoryGridModel* model_ = nullptr;
    CellDelegate* delegate_ = nullptr;
    FrozenColumn* frozen_ = nullptr;
    // The column the rows are sorted by (-1: the table's order) and which way: the title's own
    // flip on a click is not the sort's, which happens only once the row is left.
    int sortedColumn_ = -1;
    bool sortedDescending_ = false;
};

}  // namespace kv::windows
