#include "windows/history_grid.h"

#include "windows/error_box.h"
#include "windows/frozen_column.h"
#include "windows/history_grid_model.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QStyledItemDelegate>

namespace kv::windows {

// Paints the current cell as selected (the grid selects nothing else) and keeps track of the
// editor it opens, whose text must reach the rows before the row is left.
class CellDelegate final : public QStyledItemDelegate {
public:
    explicit CellDelegate(DBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* openEditor() const { return openEditor_; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        openEditor_ = QStyledItemDelegate::createEditor(parent, option, index);
        return openEditor_;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (editor == openEditor_) openEditor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index == grid_.currentIndex()) option->state |= QStyle::State_Selected;
    }

private:
    DBGrid& grid_;
    mutable QPointer<QWidget> openEditor_;
};

namespace {

// Every way of moving to another row (keys, mouse, the search) goes through here, so this is
// where leaving the row is refused.
class RowLeavingSelection final : public QItemSelectionModel {
public:
    RowLeavingSelection(QAbstractItemModel* model, DBGrid& grid) : QItemSelectionModel(model, &grid), grid_(grid) {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
        const QModelIndex current = currentIndex();
        if (current.isValid() && index.isValid() && index.row() != current.row() && !grid_.leaveRow()) return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    DBGrid& grid_;
};

bool withoutModifiers(const QKeyEvent* event) { return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier; }

}  // namespace

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), delegate_(new CellDelegate(*this)) {
    setObjectName("DBGrid1");
    setItemDelegate(delegate_);
    setSelectionMode(NoSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DBGrid::sortRowsBy);
    verticalHeader()->setSectionsClickable(false);
    // Fixed row heights let the view place any row without measuring the rows before it.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(fontMetrics().height() + 6);
    frozen_ = new FrozenColumn(*this);
}

void DBGrid::setRows(ui::GridRows* rows) {
    QItemSelectionModel* previousSelection = selectionModel();
    HistoryGridModel* previousModel = model_;
    model_ = rows ? new HistoryGridModel(*rows, this) : nullptr;
    setModel(model_);
    if (model_) {
        // setModel made a plain selection model; the rows need the one that writes on leaving.
        QItemSelectionModel* plain = selectionModel();
        setSelectionModel(new RowLeavingSelection(model_, *this));
        delete plain;
        if (model_->rowCount() > 0) setCurrentIndex(model_->index(0, 0));
    }
    // New rows come in the table's order.
    sortedColumn_ = -1;
    sortedDescending_ = false;
    showSortIndicator();
    frozen_->follow();
    delete previousSelection;
    delete previousModel;
}

bool DBGrid::leaveRow() {
    if (QWidget* editor = delegate_->openEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    if (!model_ || model_->changingRow() != currentIndex().row()) return true;
    bool written = false;
    runGuarded([&] {
        model_->writeChanges();
        written = true;
    });
    return written;
}

void DBGrid::goToRow(int row) { setCurrentIndex(model_->index(row, std::max(currentIndex().column(), 0))); }

void DBGrid::showSortIndicator() {
    horizontalHeader()->setSortIndicator(sortedColumn_, sortedDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void DBGrid::sortRowsBy(int column) {
    if (!model_ || !leaveRow()) return showSortIndicator();
    const bool descending = sortedColumn_ == column && !sortedDescending_;
    runGuarded([&] {
        model_->sortBy(column, descending);
        sortedColumn_ = column;
        sortedDescending_ = descending;
        if (model_->rowCount() > 0) setCurrentIndex(model_->index(0, std::max(currentIndex().column(), 0)));
    });
    showSortIndicator();
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (model_) model_->setCurrentRow(current.row());
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.row() != currentIndex().row()) return false;
    return QTableView::edit(index, trigger, event);
}

void DBGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    frozen_->place();
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    if (!model_) return QTableView::keyPressEvent(event);
    const int row = currentIndex().row();
    const bool onLastRow = row == model_->rowCount() - 1;
    if (withoutModifiers(event) && (event->key() == Qt::Key_Insert || (event->key() == Qt::Key_Down && onLastRow))) {
        // A new row the user typed nothing into is not followed by another.
        if (!(onLastRow && model_->isAppending() && model_->changingRow() == row)) appendRow();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) return deleteCurrentRow();
    if (event->key() == Qt::Key_Escape && withoutModifiers(event) && row >= 0 && model_->changingRow() == row) {
        runGuarded([&] { model_->cancelChanges(); });
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::appendRow() {
    if (!leaveRow()) return;
    const int column = std::max(currentIndex().column(), 0);
    runGuarded([&] {
        model_->appendRow();
        setCurrentIndex(model_->index(model_->rowCount() - 1, column));
    });
}

void DBGrid::deleteCurrentRow() {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    runGuarded([&] {
        if (!model_->deleteRow(current.row())) return;
        const int row = std::min(current.row(), model_->rowCount() - 1);
        if (row >= 0) setCurrentIndex(model_->index(row, current.column()));
    });
}

}  // namespace kv::windows
