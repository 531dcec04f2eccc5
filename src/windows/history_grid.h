#pragma once
// DBGrid1, the History view's grid: a table view over the rows of a ui::GridRows in which the user
// edits cells, and a row's change is written when the user leaves the row. When the table refuses
// the change, the standard error box says why and the grid stays on the row with the input kept.
// Keys: Down on the last row and Insert append a row, Ctrl+Delete deletes the current row after
// asking, Esc drops the current row's change (and, with none, closes the window).

#include "ui/grid_rows.h"

#include <QTableView>

namespace kv::windows {

class HistoryGridModel;
class CellDelegate;

class DBGrid final : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    // Shows these rows (none: nothing), the first one current.
    void setRows(ui::GridRows* rows);
    HistoryGridModel* gridModel() const { return model_; }

    // Writes the current row's change, the text of a cell being edited included. False, after the
    // error box, when the table refuses it.
    bool leaveRow();
    // Makes the row current, in the same column, once the current row is left.
    void goToRow(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // Only the current row's cells are edited: the row a change belongs to is the one left last.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void appendRow();
    void deleteCurrentRow();

    HistoryGridModel* model_ = nullptr;
    CellDelegate* delegate_ = nullptr;
};

}  // namespace kv::windows
